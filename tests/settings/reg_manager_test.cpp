#include "settings/reg_manager.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/rtl/component_text.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/files.h"
#include "platform/rtl/font.h"
#include "platform/rtl/ini_file.h"
#include "platform/rtl/registry_store.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/typeinfo.h"
#include "support/error_box.h"
#include "temp_folder.h"

namespace corvida {
namespace {

using testing::ReadAll;
using testing::TempFolder;
using testing::WriteAll;

std::vector<std::string>& ErrorBoxes() {
  static std::vector<std::string> boxes;
  return boxes;
}

void RecordErrorBox(std::string_view text) { ErrorBoxes().emplace_back(text); }

class RegManagerTest : public ::testing::Test {
 protected:
  RegManagerTest() {
    previousHook_ = SetErrorBoxHook(&RecordErrorBox);
    ErrorBoxes().clear();
    AddItem("FolderName", "FolderName", "FolderName");
    AddItem("SortMode", "SortMode", "SortMode");
    AddItem("Flag", "Main", "Flag");
    AddItem("List", "Main", "List");
    AddItem("Font", "View", "Main");
    AddItem("Blob", "Data", "X");
  }
  ~RegManagerTest() override { SetErrorBoxHook(previousHook_); }

  TRegItem* AddItem(const std::string& name, const std::string& section, const std::string& ident,
                    const std::string& defaultValue = "") {
    TRegItem* item = reg_.RegItems()->Add();
    item->SetName(name);
    item->SetSection(section);
    item->SetIdent(ident);
    item->SetDefaultValue(defaultValue);
    return item;
  }
  void UseIni() {
    reg_.SetRegType(rtIni);
    reg_.SetIniFileName(ini_);
  }
  void UseRegistry() {
    reg_.SetRegType(rtReg);
    reg_.SetRegDir("Software\\Corvida");
    reg_.SetRegistryStorePath(folder_.File("config/registry.ini"));
  }
  std::string Stored(std::string_view section, std::string_view key) {
    return TIniFile(ini_).ReadString(section, key, "<none>");
  }

  TempFolder folder_;
  std::string ini_ = folder_.File("corvida.ini");
  TRegManager reg_{nullptr};
  TErrorBoxHook previousHook_ = nullptr;
};

TEST_F(RegManagerTest, AFreshManagerHasNoRegistryKeyAndSaysSoAtEveryAccess) {
  EXPECT_EQ(reg_.RegType(), rtReg);
  EXPECT_EQ(reg_.RegDir(), "");
  EXPECT_EQ(reg_.Filer("SortMode")->ReadInteger(), 0);
  reg_.Filer("SortMode")->WriteInteger(3);
  EXPECT_EQ(ErrorBoxes(), (std::vector<std::string>{kCannotCreateRegistry, kCannotCreateRegistry}));
  reg_.SetRegType(rtIni);
  EXPECT_EQ(reg_.Filer("FolderName")->ReadString(), "");
  EXPECT_EQ(ErrorBoxes().back(), kCannotCreateIniFile);
}

TEST_F(RegManagerTest, FilerFindsItemsWithoutCaseAndReportsUnknownNames) {
  UseIni();
  TRegFiler* filer = reg_.Filer("sortmode");
  EXPECT_EQ(filer->Item()->Name(), "SortMode");
  EXPECT_TRUE(ErrorBoxes().empty());
  EXPECT_EQ(reg_.Filer("Foo"), filer);
  EXPECT_EQ(ErrorBoxes(), std::vector<std::string>{"[' Foo '] is invalid."});
  EXPECT_EQ(filer->Item(), nullptr);
  filer->WriteString("x");
  filer->WriteInteger(1);
  filer->WriteBool(true);
  EXPECT_EQ(filer->ReadString(), "");
  EXPECT_EQ(filer->ReadInteger(), 0);
  EXPECT_FALSE(filer->ReadBool());
  EXPECT_FALSE(std::filesystem::exists(ini_));
}

TEST_F(RegManagerTest, IntegersReadWithTheirDefaults) {
  UseIni();
  EXPECT_EQ(reg_.Filer("SortMode")->ReadInteger(), 0);
  reg_.RegItems()->FindItem("SortMode")->SetDefaultValue("7");
  EXPECT_EQ(reg_.Filer("SortMode")->ReadInteger(), 7);
  reg_.Filer("SortMode")->WriteInteger(-12);
  EXPECT_EQ(Stored("SortMode", "SortMode"), "-12");
  EXPECT_EQ(reg_.Filer("SortMode")->ReadInteger(), -12);
  for (const auto& [text, value] : {std::pair{"abc", 0}, {"$10", 16}, {"5", 5}, {"1.5", 0}}) {
    TIniFile(ini_).WriteString("SortMode", "SortMode", text);
    EXPECT_EQ(reg_.Filer("SortMode")->ReadInteger(), value) << text;
  }
}

TEST_F(RegManagerTest, BooleansAreStoredAsABytesDecimalValue) {
  UseIni();
  reg_.Filer("Flag")->WriteBool(true);
  EXPECT_EQ(Stored("Main", "Flag"), "1");
  reg_.Filer("Flag")->WriteBool(false);
  EXPECT_EQ(Stored("Main", "Flag"), "0");
  for (const auto& [text, value] : {std::pair{"2", true}, {"256", false}, {"257", true}, {"TRUE", false}, {"-1", true}}) {
    TIniFile(ini_).WriteString("Main", "Flag", text);
    EXPECT_EQ(reg_.Filer("Flag")->ReadBool(), value) << text;
  }
  TIniFile(ini_).DeleteKey("Main", "Flag");
  for (const auto& [defaultValue, value] :
       {std::pair{"yes", true}, {"True", true}, {"1", true}, {"", false}, {"no", false}, {"2", false}}) {
    reg_.RegItems()->FindItem("Flag")->SetDefaultValue(defaultValue);
    EXPECT_EQ(reg_.Filer("Flag")->ReadBool(), value) << defaultValue;
  }
}

TEST_F(RegManagerTest, EmptySectionOrKeyReadsTheDefaultAndWritesNothing) {
  UseIni();
  AddItem("NoSection", "", "Key", "d");
  AddItem("NoKey", "Sec", "", "d");
  for (const char* name : {"NoSection", "NoKey"}) {
    reg_.Filer(name)->WriteString("x");
    EXPECT_EQ(reg_.Filer(name)->ReadString(), "d");
  }
  EXPECT_FALSE(std::filesystem::exists(ini_));
  EXPECT_TRUE(ErrorBoxes().empty());
}

TEST_F(RegManagerTest, TheMainWindowsTwoSettingsLandInTheirOwnSections) {
  UseIni();
  WriteAll(ini_, "; kept\r\n");
  reg_.Filer("FolderName")->WriteString("C:\\models\\");
  reg_.Filer("SortMode")->WriteInteger(1);
  EXPECT_EQ(ReadAll(ini_), "; kept\r\n[FolderName]\r\nFolderName=C:\\models\\\r\n[SortMode]\r\nSortMode=1\r\n");
  EXPECT_EQ(reg_.Filer("FolderName")->ReadString(), "C:\\models\\");
}

TEST_F(RegManagerTest, ARefusedIniWriteRaisesNamingTheFile) {
  reg_.SetRegType(rtIni);
  reg_.SetIniFileName(folder_.File("missing/corvida.ini"));
  EXPECT_THROW(reg_.Filer("SortMode")->WriteInteger(1), EIniFileException);
  EXPECT_EQ(reg_.Filer("SortMode")->ReadInteger(), 0);
}

TEST_F(RegManagerTest, ListsLeaveNoStaleKeysBehind) {
  UseIni();
  TStringList list;
  list.SetText("a\r\nb\r\nc\r\nd\r\ne\r\n");
  reg_.Filer("List")->WriteStrings(list);
  EXPECT_EQ(TIniFile(ini_).ReadKeys("Main"),
            (std::vector<std::string>{"List_ItemCount", "List_Item0", "List_Item1", "List_Item2", "List_Item3",
                                      "List_Item4"}));
  list.SetText("x\r\n\r\nz\r\n");
  reg_.Filer("List")->WriteStrings(list);
  EXPECT_EQ(TIniFile(ini_).ReadKeys("Main"),
            (std::vector<std::string>{"List_ItemCount", "List_Item0", "List_Item1", "List_Item2"}));
  TStringList back;
  back.Add("old");
  reg_.Filer("List")->ReadStrings(back);
  EXPECT_EQ(back.Text(), "x\r\n\r\nz\r\n");
  list.Clear();
  reg_.Filer("List")->WriteStrings(list);
  EXPECT_TRUE(TIniFile(ini_).ReadKeys("Main").empty());
  reg_.Filer("List")->ReadStrings(back);
  EXPECT_EQ(back.Count(), 0);
}

TEST_F(RegManagerTest, DamagedListCountsReadWhatIsStored) {
  UseIni();
  WriteAll(ini_, "[Main]\r\nList_ItemCount=2147483647\r\nList_Item0=a\r\nList_Item2=c\r\n");
  TStringList back;
  reg_.Filer("List")->ReadStrings(back);
  EXPECT_EQ(back.Text(), "a\r\n\r\nc\r\n");
  WriteAll(ini_, "[Main]\r\nList_ItemCount=4\r\nList_Item0=a\r\n");
  reg_.Filer("List")->ReadStrings(back);
  EXPECT_EQ(back.Text(), "a\r\n");
  back.Clear();
  reg_.Filer("List")->WriteStrings(back);
  EXPECT_EQ(ReadAll(ini_), "[Main]\r\n");
}

class UpdateCountingList : public TStringList {
 public:
  int brackets = 0;

 protected:
  void SetUpdateState(bool updating) override {
    if (updating) ++brackets;
    TStringList::SetUpdateState(updating);
  }
};

TEST_F(RegManagerTest, ReadingAListIsOneUpdate) {
  UseIni();
  TStringList list;
  list.SetText("1\r\n2\r\n3\r\n");
  reg_.Filer("List")->WriteStrings(list);
  UpdateCountingList back;
  reg_.Filer("List")->ReadStrings(back);
  EXPECT_EQ(back.brackets, 1);
  EXPECT_EQ(back.UpdateCount(), 0);
}

TEST_F(RegManagerTest, FontsUseFiveKeysWithColourIdentifiers) {
  UseIni();
  TFont font;
  font.SetName("FixedSys");
  font.SetSize(8);
  font.SetColor(clBlack);
  font.SetStyle(fsBold | fsUnderline);
  font.SetCharset(SHIFTJIS_CHARSET);
  reg_.Filer("Font")->WriteFont(font);
  EXPECT_EQ(Stored("View", "Main_FontName"), "FixedSys");
  EXPECT_EQ(Stored("View", "Main_FontSize"), "8");
  EXPECT_EQ(Stored("View", "Main_FontColor"), "clBlack");
  EXPECT_EQ(Stored("View", "Main_FontStyle"), "5");
  EXPECT_EQ(Stored("View", "Main_FontCharset"), "128");
  font.SetColor(0x123456);
  reg_.Filer("Font")->WriteFont(font);
  EXPECT_EQ(Stored("View", "Main_FontColor"), "$00123456");

  TFont back;
  reg_.Filer("Font")->ReadFont(back);
  EXPECT_EQ(back.Name(), "FixedSys");
  EXPECT_EQ(back.Size(), 8);
  EXPECT_EQ(back.Color(), 0x123456);
  EXPECT_EQ(back.Style(), 5);
  EXPECT_EQ(back.Charset(), SHIFTJIS_CHARSET);
}

TEST_F(RegManagerTest, FontKeysThatAreMissingOrNotNumbers) {
  UseIni();
  WriteAll(ini_, "[View]\r\nMain_FontSize=big\r\nMain_FontStyle=bold\r\nMain_FontCharset=x\r\nMain_FontColor=clRed\r\n");
  TFont font;
  font.SetName("Keep");
  font.SetSize(11);
  font.SetStyle(fsItalic);
  reg_.Filer("Font")->ReadFont(font);
  EXPECT_EQ(font.Name(), "Keep");
  EXPECT_EQ(font.Size(), 11);
  EXPECT_EQ(font.Style(), 0);
  EXPECT_EQ(font.Charset(), 0);
  EXPECT_EQ(font.Color(), clRed);

  TIniFile(ini_).WriteString("View", "Main_FontColor", "clRedish");
  TIniFile(ini_).WriteString("View", "Main_FontName", "Other");
  EXPECT_THROW(reg_.Filer("Font")->ReadFont(font), EConvertError);
  EXPECT_EQ(font.Name(), "Keep");
  EXPECT_EQ(font.Color(), clRed);
}

TEST_F(RegManagerTest, StreamsGoThroughTheHexadecimalLayout) {
  UseIni();
  TMemoryStream stream;
  std::string bytes(33, '\xab');
  stream.WriteBuffer(bytes.data(), 33);
  stream.SetPosition(0);
  reg_.Filer("Blob")->WriteStream(stream);
  EXPECT_EQ(TIniFile(ini_).ReadKeys("Data"), (std::vector<std::string>{"X_c", "X_d0", "X_d1"}));
  TMemoryStream back;
  reg_.Filer("Blob")->ReadStream(back);
  EXPECT_EQ(std::string(back.Memory(), 33), bytes);
}

TEST_F(RegManagerTest, TheRegistryBackendKeepsTheSameSettings) {
  UseRegistry();
  reg_.Filer("FolderName")->WriteString("C:\\models\\");
  reg_.Filer("SortMode")->WriteInteger(2);
  reg_.Filer("Flag")->WriteBool(true);
  TStringList list;
  list.SetText("one\r\ntwo\r\n");
  reg_.Filer("List")->WriteStrings(list);
  TMemoryStream stream;
  stream.WriteBuffer("\0\1\2", 3);
  stream.SetPosition(0);
  reg_.Filer("Blob")->WriteStream(stream);

  TRegistry store(reg_.RegistryStorePath());
  ASSERT_TRUE(store.OpenKey("Software\\Corvida\\SortMode", false));
  EXPECT_EQ(store.ReadString("SortMode"), "2");
  ASSERT_TRUE(store.OpenKey("\\Software\\Corvida\\Data", false));
  EXPECT_EQ(store.ReadBinaryData("X"), std::string("\0\1\2", 3));

  EXPECT_EQ(reg_.Filer("FolderName")->ReadString(), "C:\\models\\");
  EXPECT_EQ(reg_.Filer("SortMode")->ReadInteger(), 2);
  EXPECT_TRUE(reg_.Filer("Flag")->ReadBool());
  TStringList back;
  reg_.Filer("List")->ReadStrings(back);
  EXPECT_EQ(back.Text(), "one\r\ntwo\r\n");
  list.SetText("one\r\n");
  reg_.Filer("List")->WriteStrings(list);
  store.OpenKey("\\Software\\Corvida\\Main", false);
  EXPECT_EQ(store.GetValueNames(), (std::vector<std::string>{"Flag", "List_ItemCount", "List_Item0"}));
  TMemoryStream streamBack;
  reg_.Filer("Blob")->ReadStream(streamBack);
  EXPECT_EQ(streamBack.Size(), 3);
  EXPECT_TRUE(ErrorBoxes().empty());
}

// Counts the replacements of settings files and fails those beyond the
// allowance as a full disk would, after the new file is written and before
// it is renamed into place.
int replacements = 0;
int allowedReplacements = 0;
void FullDiskHook(const std::string&) {
  if (++replacements > allowedReplacements) throw EFCreateError("No space left on device");
}

struct FullDisk {
  explicit FullDisk(int allowed) {
    replacements = 0;
    allowedReplacements = allowed;
    SetAtomicWriteHook(&FullDiskHook);
  }
  ~FullDisk() { SetAtomicWriteHook(nullptr); }
};

// The text of a list of count lines stem0, stem1, ...
std::string Numbered(std::string_view stem, int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += std::string(stem) + std::to_string(i) + "\r\n";
  return text;
}

void WriteList(TRegManager& reg, const std::string& text) {
  TStringList list;
  list.SetText(text);
  reg.Filer("List")->WriteStrings(list);
}

TEST_F(RegManagerTest, AFullDiskLeavesASettingOfSeveralKeysAllOld) {
  for (const bool registry : {false, true}) {
    SCOPED_TRACE(registry ? "registry store" : "INI file");
    registry ? UseRegistry() : UseIni();
    WriteList(reg_, Numbered("old", 20));
    TFont font;
    font.SetName("OldFace");
    font.SetSize(9);
    reg_.Filer("Font")->WriteFont(font);
    {
      FullDisk disk(0);
      EXPECT_ANY_THROW(WriteList(reg_, Numbered("new", 20)));
      EXPECT_ANY_THROW(WriteList(reg_, Numbered("new", 3)));
      font.SetName("NewFace");
      font.SetSize(14);
      EXPECT_ANY_THROW(reg_.Filer("Font")->WriteFont(font));
    }
    TStringList back;
    reg_.Filer("List")->ReadStrings(back);
    EXPECT_EQ(back.Text(), Numbered("old", 20));
    TFont fontBack;
    reg_.Filer("Font")->ReadFont(fontBack);
    EXPECT_EQ(fontBack.Name(), "OldFace");
    EXPECT_EQ(fontBack.Size(), 9);
  }
}

TEST_F(RegManagerTest, ASettingOfThousandsOfKeysIsOneReplacement) {
  for (const bool registry : {false, true}) {
    SCOPED_TRACE(registry ? "registry store" : "INI file");
    registry ? UseRegistry() : UseIni();
    FullDisk disk(1000);
    WriteList(reg_, Numbered("item", 3000));
    EXPECT_EQ(replacements, 1);
    WriteList(reg_, Numbered("short", 2));
    EXPECT_EQ(replacements, 2);
    TStringList back;
    reg_.Filer("List")->ReadStrings(back);
    EXPECT_EQ(back.Text(), "short0\r\nshort1\r\n");
    EXPECT_EQ(replacements, 2);
  }
  EXPECT_EQ(TIniFile(ini_).ReadKeys("Main"), (std::vector<std::string>{"List_ItemCount", "List_Item0", "List_Item1"}));
}

TEST_F(RegManagerTest, DeleteKeyRemovesOneKeyFromEitherBackend) {
  UseIni();
  reg_.Filer("SortMode")->WriteInteger(1);
  reg_.Filer("SortMode")->DeleteKey("SortMode", "sortmode");
  EXPECT_EQ(Stored("SortMode", "SortMode"), "<none>");
  UseRegistry();
  reg_.Filer("SortMode")->WriteInteger(1);
  reg_.Filer("SortMode")->DeleteKey("SortMode", "SortMode");
  reg_.Filer("SortMode")->DeleteKey("NoSuchSection", "SortMode");
  EXPECT_EQ(reg_.Filer("SortMode")->ReadInteger(), 0);
}

TEST_F(RegManagerTest, AFilerBoundToADeletedItemDoesNothing) {
  UseIni();
  TRegFiler* filer = reg_.Filer("SortMode");
  delete reg_.RegItems()->FindItem("SortMode");
  EXPECT_EQ(filer->Item(), nullptr);
  filer->WriteInteger(5);
  EXPECT_FALSE(std::filesystem::exists(ini_));
}

class TaggedFiler : public TRegFiler {
 public:
  using TRegFiler::TRegFiler;
  std::string ReadValue(std::string_view, std::string_view, std::string_view) override { return "42"; }
};

class TaggedManager : public TRegManager {
 public:
  using TRegManager::TRegManager;

 protected:
  std::unique_ptr<TRegFiler> CreateFiler() override { return std::make_unique<TaggedFiler>(this); }
};

TEST_F(RegManagerTest, ADescendantSuppliesItsOwnFiler) {
  TaggedManager tagged(nullptr);
  tagged.RegItems()->Assign(reg_.RegItems());
  EXPECT_NE(dynamic_cast<TaggedFiler*>(tagged.Filer("SortMode")), nullptr);
  EXPECT_EQ(tagged.Filer("SortMode")->ReadInteger(), 42);
}

class TSampleBox : public TComponent {
 public:
  CORVIDA_CLASS_NAME(TSampleBox)
  using TComponent::TComponent;
  int Width() const { return width_; }
  void SetWidth(int width) { width_ = width; }
  static const TClassInfo* StaticInfo() {
    static const TClassInfo info{"TSampleBox", nullptr, {
        IntProp<TSampleBox, &TSampleBox::Width, &TSampleBox::SetWidth>("Width"),
    }, [](TComponent* owner) -> TComponent* { return new TSampleBox(owner); }};
    return &info;
  }
  const TClassInfo* ClassInfo() const override { return StaticInfo(); }

 private:
  int width_ = 0;
};

class TSampleForm : public TSampleBox {
 public:
  using TSampleBox::TSampleBox;
  static const TClassInfo* StaticInfo() {
    static const TClassInfo form{"TForm", TSampleBox::StaticInfo(), {}};
    static const TClassInfo info{"TForm1", &form, {}};
    return &info;
  }
  const TClassInfo* ClassInfo() const override { return StaticInfo(); }
};

TEST_F(RegManagerTest, ComponentsTravelThroughTheStreamLayout) {
  UseIni();
  AddItem("Box", "Layout", "Box");
  TClassRegistry classes;
  classes.Register(TSampleBox::StaticInfo());
  reg_.SetClassRegistry(&classes);
  TComponent owner(nullptr);
  auto* box = new TSampleBox(&owner);
  box->SetName("Box1");
  box->SetWidth(321);
  reg_.Filer("Box")->WriteComponent(*box);
  EXPECT_NE(Stored("Layout", "Box_c"), "<none>");
  box->SetWidth(1);
  reg_.Filer("Box")->ReadComponent(*box);
  EXPECT_EQ(box->Width(), 321);

  // A stored state that does not read leaves the component alone.
  TMemoryStream junk;
  junk.WriteBuffer("object Box1: TSampleBox\r\n  Width = 'x'\r\nend\r\n", 45);
  junk.SetPosition(0);
  reg_.Filer("Box")->WriteStream(junk);
  box->SetWidth(5);
  EXPECT_NO_THROW(reg_.Filer("Box")->ReadComponent(*box));
  EXPECT_EQ(box->Width(), 5);
  EXPECT_EQ(box->Name(), "Box1");
}

TEST_F(RegManagerTest, FormsAreNotStoredAndNothingStoredReadsNothing) {
  UseIni();
  AddItem("Form", "Layout", "Form");
  TSampleForm form(nullptr);
  form.SetWidth(9);
  reg_.Filer("Form")->WriteComponent(form);
  EXPECT_FALSE(std::filesystem::exists(ini_));
  reg_.Filer("Form")->ReadComponent(form);
  EXPECT_EQ(form.Width(), 9);
}

TEST(RegManagerLayout, TheManagerAndItsItemsTravelInTheComponentText) {
  TClassRegistry classes;
  classes.Register(TRegManager::StaticInfo());
  TComponent form(nullptr);
  TRegManager* reg = new TRegManager(&form);
  reg->SetName("Reg1");
  reg->SetRegType(rtIni);
  TRegItem* item = reg->RegItems()->Add();
  item->SetName("SortMode");
  item->SetSection("SortMode");
  item->SetIdent("SortMode");
  const std::string text = WriteComponentText(*reg);
  EXPECT_NE(text.find("RegType = rtIni"), std::string::npos) << text;

  TComponent other(nullptr);
  auto* copy = dynamic_cast<TRegManager*>(ReadComponentText(text, other, classes));
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->RegType(), rtIni);
  ASSERT_EQ(copy->RegItems()->Count(), 1);
  EXPECT_EQ(copy->RegItems()->Items(0)->Ident(), "SortMode");
}

TEST(RegItem, AssignCopiesTheFourStringsAndRefusesOtherClasses) {
  TRegManager reg(nullptr);
  TRegItem* a = reg.RegItems()->Add();
  a->SetName("N");
  a->SetSection("S");
  a->SetIdent("I");
  a->SetDefaultValue("D");
  TRegItem* b = reg.RegItems()->Add();
  reg.RegItems()->SetItem(1, a);
  EXPECT_EQ(b->Name() + b->Section() + b->Ident() + b->DefaultValue(), "NSID");
  TStringList other;
  EXPECT_THROW(b->Assign(&other), EConvertError);
  EXPECT_EQ(reg.RegItems()->FindItem("n"), a);
  EXPECT_EQ(reg.RegItems()->FindItem("x"), nullptr);
  EXPECT_EQ(reg.RegItems()->GetOwner(), &reg);
}

}  // namespace
}  // namespace corvida

#include "platform/rtl/component_text.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/collection.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/format.h"
#include "platform/rtl/messages.h"
#include "platform/rtl/strings.h"

namespace corvida {
namespace {

class TFace : public TPersistent {
 public:
  CORVIDA_CLASS_NAME(TFace)
  const std::string& Name() const { return name_; }
  void SetName(const std::string& v) { name_ = v; }
  int Size() const { return size_; }
  void SetSize(int v) { size_ = v; }
  int Style() const { return style_; }
  void SetStyle(int v) { style_ = v; }

  static const TClassInfo* StaticInfo() {
    static const TClassInfo info{"TFace", nullptr, {
        StrProp<TFace, &TFace::Name, &TFace::SetName>("Name"),
        IntProp<TFace, &TFace::Size, &TFace::SetSize>("Size"),
        SetProp<TFace, &TFace::Style, &TFace::SetStyle>("Style", {"fsBold", "fsItalic", "fsUnderline"}),
    }};
    return &info;
  }
  const TClassInfo* ClassInfo() const override { return StaticInfo(); }

 private:
  std::string name_;
  int size_ = 0;
  int style_ = 0;
};

class TMarkItem : public TCollectionItem {
 public:
  CORVIDA_CLASS_NAME(TMarkItem)
  using TCollectionItem::TCollectionItem;
  const std::string& Text() const { return text_; }
  void SetText(const std::string& v) { text_ = v; }
  int Row() const { return row_; }
  void SetRow(int v) { row_ = v; }
  TFace* Face() { return &face_; }

  static const TClassInfo* StaticInfo() {
    static const TClassInfo info{"TMarkItem", nullptr, {
        StrProp<TMarkItem, &TMarkItem::Text, &TMarkItem::SetText>("Text"),
        IntProp<TMarkItem, &TMarkItem::Row, &TMarkItem::SetRow>("Row"),
        ObjectProp<TMarkItem, &TMarkItem::Face>("Face", TFace::StaticInfo()),
    }};
    return &info;
  }
  const TClassInfo* ClassInfo() const override { return StaticInfo(); }

 private:
  std::string text_;
  int row_ = 0;
  TFace face_;
};

enum TAlign { alNone, alTop, alClient };

// A component with a property of every kind; it logs its loading.
class TThing : public TComponent {
 public:
  CORVIDA_CLASS_NAME(TThing)
  explicit TThing(TComponent* owner)
      : TComponent(owner), marks_([](TCollection* c) -> TCollectionItem* { return new TMarkItem(c); }) {}

  int Width() const { return width_; }
  void SetWidth(int v) {
    width_ = v;
    widthSetWhileLoading_ = HasState(csLoading);
  }
  bool Visible() const { return visible_; }
  void SetVisible(bool v) { visible_ = v; }
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& v) { caption_ = v; }
  TAlign Align() const { return align_; }
  void SetAlign(TAlign v) { align_ = v; }
  int Options() const { return options_; }
  void SetOptions(int v) { options_ = v; }
  TFace* Face() { return &face_; }
  TStringList* Lines() { return &lines_; }
  TCollection* Marks() { return &marks_; }
  TThing* Buddy() const { return buddy_; }
  void SetBuddy(TThing* v) { buddy_ = v; }

  bool widthSetWhileLoading_ = false;
  std::vector<std::string>* loadLog = nullptr;

  static const TClassInfo* StaticInfo() {
    static const TClassInfo info{"TThing", nullptr, {
        IntProp<TThing, &TThing::Width, &TThing::SetWidth>("Width"),
        BoolProp<TThing, &TThing::Visible, &TThing::SetVisible>("Visible"),
        StrProp<TThing, &TThing::Caption, &TThing::SetCaption>("Caption"),
        EnumProp<TThing, &TThing::Align, &TThing::SetAlign>("Align", {"alNone", "alTop", "alClient"}),
        SetProp<TThing, &TThing::Options, &TThing::SetOptions>("Options", {"opA", "opB", "opC"}),
        ObjectProp<TThing, &TThing::Face>("Face", TFace::StaticInfo()),
        ObjectProp<TThing, &TThing::Lines>("Lines", nullptr),
        ObjectProp<TThing, &TThing::Marks>("Marks", nullptr),
        ComponentProp<TThing, &TThing::Buddy, &TThing::SetBuddy>("Buddy", &info),
    }, [](TComponent* owner) -> TComponent* { return new TThing(owner); }};
    return &info;
  }
  const TClassInfo* ClassInfo() const override { return StaticInfo(); }

  void Loaded() override {
    TComponent::Loaded();
    if (loadLog != nullptr) loadLog->push_back(Name());
    for (int i = 0; i < ComponentCount(); ++i)
      if (auto* child = dynamic_cast<TThing*>(Components(i))) child->loadLog = loadLog;
  }

 private:
  int width_ = 0;
  bool visible_ = false;
  std::string caption_;
  TAlign align_ = alNone;
  int options_ = 0;
  TFace face_;
  TStringList lines_;
  TCollection marks_;
  TThing* buddy_ = nullptr;
};

// A second class, derived, to check class names and reference types.
class TOtherThing : public TThing {
 public:
  CORVIDA_CLASS_NAME(TOtherThing)
  using TThing::TThing;
  static const TClassInfo* StaticInfo() {
    static const TClassInfo info{"TOtherThing", TThing::StaticInfo(), {},
                                 [](TComponent* owner) -> TComponent* { return new TOtherThing(owner); }};
    return &info;
  }
  const TClassInfo* ClassInfo() const override { return StaticInfo(); }
};

TClassRegistry& Registry() {
  static TClassRegistry registry = [] {
    TClassRegistry r;
    r.Register(TThing::StaticInfo());
    r.Register(TOtherThing::StaticInfo());
    return r;
  }();
  return registry;
}

std::string Lf(std::string text) {
  std::string out;
  for (char c : text)
    if (c != '\r') out += c;
  return out;
}

// The message of the EReadError that reading text into root raises.
std::string ReadError(const std::string& text, TComponent& root) {
  try {
    ReadComponentText(text, root, Registry());
  } catch (const EReadError& e) {
    return e.Message();
  }
  return "no error";
}

std::string AtLine(const std::string& message, int line) { return Format(msg::kParseError, {message, line}); }

TEST(ComponentText, WritesEveryPropertyKind) {
  TThing root(nullptr);
  root.SetName("Form1");
  root.SetWidth(-12);
  root.SetVisible(true);
  root.SetCaption("it's");
  root.SetAlign(alClient);
  root.SetOptions(0b101);
  root.Face()->SetName("Gothic");
  root.Face()->SetStyle(2);
  root.Lines()->SetText("a\nb");
  static_cast<TMarkItem*>(root.Marks()->Add())->SetRow(3);
  root.Marks()->Add();
  auto* child = new TOtherThing(&root);
  child->SetName("Child");
  root.SetBuddy(child);
  new TThing(&root);  // unnamed: not written

  EXPECT_EQ(Lf(WriteComponentText(root)),
            "object Form1: TThing\n"
            "  Width = -12\n"
            "  Visible = True\n"
            "  Caption = 'it''s'\n"
            "  Align = alClient\n"
            "  Options = [opA, opC]\n"
            "  Face.Name = 'Gothic'\n"
            "  Face.Size = 0\n"
            "  Face.Style = [fsItalic]\n"
            "  Lines.Strings = (\n"
            "    'a'\n"
            "    'b')\n"
            "  Marks = <\n"
            "    item\n"
            "      Text = ''\n"
            "      Row = 3\n"
            "      Face.Name = ''\n"
            "      Face.Size = 0\n"
            "      Face.Style = []\n"
            "    end\n"
            "    item\n"
            "      Text = ''\n"
            "      Row = 0\n"
            "      Face.Name = ''\n"
            "      Face.Size = 0\n"
            "      Face.Style = []\n"
            "    end>\n"
            "  Buddy = Child\n"
            "  object Child: TOtherThing\n"
            "    Width = 0\n"
            "    Visible = False\n"
            "    Caption = ''\n"
            "    Align = alNone\n"
            "    Options = []\n"
            "    Face.Name = ''\n"
            "    Face.Size = 0\n"
            "    Face.Style = []\n"
            "    Lines.Strings = ()\n"
            "    Marks = <>\n"
            "    Buddy = nil\n"
            "  end\n"
            "end\n");
  EXPECT_NE(WriteComponentText(root).find("end\r\n"), std::string::npos) << "lines end with CR LF";
}

TEST(ComponentText, ATreeReadsBackToTheSameState) {
  TThing source(nullptr);
  source.SetName("Form1");
  source.SetCaption(std::string("tab\there\x83\x65\x7f'\x01", 14));
  source.Lines()->SetText("one\n\nthree\x83");
  auto* a = new TThing(&source);
  a->SetName("A");
  auto* deep = new TOtherThing(a);
  deep->SetName("Deep");
  deep->SetWidth(77);
  deep->SetBuddy(&source);
  a->SetBuddy(deep);
  auto* item = static_cast<TMarkItem*>(source.Marks()->Add());
  item->SetText("");
  item->Face()->SetSize(9);
  const std::string text = WriteComponentText(source);

  TThing target(nullptr);
  EXPECT_EQ(ReadComponentText(text, target, Registry()), &target);
  EXPECT_EQ(WriteComponentText(target), text);
  EXPECT_EQ(target.Name(), "Form1");
  EXPECT_EQ(target.Caption(), source.Caption());
  EXPECT_EQ(target.Lines()->Text(), source.Lines()->Text());
  auto* readA = dynamic_cast<TThing*>(target.FindComponent("A"));
  ASSERT_NE(readA, nullptr);
  auto* readDeep = dynamic_cast<TOtherThing*>(readA->FindComponent("Deep"));
  ASSERT_NE(readDeep, nullptr);
  EXPECT_EQ(readA->Buddy(), readDeep) << "a reference to a component read later";
  EXPECT_EQ(readDeep->Buddy(), &target);
  EXPECT_EQ(readDeep->Width(), 77);
  EXPECT_EQ(static_cast<TMarkItem*>(target.Marks()->Items(0))->Face()->Size(), 9);
}

TEST(ComponentText, ReadingReplacesListsAndCollectionsAndReusesNamedChildren) {
  TThing root(nullptr);
  root.Lines()->SetText("old\nlines");
  root.Marks()->Add();
  root.Marks()->Add();
  auto* existing = new TThing(&root);
  existing->SetName("Kept");
  ReadComponentText(
      "object TThing\n"
      "  Lines.Strings = ('new')\n"
      "  Marks = <item Row = 5 end>\n"
      "  object Kept: TThing\n"
      "    Width = 3\n"
      "  end\n"
      "end\n",
      root, Registry());
  EXPECT_EQ(root.Lines()->Text(), "new\r\n");
  ASSERT_EQ(root.Marks()->Count(), 1);
  EXPECT_EQ(static_cast<TMarkItem*>(root.Marks()->Items(0))->Row(), 5);
  EXPECT_EQ(root.ComponentCount(), 1);
  EXPECT_EQ(existing->Width(), 3);
}

TEST(ComponentText, ComponentsReadAreLoadingUntilTheWholeTreeIsRead) {
  TThing root(nullptr);
  std::vector<std::string> log;
  root.loadLog = &log;
  auto* idle = new TThing(&root);
  idle->SetName("Idle");
  ReadComponentText(
      "object Root: TThing\n"
      "  Width = 1\n"
      "  object Kid: TThing\n"
      "    Width = 2\n"
      "  end\n"
      "end",
      root, Registry());
  EXPECT_TRUE(root.widthSetWhileLoading_);
  auto* kid = static_cast<TThing*>(root.FindComponent("Kid"));
  EXPECT_TRUE(kid->widthSetWhileLoading_);
  EXPECT_EQ(log, (std::vector<std::string>{"Root", "Kid"})) << "Loaded once each, root first";
  EXPECT_FALSE(root.HasState(csLoading));
  EXPECT_FALSE(kid->HasState(csLoading | csReading));
  EXPECT_FALSE(idle->HasState(csLoading)) << "a child the text does not name is left alone";
}

TEST(ComponentText, ATopObjectOfAnotherClassIsCreatedUnderTheOwner) {
  TComponent owner(nullptr);
  TComponent* read = ReadComponentText("object Made: TOtherThing\n  Width = 4\nend", owner, Registry());
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->Owner(), &owner);
  EXPECT_EQ(read->Name(), "Made");
  EXPECT_EQ(static_cast<TThing*>(read)->Width(), 4);
}

TEST(ComponentText, MalformedTextRaisesAReadErrorNamingTheLine) {
  TThing root(nullptr);
  EXPECT_EQ(ReadError("object X: TThing\n  Nope = 1\nend", root),
            AtLine(Format(msg::kUnknownProperty, {"Nope"}), 2));
  EXPECT_EQ(ReadError("object X: TThing\n  Face.Nope = 1\nend", root),
            AtLine(Format(msg::kUnknownProperty, {"Face.Nope"}), 2));
  EXPECT_EQ(ReadError("object X: TThing\n\n  object Y: TMissing\n  end\nend", root),
            AtLine(Format(msg::kClassNotFound, {"TMissing"}), 3));
  EXPECT_EQ(ReadError("object X: TThing\n  Width = 'text'\nend", root), AtLine(msg::kInvalidPropertyValue, 2));
  EXPECT_EQ(ReadError("object X: TThing\n  Width = 2147483648\nend", root),
            AtLine(msg::kInvalidPropertyValue, 2));
  EXPECT_EQ(ReadError("object X: TThing\n  Align = alLeft\nend", root), AtLine(msg::kInvalidPropertyValue, 2));
  EXPECT_EQ(ReadError("object X: TThing\n  Options = [opA, opZ]\nend", root),
            AtLine(msg::kInvalidPropertyValue, 2));
  EXPECT_EQ(ReadError("object X: TThing\n  Visible = Yes\nend", root), AtLine(msg::kInvalidPropertyValue, 2));
  EXPECT_EQ(ReadError("object X: TThing\n  Caption = 'open\nend", root), AtLine(msg::kInvalidString, 2));
  EXPECT_EQ(ReadError("object X: TThing\n  Caption = #256\nend", root), AtLine(msg::kInvalidString, 2));
  EXPECT_EQ(ReadError("object X: TThing\n  Width 1\nend", root), AtLine(Format(msg::kCharExpected, {"="}), 2));
  EXPECT_EQ(ReadError("object X: TThing\n  Width = 1\n", root), AtLine(Format(msg::kCharExpected, {"end"}), 3));
  EXPECT_EQ(ReadError("object X: TThing\nend\nend", root), AtLine(msg::kEndOfTextExpected, 3));
  EXPECT_EQ(ReadError("object X: TThing\n  Buddy = Ghost\nend", root),
            AtLine(Format(msg::kComponentNotFound, {"Ghost"}), 2));
  EXPECT_EQ(ReadError("object X: TThing\r\n  Width = ?\r\nend", root),
            AtLine(Format(msg::kInvalidCharacter, {'?'}), 2));
  EXPECT_EQ(ReadError("thing", root), AtLine(Format(msg::kCharExpected, {"object"}), 1));
  EXPECT_EQ(ReadError("", root), AtLine(Format(msg::kCharExpected, {"object"}), 1));
  EXPECT_EQ(ReadError("object X: TThing\n  object 9\nend", root), AtLine(msg::kIdentExpected, 2));
}

TEST(ComponentText, ErrorsOfSettersAreReadErrorsToo) {
  TThing root(nullptr);
  EXPECT_EQ(ReadError("object X: TThing\n  object A: TThing\n  end\n  object a: TOtherThing\n  end\nend", root),
            AtLine(Format(msg::kDuplicateName, {"a"}), 4));
}

TEST(ComponentText, AFailedReadLeavesNothingBehind) {
  TThing root(nullptr);
  auto* kept = new TThing(&root);
  kept->SetName("Kept");
  EXPECT_NE(ReadError("object R: TThing\n"
                      "  object New1: TThing\n"
                      "    object New2: TThing\n"
                      "    end\n"
                      "  end\n"
                      "  object Kept: TThing\n"
                      "    Width = 9\n"
                      "    Buddy = Nobody\n"
                      "  end\n"
                      "end",
                      root),
            "no error");
  EXPECT_EQ(root.ComponentCount(), 1) << "components created by the failed read are gone";
  EXPECT_EQ(root.Components(0), kept);
  EXPECT_FALSE(root.HasState(csLoading));
  EXPECT_FALSE(kept->HasState(csLoading));

  TComponent owner(nullptr);
  EXPECT_THROW(ReadComponentText("object M: TThing\n  Width = x\nend", owner, Registry()), EReadError);
  EXPECT_EQ(owner.ComponentCount(), 0);
}

TEST(ComponentText, AReferenceIntoACollectionReadAgainIsDropped) {
  TThing root(nullptr);
  // The first Marks' items are freed by the second; nothing may touch them.
  ReadComponentText("object X: TThing\n  Marks = <item end>\n  Marks = <>\nend", root, Registry());
  EXPECT_EQ(root.Marks()->Count(), 0);
}

TEST(ComponentText, ReferencesMustHaveTheRightClass) {
  TThing root(nullptr);
  TComponent plain(&root);
  plain.SetName("Plain");
  EXPECT_EQ(ReadError("object X: TThing\n  Buddy = Plain\nend", root), AtLine(msg::kInvalidPropertyValue, 2));
}

TEST(ComponentText, DeepNestingIsRefusedNotOverflowed) {
  std::string text;
  for (int i = 0; i < 5000; ++i) text += "object TThing\n";
  for (int i = 0; i < 5000; ++i) text += "end\n";
  TThing root(nullptr);
  const std::string message = ReadError(text, root);
  EXPECT_NE(message.find(msg::kNestingTooDeep), std::string::npos);
  EXPECT_EQ(root.ComponentCount(), 0);
}

TEST(ComponentText, AReferencePathTellsTheRootFromAChildOfTheSameName) {
  TThing root(nullptr);
  root.SetName("Same");
  auto* child = new TThing(&root);
  child->SetName("Same");
  auto* other = new TThing(&root);
  other->SetName("Other");
  child->SetBuddy(&root);
  other->SetBuddy(child);
  const std::string text = WriteComponentText(root);
  EXPECT_NE(text.find("Buddy = Same.Same\r\n"), std::string::npos);

  TThing copy(nullptr);
  ReadComponentText(text, copy, Registry());
  auto* readChild = static_cast<TThing*>(copy.Components(0));
  auto* readOther = static_cast<TThing*>(copy.Components(1));
  EXPECT_EQ(readChild->Buddy(), &copy);
  EXPECT_EQ(readOther->Buddy(), readChild);
}

TEST(ComponentText, ReferencesThatCannotBeNamedAreLeftOut) {
  TThing root(nullptr);
  root.SetName("Root");
  TThing outside(nullptr);
  outside.SetName("Outside");
  root.SetBuddy(&outside);
  EXPECT_EQ(WriteComponentText(root).find("Buddy"), std::string::npos);
  auto* unnamed = new TThing(&root);
  root.SetBuddy(unnamed);
  EXPECT_EQ(WriteComponentText(root).find("Buddy"), std::string::npos)
      << "reading keeps whatever the constructor set";
}

}  // namespace
}  // namespace corvida

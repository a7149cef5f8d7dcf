// The main window end to end on the headless backend: its stored layout,
// the buttons, the wheel, dropped files, and the two settings travelling
// through the INI file named after the executable.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "mqo/face_report.h"
#include "app/main_form.h"
#include "platform/rtl/files.h"
#include "platform/rtl/ini_file.h"
#include "platform/toolkit/toolkit_fixture.h"
#include "platform/winsys/drop_files.h"
#include "platform/winsys/file_changes.h"
#include "platform/winsys/window_system.h"
#include "support/error_box.h"
#include "temp_folder.h"

namespace corvida {
namespace {

std::string Sample(const std::string& name) {
  const char* source = std::getenv("CORVIDA_SOURCE_DIR");
  return std::string(source != nullptr ? source : ".") + "/samples/" + name;
}

std::vector<std::string> LinesOf(TStrings& lines) {
  std::vector<std::string> out;
  for (int i = 0; i < lines.Count(); ++i) out.push_back(lines.Strings(i));
  return out;
}

// XDG_CONFIG_HOME for one test.
class TConfigHome {
 public:
  explicit TConfigHome(const std::string& path) {
    if (const char* old = std::getenv("XDG_CONFIG_HOME")) old_ = old;
    setenv("XDG_CONFIG_HOME", path.c_str(), 1);
  }
  ~TConfigHome() {
    if (old_)
      setenv("XDG_CONFIG_HOME", old_->c_str(), 1);
    else
      unsetenv("XDG_CONFIG_HOME");
  }

 private:
  std::optional<std::string> old_;
};

class MainFormTest : public testing::ToolkitTest {
 protected:
  void SetUp() override {
    ToolkitTest::SetUp();
    form.reset();
    UseExe(folder.File("corvida"));
    UseToolkitErrorBoxes();
  }
  void TearDown() override {
    form.reset();
    Application().SetExeName("");
    SetErrorBoxHook(nullptr);
    ToolkitTest::TearDown();
  }

  void UseExe(const std::string& path) {
    Application().SetExeName(path);
    ini = std::make_unique<TIniFile>(SettingsFileName(path));
  }

  // A new window, shown as at program start.
  TForm1& Start() {
    form.reset();
    auto* window = new TForm1(nullptr);
    form.reset(window);
    Application().Initialize();
    Application().SetMainForm(window);
    window->Show();
    Run();
    return *window;
  }
  TForm1& Window() { return static_cast<TForm1&>(*form); }

  void Open(const std::string& path) {
    backend.PushOpenDialogAnswer(path);
    Click(*Window().SpeedButton1, 10, 10);
  }
  void CloseByButton() { Click(*Window().SpeedButton3, 10, 10); }
  std::string Stored(const char* name) { return ini->ReadString(name, name, "<none>"); }
  void Wheel(int steps) {
    InjectWheel(steps * WHEEL_DELTA, At(*Window().Editor1, 100, 100));
    Run();
  }

  testing::TempFolder folder;
  std::unique_ptr<TIniFile> ini;
};

TEST_F(MainFormTest, TheStoredLayoutMakesEveryComponentAsDesigned) {
  TForm1& w = Start();
  EXPECT_EQ(w.Caption(), "Metasequoia .mqo corvida");
  EXPECT_EQ(w.BoundsRect(), Bounds(192, 107, 664, 516));
  EXPECT_EQ(w.Panel1->BoundsRect(), Bounds(0, 0, 656, 41));
  EXPECT_EQ(w.Panel1->BevelInner(), bvLowered);
  EXPECT_EQ(w.SpeedButton1->BoundsRect(), Bounds(2, 2, 75, 37));
  EXPECT_EQ(w.SpeedButton2->Caption(), "Clear");
  EXPECT_EQ(w.SpeedButton3->BoundsRect(), Bounds(152, 2, 75, 37));
  EXPECT_EQ(w.SpeedButton1->Font()->Name(), w.Font()->Name());
  EXPECT_FALSE(w.SpeedButton1->Flat());
  EXPECT_EQ(w.RadioGroup1->Caption(), " Sort ");
  EXPECT_EQ(w.RadioGroup1->BoundsRect(), Bounds(255, 3, 271, 32));
  EXPECT_EQ(w.RadioGroup1->Columns(), 3);
  EXPECT_EQ(w.RadioGroup1->Items()->Text(), "None\r\nAscending\r\nDescending\r\n");
  EXPECT_EQ(w.OpenDialog1->Filter(), "mqo|*.mqo;*.mqoz");
  EXPECT_EQ(w.Reg1->RegType(), rtIni);
  EXPECT_EQ(w.CheckBox1->Caption(), "Details");
  EXPECT_EQ(w.CheckBox1->BoundsRect(), Bounds(534, 4, 80, 17));
  EXPECT_EQ(w.CheckBox2->Caption(), "Watch");
  EXPECT_EQ(w.CheckBox2->BoundsRect(), Bounds(534, 21, 80, 17));
  EXPECT_FALSE(w.CheckBox2->Checked());
  EXPECT_EQ(w.CheckBox1->Parent(), w.Panel1);
  EXPECT_FALSE(w.CheckBox1->Checked());
  ASSERT_EQ(w.Reg1->RegItems()->Count(), 9);
  EXPECT_EQ(w.Reg1->RegItems()->Items(1)->Section(), "SortMode");
  EXPECT_EQ(w.Reg1->RegItems()->Items(0)->Ident(), "FolderName");
  EXPECT_EQ(w.Reg1->RegItems()->Items(2)->Section(), "Details");
  EXPECT_EQ(w.Reg1->RegItems()->Items(3)->Ident(), "Budget");
  EXPECT_EQ(w.Reg1->RegItems()->Items(4)->Section(), "Window");
  EXPECT_EQ(w.Reg1->RegItems()->Items(7)->Ident(), "Height");
  EXPECT_EQ(w.Reg1->RegItems()->Items(8)->Section(), "Watch");

  TEditor& e = *w.Editor1;
  EXPECT_EQ(e.BoundsRect(), Bounds(0, 41, 656, 448));
  EXPECT_EQ(e.TabOrder(), 1);
  EXPECT_EQ(e.Font()->Name(), "FixedSys");
  EXPECT_EQ(e.Font()->Height(), -11);
  EXPECT_EQ(e.ScrollBars(), ssVertical);
  EXPECT_EQ(e.UndoListMax(), 64);
  EXPECT_EQ(e.ReserveWordList()->Text(), "total\r\n");
  EXPECT_EQ(e.Caret()->Cursors()->DragSelCopyCursor(), 1959);
  EXPECT_EQ(e.Caret()->TabSpaceCount(), 8);
  EXPECT_TRUE(e.Caret()->RowSelect());
  EXPECT_EQ(e.Margin()->Left(), 19);
  EXPECT_EQ(e.Leftbar()->Column(), 4);
  EXPECT_EQ(e.Ruler()->MarkColor(), clNavy);
  EXPECT_EQ(e.View()->Commenter(), "//");
  EXPECT_EQ(e.View()->Colors()->Select()->BkColor(), clNavy);
  EXPECT_EQ(e.View()->Colors()->Str()->Color(), clNone);
  EXPECT_EQ(e.WrapOption()->WrapByte(), 80);
  EXPECT_EQ(e.WrapOption()->LeadStr(), "\x81i\x81m\x81o\x81u\x81w([{\xa2");  // （［｛「『([{｢
  EXPECT_EQ(e.WrapOption()->FollowStr().size(), 56u);
}

TEST_F(MainFormTest, OpenReportsIntoThePaneAndCloseStoresFolderAndSortMode) {
  TForm1& w = Start();
  w.SetSortMode(kSortAscending);
  const std::string cube = Sample("cube.mqo");
  Open(cube);
  EXPECT_EQ(w.FileName(), cube);
  const std::vector<std::string> lines = LinesOf(*w.Editor1->Lines());
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(lines.front(), "// " + cube);
  EXPECT_EQ(lines.back(), "------------------------------");
  EXPECT_NE(lines[lines.size() - 2].find(" : Total // cube.mqo"), std::string::npos);
  EXPECT_TRUE(w.Editor1->Focused());
  // The pane shows its end: the caret is past the last line.
  EXPECT_EQ(w.Editor1->Row(), static_cast<int>(lines.size()));

  // A second Open appends a second complete report; Clear empties the pane.
  Open(cube);
  EXPECT_EQ(w.Editor1->Lines()->Count(), static_cast<int>(2 * lines.size()));
  Click(*w.SpeedButton2, 10, 10);
  EXPECT_EQ(w.Editor1->Lines()->Count(), 0);

  CloseByButton();
  EXPECT_TRUE(Application().Terminated());
  EXPECT_EQ(Stored("FolderName"), ExtractFilePath(cube));
  EXPECT_EQ(Stored("SortMode"), "1");
  EXPECT_EQ(Start().OpenDialog1->InitialDir(), ExtractFilePath(cube));
  EXPECT_EQ(Window().RadioGroup1->ItemIndex(), kSortAscending);
}

TEST_F(MainFormTest, WithoutAnIniFileOrAConfirmedOpenOnlyTheSortModeIsStored) {
  TForm1& w = Start();
  EXPECT_EQ(w.OpenDialog1->InitialDir(), "");
  EXPECT_EQ(w.SortMode(), kSortNone);
  backend.PushOpenDialogAnswer(std::nullopt);  // cancelled
  Click(*w.SpeedButton1, 10, 10);
  CloseByButton();
  EXPECT_EQ(Stored("FolderName"), "<none>");
  EXPECT_EQ(Stored("SortMode"), "0");

  // A stored folder stays as it was.
  ini->WriteString("FolderName", "FolderName", "/old/models/");
  Start();
  Window().SetSortMode(kSortDescending);
  CloseByButton();
  EXPECT_EQ(Stored("FolderName"), "/old/models/");
  EXPECT_EQ(Stored("SortMode"), "2");
}

TEST_F(MainFormTest, StoredSortModesAreMaskedAndLimited) {
  for (const auto& [stored, shown] : std::vector<std::pair<std::string, int>>{
           {"1", 1}, {"5", 2}, {"127", 2}, {"128", 0}, {"130", 2}, {"abc", 0}, {"-1", 2}, {"$81", 1}}) {
    ini->WriteString("SortMode", "SortMode", stored);
    EXPECT_EQ(Start().RadioGroup1->ItemIndex(), shown) << stored;
  }
}

TEST_F(MainFormTest, DetailsGiveTheStatisticsWithTheBudgetsVerdictAndStayTicked) {
  ini->WriteString("Budget", "Budget", "Mine");
  ini->WriteString("Budget mine", "Triangles", "7");
  TForm1& w = Start();
  EXPECT_FALSE(w.Details());
  Click(*w.CheckBox1, 40, 8);
  EXPECT_TRUE(w.Details());
  // A visible quad mirrored on X and Y, a hidden triangle on material 1.
  const std::string model = folder.File("m.mqo");
  testing::WriteAll(model,
                    "Object \"body\" {\r\n\tmirror 1\r\n\tmirror_axis 3\r\n\tvertex 4 {\r\n\t}\r\n\tface 1 {\r\n"
                    "\t\t4 V(0 1 2 3)\r\n\t}\r\n}\r\nObject \"tail\" {\r\n\tvisible 0\r\n\tvertex 3 {\r\n\t}\r\n"
                    "\tface 1 {\r\n\t\t3 V(0 1 2) M(1)\r\n\t}\r\n}\r\nEof\r\n");
  w.SetSortMode(kSortAscending);
  Open(model);
  EXPECT_EQ(LinesOf(*w.Editor1->Lines()), (std::vector<std::string>{
                                              "// " + model,
                                              "// faces triangles vertices materials : name",
                                              "       1         2        4         1 : \"body\" mirror \x81\x7e" "4",
                                              "       1         1        3         1 : \"tail\" hidden",
                                              "       1         2        4         1 : Total of 1 visible object, "
                                              "8 triangles exported // m.mqo",
                                              "       1         1        3         1 : Total of 1 hidden object",
                                              "budget mine: over: exported triangles 8 > 7",
                                              "------------------------------",
                                          }));
  EXPECT_TRUE(w.Editor1->Focused());
  CloseByButton();
  EXPECT_EQ(Stored("Details"), "1");
  EXPECT_TRUE(Start().Details());

  // A budget that no profile has is an error, shown before anything is read.
  ini->WriteString("Budget", "Budget", "none-such");
  Start();
  Open(model);
  EXPECT_EQ(Window().Editor1->Lines()->Count(), 0);
  ASSERT_EQ(backend.MessageBoxes().size(), 1u);
  EXPECT_EQ(backend.MessageBoxes()[0].text, "unknown budget 'none-such'");
}

// A model of (name, triangles) objects, saved as modelling programs do: a
// new file renamed over the old one. Without eof the save looks unfinished.
void SaveModel(const std::string& path, std::initializer_list<std::pair<const char*, int>> objects,
               bool eof = true) {
  std::string text = "Metasequoia Document\r\n";
  for (const auto& [name, faces] : objects) {
    text += std::string("Object \"") + name + "\" {\r\n\tface " + std::to_string(faces) + " {\r\n";
    for (int i = 0; i < faces; ++i) text += "\t\t3 V(0 1 2)\r\n";
    text += "\t}\r\n}\r\n";
  }
  testing::WriteAll(path + ".tmp", eof ? text + "Eof\r\n" : text);
  std::filesystem::rename(path + ".tmp", path);
}

// With "Watch" on a saved model is reported again with its changes, once
// the save is finished; a model that goes is said once in the pane; the
// box is kept.
TEST_F(MainFormTest, WatchReportsASavedModelAgainWithItsChanges) {
  TForm1& w = Start();
  const std::string model = folder.File("m.mqo");
  SaveModel(model, {{"body", 2}, {"tail", 1}});
  Open(model);
  Click(*w.CheckBox2, 40, 8);
  ASSERT_TRUE(w.Watching());
  Open(model);
  TStrings& pane = *w.Editor1->Lines();
  const int before = pane.Count();
  int64_t now = WindowSystem().NowMs();
  // Let the watch see what happened and let it settle.
  const auto settle = [&] {
    WindowSystem().CheckFileChanges(now += 1000);
    WindowSystem().CheckFileChanges(now += TFileWatch::kSettleMs);
    Run();
  };
  SaveModel(model, {{"body", 2}, {"wing", 4}}, false);
  settle();
  EXPECT_EQ(pane.Count(), before) << "an unfinished save is not reported";
  SaveModel(model, {{"body", 3}, {"wing", 4}});
  settle();
  std::vector<std::string> added = LinesOf(pane);
  added.erase(added.begin(), added.begin() + before);
  EXPECT_EQ(added, (std::vector<std::string>{
                       "// " + model,
                       "       3 : \"body\"",
                       "       4 : \"wing\"",
                       "       7 : Total // m.mqo",
                       "------------------------------",
                       "// changes since the previous report (faces, triangles): " + model,
                       "      +1       +1 : \"body\"",
                       "      +4       +4 : \"wing\" new",
                       "      -1       -1 : \"tail\" gone",
                       "      +4       +4 : Total",
                       "------------------------------",
                   }));
  std::filesystem::remove(model);
  settle();
  settle();
  EXPECT_EQ(LinesOf(pane).back(), "// " + model + " is gone; watching for it to come back");
  EXPECT_TRUE(backend.MessageBoxes().empty());
  CloseByButton();
  EXPECT_EQ(Stored("Watch"), "1");
  EXPECT_TRUE(Start().Watching());
}

TEST_F(MainFormTest, OpeningAMissingFileReportsNothingButStillMovesTheFolder) {
  TForm1& w = Start();
  const std::string missing = folder.File("elsewhere/none.mqo");
  Open(missing);
  EXPECT_EQ(w.Editor1->Lines()->Count(), 0);
  EXPECT_TRUE(backend.MessageBoxes().empty());
  CloseByButton();
  EXPECT_EQ(Stored("FolderName"), folder.File("elsewhere/"));
}

TEST_F(MainFormTest, PathsWithAnyCharacterAreReportedThroughEveryEntryAndShownWithStandIns) {
  // Modèles/한국어😀/cube.mqo: é has a CP932 form, Korean and the emoji none.
  const std::string dir = folder.File("Mod\xc3\xa8les/\xed\x95\x9c\xea\xb5\xad\xec\x96\xb4\xf0\x9f\x98\x80");
  std::filesystem::create_directories(dir);
  const std::string cube = dir + "/cube.mqo";
  std::filesystem::copy_file(Sample("cube.mqo"), cube);
  const std::string shown = "// " + folder.File("Mod\\u00e8les/\\ud55c\\uad6d\\uc5b4\\U0001f600/cube.mqo");
  TForm1& w = Start();
  const auto entries = std::vector<std::function<void()>>{
      [&] { Open(cube); },
      [&] {
        ASSERT_TRUE(PostDropFiles(w.Editor1->Window(), {cube}));
        Run();
      },
      [&] { w.OpenFiles({cube}); },
  };
  for (const auto& entry : entries) {
    w.Editor1->Lines()->Clear();
    entry();
    const std::vector<std::string> lines = LinesOf(*w.Editor1->Lines());
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], shown);
    EXPECT_EQ(lines[2], "       6 : Total // cube.mqo");
    EXPECT_EQ(w.FileName(), cube);
    EXPECT_EQ(w.DesktopTitle(), "corvida \xe2\x80\x94 cube.mqo");
  }
  EXPECT_TRUE(backend.MessageBoxes().empty());
  CloseByButton();
  EXPECT_EQ(Stored("FolderName"), dir + "/");
  EXPECT_EQ(Start().OpenDialog1->InitialDir(), dir + "/");
}

TEST_F(MainFormTest, APathThatCannotBeReportedSaysWhyExceptAMissingNameTypedInTheDialog) {
  TForm1& w = Start();
  const std::string missing = folder.File("\xed\x95\x9c/none.mqo");
  Open(missing);
  Open(folder.Path());
  ASSERT_TRUE(PostDropFiles(w.Editor1->Window(), {missing}));
  Run();
  w.OpenFiles({missing, Sample("cube.mqo")});
  EXPECT_EQ(w.Editor1->Lines()->Count(), 4);
  // ファイル "<path>" は開けません。<reason>
  const std::string cannotOpen = "\x83\x74\x83\x40\x83\x43\x83\x8b \"";
  const std::string shownMissing = folder.File("\\ud55c/none.mqo");
  const std::vector<std::string> expected{
      cannotOpen + folder.Path() + "\" \x82\xcd\x8a\x4a\x82\xaf\x82\xdc\x82\xb9\x82\xf1\x81\x42is a folder, not a file.",
      cannotOpen + shownMissing + "\" \x82\xcd\x8a\x4a\x82\xaf\x82\xdc\x82\xb9\x82\xf1\x81\x42" +
          std::strerror(ENOENT) + ".",
  };
  std::vector<std::string> texts;
  for (const auto& box : backend.MessageBoxes()) texts.push_back(box.text);
  EXPECT_EQ(texts, (std::vector<std::string>{expected[0], expected[1], expected[1]}));
}

// Presses key with the modifier keys held, as a keyboard would send them.
void Press(std::initializer_list<int> held, int key) {
  for (const int k : held) InjectKeyDown(k);
  InjectKeyDown(key);
  InjectKeyUp(key);
  for (const int k : held) InjectKeyUp(k);
}

TEST_F(MainFormTest, EveryCommandHasAShortcutWhereverTheFocusIs) {
  const std::string cube = Sample("cube.mqo");
  TForm1& w = Start();
  for (TWinControl* focus : std::vector<TWinControl*>{w.Editor1, w.RadioGroup1, w.SpeedButton2}) {
    focus->SetFocus();
    backend.PushOpenDialogAnswer(cube);
    Press({VK_CONTROL}, 'O');
    Run();
    EXPECT_EQ(w.Editor1->Lines()->Count(), 4) << focus->Name();
    for (const auto& [key, mode] : std::vector<std::pair<int, int>>{{'D', kSortDescending}, {'A', kSortAscending}, {'N', kSortNone}}) {
      Press({VK_MENU}, key);
      Run();
      EXPECT_EQ(w.SortMode(), mode) << focus->Name();
    }
    Press({VK_CONTROL, VK_SHIFT}, VK_DELETE);
    Run();
    EXPECT_EQ(w.Editor1->Lines()->Count(), 0) << focus->Name();
  }
  EXPECT_NE(w.SpeedButton1->Hint().find("Ctrl+O"), std::string::npos);
  EXPECT_NE(w.RadioGroup1->Hint().find("Alt+D"), std::string::npos);
  for (const int key : {'Q', 'W'}) {
    Start();
    Press({VK_CONTROL}, key);
    Run();
    EXPECT_TRUE(Application().Terminated());
  }
}

TEST_F(MainFormTest, CtrlTabLeavesThePaneForTheButtonsWhichSpaceAndEnterPress) {
  TForm1& w = Start();
  w.Editor1->SetFocus();
  // Where the focused button shows its focus ring.
  const auto ring = [&] {
    Run();
    const TPoint corner = w.SpeedButton1->Window()->ClientOffsetInTop();
    return w.Window()->Framebuffer()->Pixel(corner.x + 10, corner.y + 6);
  };
  const uint32_t face = ring();
  Press({VK_CONTROL}, VK_TAB);
  Run();
  ASSERT_TRUE(w.SpeedButton1->Focused());
  EXPECT_NE(ring(), face);
  backend.PushOpenDialogAnswer(Sample("cube.mqo"));
  Press({}, VK_SPACE);
  Run();
  EXPECT_EQ(w.Editor1->Lines()->Count(), 4);
  EXPECT_TRUE(w.Editor1->Focused());  // the report takes the focus
  Press({VK_CONTROL}, VK_TAB);
  Run();
  Press({}, VK_TAB);
  Run();
  ASSERT_TRUE(w.SpeedButton2->Focused());
  Press({}, VK_RETURN);
  Run();
  EXPECT_EQ(w.Editor1->Lines()->Count(), 0);
  // Shift+Tab goes back; a click on a button leaves the focus where it is.
  Press({VK_SHIFT}, VK_TAB);
  Run();
  EXPECT_TRUE(w.SpeedButton1->Focused());
  w.Editor1->SetFocus();
  EXPECT_EQ(ring(), face);
  Click(*w.SpeedButton2, 10, 10);
  EXPECT_TRUE(w.Editor1->Focused());
}

TEST_F(MainFormTest, TheWindowKeepsItsPlaceOnTheScreenAndNeverCutsTheButtonBar) {
  const auto barShown = [](TForm1& w) {
    return w.ClientRect().Width() >= w.CheckBox1->Left() + w.CheckBox1->Width() && w.Editor1->Height() > 0;
  };
  const auto onScreen = [](TForm1& w, TSize screen) {
    return w.Left() >= 0 && w.Top() >= 0 && w.Left() + w.Width() <= screen.cx && w.Top() + w.Height() <= screen.cy;
  };
  // A 1280-pixel screen at display scale 2: the first window is larger
  // than it.
  const TSize halved{640, 512};
  backend.SetScreenSize(halved);
  TForm1& w = Start();
  EXPECT_TRUE(onScreen(w, halved));
  EXPECT_TRUE(barShown(w));
  w.SetBounds(w.Left(), w.Top(), 50, 30);
  EXPECT_TRUE(barShown(w));

  backend.SetScreenSize({1024, 768});
  Start().SetBounds(300, 200, 700, 500);
  CloseByButton();
  const TForm1& again = Start();
  EXPECT_EQ(again.BoundsRect(), Bounds(300, 200, 700, 500));

  // A stored place off a smaller screen comes back onto it.
  backend.SetScreenSize(halved);
  EXPECT_TRUE(onScreen(Start(), halved));
}

TEST_F(MainFormTest, AReportLongerThanThePaneShowsItsHeader) {
  std::string model;
  for (int i = 0; i < 40; ++i) model += "Object \"o" + std::to_string(i) + "\" {\nface 1 {\n}\n}\n";
  const std::string path = folder.File("long.mqo");
  testing::WriteAll(path, model + "Eof\n");
  TForm1& w = Start();
  Open(Sample("cube.mqo"));
  Open(path);
  ASSERT_LT(w.Editor1->VisibleRows(), 40);
  EXPECT_EQ(w.Editor1->TopRow(), 4);
  EXPECT_EQ(w.Editor1->Lines()->Strings(4), "// " + path);
}

TEST_F(MainFormTest, ARenamedExecutableUsesAnIniFileOfItsNewName) {
  ini->WriteString("SortMode", "SortMode", "2");
  UseExe(folder.File("facecount.bin"));
  EXPECT_EQ(ini->FileName(), folder.File("facecount.ini"));
  EXPECT_EQ(Start().SortMode(), kSortNone);
  Window().SetSortMode(kSortAscending);
  CloseByButton();
  EXPECT_EQ(Stored("SortMode"), "1");
  EXPECT_EQ(TIniFile(folder.File("corvida.ini")).ReadString("SortMode", "SortMode", ""), "2");
}

TEST_F(MainFormTest, WheelStepsMoveTheCaretTwoRowsOnlyWhileThePaneHasTheFocus) {
  TForm1& w = Start();
  for (int i = 0; i < 5; ++i) w.Editor1->Lines()->Add("line");  // rows 0 to 5
  w.RadioGroup1->SetFocus();
  w.Editor1->SetRow(0);
  Wheel(-1);
  EXPECT_EQ(w.Editor1->Row(), 0);
  w.Editor1->SetFocus();
  Wheel(-1);
  EXPECT_EQ(w.Editor1->Row(), 2);
  Wheel(-2);
  EXPECT_EQ(w.Editor1->Row(), 5);  // limited to the last row
  Wheel(1);
  EXPECT_EQ(w.Editor1->Row(), 3);
  Wheel(3);
  EXPECT_EQ(w.Editor1->Row(), 0);
}

TEST_F(MainFormTest, ErrorsOfAReportShowInTheErrorBoxAndKeepTheHeader) {
  Application().SetTitle("corvida");
  TForm1& w = Start();
  const std::string bad = folder.File("bad.mqo");
  testing::WriteAll(bad, "Object 'unclosed\r\nface 3\r\n");
  Open(bad);
  EXPECT_EQ(LinesOf(*w.Editor1->Lines()), std::vector<std::string>{"// " + bad});
  ASSERT_EQ(backend.MessageBoxes().size(), 1u);
  const auto& box = backend.MessageBoxes()[0];
  EXPECT_EQ(box.caption, "corvida");
  EXPECT_EQ(box.type, static_cast<UINT>(MB_OK | MB_ICONSTOP));
  EXPECT_EQ(box.text.back(), '.');
  Application().SetTitle("");

  // The setting store reports its own problems in the toolkit's error box.
  w.Reg1->Filer("Nope");
  ASSERT_EQ(backend.MessageBoxes().size(), 2u);
  EXPECT_EQ(backend.MessageBoxes()[1].text, "[' Nope '] is invalid.");
  EXPECT_EQ(backend.MessageBoxes()[1].type & MB_ICONSTOP, static_cast<UINT>(MB_ICONSTOP));
}

TEST_F(MainFormTest, EscapeStopsAReportLeavingThePaneAndItsUndoHistoryAsAnErrorDoes) {
  struct TPane {
    std::vector<std::string> lines;
    std::vector<std::string> linesAfterUndo;
    bool canUndoMore = false;
  };
  const std::string model = folder.File("model.mqo");
  // Opens model in a new window whose pane holds a line typed before;
  // with escape, Escape is pressed as the report starts.
  const auto openInNewWindow = [&](bool escape) {
    TForm1& w = Start();
    w.Editor1->SetFocus();
    InjectText("x");
    backend.PushOpenDialogAnswer(model);
    InjectMouseDown(VK_LBUTTON, At(*w.SpeedButton1, 10, 10));
    InjectMouseUp(VK_LBUTTON, At(*w.SpeedButton1, 10, 10));
    if (escape) {
      InjectKeyDown(VK_ESCAPE);
      InjectKeyUp(VK_ESCAPE);
    }
    Run();
    TPane pane;
    pane.lines = LinesOf(*w.Editor1->Lines());
    w.Editor1->Undo();
    pane.linesAfterUndo = LinesOf(*w.Editor1->Lines());
    pane.canUndoMore = w.Editor1->CanUndo();
    return pane;
  };
  testing::WriteAll(model, "Object 'unclosed\r\nface 3\r\n");
  const TPane error = openInNewWindow(false);
  ASSERT_EQ(backend.MessageBoxes().size(), 1u);
  testing::WriteAll(model, testing::ReadAll(Sample("cube.mqo")));
  const TPane stopped = openInNewWindow(true);
  EXPECT_EQ(backend.MessageBoxes().size(), 1u) << "a stop is not an error to show";
  EXPECT_EQ(stopped.lines, (std::vector<std::string>{"x", "// " + model}));
  EXPECT_EQ(stopped.lines, error.lines);
  EXPECT_EQ(stopped.linesAfterUndo, error.linesAfterUndo);
  EXPECT_EQ(stopped.canUndoMore, error.canUndoMore);

  // The window is itself again: the next report comes whole and the pane
  // takes typing.
  TForm1& w = Window();
  Open(model);
  EXPECT_EQ(w.Editor1->Lines()->Strings(w.Editor1->Lines()->Count() - 1), "------------------------------");
  EXPECT_FALSE(w.Editor1->ReadOnly());
  EXPECT_TRUE(w.SpeedButton1->Enabled() && w.SpeedButton2->Enabled());
}

TEST_F(MainFormTest, AFileDroppedDuringAReportIsReportedAfterIt) {
  TForm1& w = Start();
  const std::string cube = Sample("cube.mqo");
  const std::string counts = Sample("equal_counts.mqo");
  backend.PushOpenDialogAnswer(cube);
  InjectMouseDown(VK_LBUTTON, At(*w.SpeedButton1, 10, 10));
  InjectMouseUp(VK_LBUTTON, At(*w.SpeedButton1, 10, 10));
  ASSERT_TRUE(PostDropFiles(w.Editor1->Window(), {counts}));
  Run();
  std::vector<std::string> expected;
  for (const std::string& path : {cube, counts}) WriteReport(path, path, kSortNone, [&](std::string_view line) {
    expected.emplace_back(line);
  });
  EXPECT_EQ(LinesOf(*w.Editor1->Lines()), expected);
}

TEST_F(MainFormTest, DroppedFilesAreReportedInOrderAndAFailingOneDoesNotStopTheRest) {
  TForm1& w = Start();
  const std::string bad = folder.File("bad.mqo");
  testing::WriteAll(bad, "Object 'unclosed\r\n");
  const std::string cube = Sample("cube.mqo");
  const std::string counts = Sample("equal_counts.mqo");
  // Dropped on the pane, taken by the window.
  ASSERT_TRUE(PostDropFiles(w.Editor1->Window(), {cube, bad, counts}));
  Run();
  std::vector<std::string> headers;
  for (const std::string& line : LinesOf(*w.Editor1->Lines()))
    if (line.starts_with("// ")) headers.push_back(line);
  EXPECT_EQ(headers, (std::vector<std::string>{"// " + cube, "// " + bad, "// " + counts}));
  EXPECT_EQ(backend.MessageBoxes().size(), 1u);
  EXPECT_EQ(w.FileName(), counts);
  EXPECT_EQ(w.Editor1->Lines()->Strings(w.Editor1->Lines()->Count() - 1), "------------------------------");

  // A window that does not take files refuses them.
  TForm plain(nullptr);
  EXPECT_FALSE(PostDropFiles(plain.Window(), {cube}));
}

TEST_F(MainFormTest, AnUnwritableIniKeepsTheWindowOpenOnceThenLetsItClose) {
  std::filesystem::create_directory(ini->FileName());  // no file can be written there
  Start();
  Open(Sample("cube.mqo"));
  CloseByButton();
  EXPECT_FALSE(Application().Terminated());
  ASSERT_EQ(backend.MessageBoxes().size(), 1u);
  EXPECT_EQ(backend.MessageBoxes()[0].text.find(ini->FileName() + " \x82\xc9\x8f\x91\x82\xab\x8d\x9e\x82\xdf\x82\xdc\x82\xb9\x82\xf1"), 0u);  // に書き込めません
  CloseByButton();
  EXPECT_TRUE(Application().Terminated());
  EXPECT_EQ(backend.MessageBoxes().size(), 1u);
}

TEST_F(MainFormTest, AnExecutableInAReadOnlyFolderKeepsItsSettingsInTheUserConfigFolder) {
  TConfigHome home(folder.File("config"));
  std::vector<std::string> readOnly{folder.File("not-there")};
  if (::geteuid() != 0) {  // the superuser may write anywhere
    std::filesystem::create_directory(folder.File("locked"));
    std::filesystem::permissions(folder.File("locked"), std::filesystem::perms::owner_read |
                                                             std::filesystem::perms::owner_exec);
    readOnly.push_back(folder.File("locked"));
  }
  for (const std::string& exeFolder : readOnly) {
    UseExe(exeFolder + "/corvida");
    EXPECT_EQ(ini->FileName(), folder.File("config/corvida/corvida.ini"));
    Start().SetSortMode(kSortDescending);
    CloseByButton();
    EXPECT_TRUE(Application().Terminated()) << exeFolder;
    EXPECT_EQ(Stored("SortMode"), "2");
    EXPECT_EQ(Start().SortMode(), kSortDescending);
    std::filesystem::remove_all(folder.File("config"));
  }
  std::error_code ignored;
  std::filesystem::permissions(folder.File("locked"), std::filesystem::perms::owner_all, ignored);
}

}  // namespace
}  // namespace corvida

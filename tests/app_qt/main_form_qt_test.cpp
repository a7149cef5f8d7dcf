// The main window on the Qt backend (offscreen): native controls over the
// framebuffer, a report opened through the real file dialog, and files
// dropped from a file manager.
#include <QCheckBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QGroupBox>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QUrl>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "mqo/face_report.h"
#include "app/main_form.h"
#include "platform/backends/qt/qt_fixture.h"
#include "temp_folder.h"

namespace corvida {
namespace {

[[maybe_unused]] const ::testing::Environment* const kQt =
    ::testing::AddGlobalTestEnvironment(new testing::QtEnvironment);

std::string Sample(const std::string& name) {
  const char* source = std::getenv("CORVIDA_SOURCE_DIR");
  return std::string(source != nullptr ? source : ".") + "/samples/" + name;
}

class MainFormQtTest : public testing::QtTest {
 protected:
  void SetUp() override {
    QtTest::SetUp();
    form.reset();
    Application().SetExeName(folder.File("corvida"));
    window = new TForm1(nullptr);
    form.reset(window);
    Application().SetMainForm(window);
    window->Show();
    Pump();
    widget = backend->FormWidget(window->Window());
    ASSERT_NE(widget, nullptr);
  }
  void TearDown() override {
    QtTest::TearDown();
    Application().SetExeName("");
  }

  std::vector<std::string> Lines() const {
    std::vector<std::string> out;
    for (int i = 0; i < window->Editor1->Lines()->Count(); ++i) out.push_back(window->Editor1->Lines()->Strings(i));
    return out;
  }
  // Sends a drag of data onto the pane and, when accepted, drops it.
  bool Drop(QMimeData& data) {
    const QPointF at = Host(window->Editor1)->mapTo(widget, QPoint(100, 100));
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &enter);
    if (!enter.isAccepted()) return false;
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &drop);
    Pump();
    return drop.isAccepted();
  }

  testing::TempFolder folder;
  TForm1* window = nullptr;
  TQtFormWidget* widget = nullptr;
};

TEST_F(MainFormQtTest, NativeControlsShowTheLayoutAndTheSortChoiceReachesTheWindow) {
  EXPECT_EQ(widget->windowTitle(), "Metasequoia .mqo corvida");
  QStringList captions;
  for (QPushButton* b : widget->findChildren<QPushButton*>()) captions << b->text();
  EXPECT_EQ(captions, (QStringList{"Open", "Clear", "Close"}));
  auto* group = widget->findChild<QGroupBox*>();
  ASSERT_NE(group, nullptr);
  EXPECT_EQ(group->title(), " Sort ");
  auto radios = group->findChildren<QRadioButton*>();
  ASSERT_EQ(radios.size(), 3);
  EXPECT_TRUE(radios[0]->isChecked());
  radios[2]->click();
  Pump();
  EXPECT_EQ(window->SortMode(), kSortDescending);
  auto* details = widget->findChild<QCheckBox*>();
  ASSERT_NE(details, nullptr);
  EXPECT_EQ(details->text(), "Details");
  EXPECT_FALSE(details->isChecked());
  details->click();
  Pump();
  EXPECT_TRUE(window->Details());
  EXPECT_TRUE(details->isChecked());
  window->CheckBox1->SetChecked(false);
  EXPECT_FALSE(details->isChecked());
}

TEST_F(MainFormQtTest, TheDesktopKeepsTheWindowAboveItsSmallestSizeAndTellsWhereItWasMoved) {
  const TSize smallest = window->MinClientSize();
  EXPECT_EQ(widget->minimumSize(), QSize(smallest.cx, smallest.cy));
  widget->move(37, 58);
  Pump();
  EXPECT_EQ(window->Left(), 37);
  EXPECT_EQ(window->Top(), 58);
}

TEST_F(MainFormQtTest, CtrlTabFromThePaneGivesAButtonTheFocusWithItsRing) {
  window->Editor1->SetFocus();
  Pump();
  EXPECT_FALSE(widget->testAttribute(Qt::WA_KeyboardFocusChange));
  Key(Host(window->Editor1), QEvent::KeyPress, Qt::Key_Tab, Qt::ControlModifier);
  Key(Host(window->Editor1), QEvent::KeyRelease, Qt::Key_Tab, Qt::ControlModifier);
  Pump();
  auto* button = qobject_cast<QPushButton*>(QApplication::focusWidget());
  ASSERT_NE(button, nullptr);
  EXPECT_FALSE(window->Editor1->Focused());
  // The style draws a focus ring only in a window whose focus the keyboard moved.
  EXPECT_TRUE(widget->testAttribute(Qt::WA_KeyboardFocusChange));
}

TEST_F(MainFormQtTest, OpenThroughTheFileDialogReportsIntoThePane) {
  const std::string cube = Sample("cube.mqo");
  QTimer driver;  // answers the modal dialog from inside its own loop
  driver.setInterval(0);
  QObject::connect(&driver, &QTimer::timeout, [&] {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* dialog = qobject_cast<QFileDialog*>(w); dialog && dialog->isVisible()) {
        EXPECT_EQ(dialog->nameFilters(), QStringList{"mqo (*.mqo *.mqoz)"});
        dialog->selectFile(QString::fromStdString(cube));
        static_cast<QDialog*>(dialog)->accept();  // the dialog's own accept checks the name
      }
  });
  driver.start();
  widget->findChildren<QPushButton*>().at(0)->click();
  Pump();
  driver.stop();
  const std::vector<std::string> lines = Lines();
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(lines.front(), "// " + cube);
  EXPECT_EQ(lines.back(), "------------------------------");
  EXPECT_EQ(window->FileName(), cube);
  EXPECT_TRUE(window->Editor1->Focused());
}

TEST_F(MainFormQtTest, LocalFilesDroppedOnTheWindowAreReportedInDropOrder) {
  const std::string cube = Sample("cube.mqo");
  const std::string counts = Sample("equal_counts.mqo");
  QMimeData files;
  files.setUrls({QUrl::fromLocalFile(QString::fromStdString(counts)), QUrl::fromLocalFile(QString::fromStdString(cube))});
  ASSERT_TRUE(Drop(files));
  std::vector<std::string> headers;
  for (const std::string& line : Lines())
    if (line.starts_with("// ")) headers.push_back(line);
  EXPECT_EQ(headers, (std::vector<std::string>{"// " + counts, "// " + cube}));
  EXPECT_EQ(window->FileName(), cube);

  // Anything else is refused: text, or a file beside a web address.
  const int count = window->Editor1->Lines()->Count();
  QMimeData text;
  text.setText("cube.mqo");
  EXPECT_FALSE(Drop(text));
  QMimeData mixed;
  mixed.setUrls({QUrl::fromLocalFile(QString::fromStdString(cube)), QUrl("https://example.com/a.mqo")});
  EXPECT_FALSE(Drop(mixed));
  EXPECT_EQ(window->Editor1->Lines()->Count(), count);
}

TEST_F(MainFormQtTest, AFolderNamedOutsideCp932IsReportedFromTheDialogAndFromADrop) {
  // Modèles/한국어😀/cube.mqo
  const std::string dir = folder.File("Mod\xc3\xa8les/\xed\x95\x9c\xea\xb5\xad\xec\x96\xb4\xf0\x9f\x98\x80");
  std::filesystem::create_directories(dir);
  const std::string cube = dir + "/cube.mqo";
  std::filesystem::copy_file(Sample("cube.mqo"), cube);
  QTimer driver;
  driver.setInterval(0);
  QObject::connect(&driver, &QTimer::timeout, [&] {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* dialog = qobject_cast<QFileDialog*>(w); dialog && dialog->isVisible()) {
        dialog->selectFile(QString::fromStdString(cube));
        static_cast<QDialog*>(dialog)->accept();
      }
  });
  driver.start();
  widget->findChildren<QPushButton*>().at(0)->click();
  Pump();
  driver.stop();
  QMimeData files;
  files.setUrls({QUrl::fromLocalFile(QString::fromStdString(cube))});
  ASSERT_TRUE(Drop(files));
  const std::string header = "// " + folder.File("Mod\\u00e8les/\\ud55c\\uad6d\\uc5b4\\U0001f600/cube.mqo");
  std::vector<std::string> headers;
  for (const std::string& line : Lines())
    if (line.starts_with("// ")) headers.push_back(line);
  EXPECT_EQ(headers, (std::vector<std::string>{header, header}));
  EXPECT_EQ(window->FileName(), cube);
  EXPECT_EQ(widget->windowTitle(), QString::fromUtf8("corvida \xe2\x80\x94 cube.mqo"));
}

}  // namespace
}  // namespace corvida

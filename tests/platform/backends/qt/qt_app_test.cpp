#include <QClipboard>
#include <QMessageBox>
#include <QMimeData>
#include <QEventLoop>
#include <QProcess>
#include <QPushButton>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/backends/qt/qt_fixture.h"
#include "platform/rtl/exceptions.h"
#include "platform/toolkit/std_controls.h"
#include "platform/winsys/clipboard.h"

namespace corvida {
namespace {

using testing::QtTest;

class QtAppTest : public QtTest {};

QMessageBox* ShownMessageBox() {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) return box;
  return nullptr;
}

class Failing : public TObject {
 public:
  void Click(TObject*) {
    ++clicks;
    throw EFOpenError("cannot read cube");
  }
  int clicks = 0;
};

TEST_F(QtAppTest, AnErrorInAButtonsClickShowsTheErrorBoxAndTheLoopGoesOn) {
  Application().SetTitle("corvida");
  Failing failing;
  auto* button = new TSpeedButton(form.get());
  button->SetParent(form.get());
  button->SetBounds(2, 2, 75, 37);
  button->SetCaption("Open");
  button->SetOnClick(TNotifyEvent::Of<&Failing::Click>(&failing));
  form->Show();
  Pump();
  auto* native = backend->FormWidget(form->Window())->findChild<QPushButton*>();
  ASSERT_NE(native, nullptr);
  EXPECT_EQ(native->text(), "Open");
  EXPECT_EQ(native->focusPolicy(), Qt::NoFocus);

  // A driver on Qt's loop: click, answer each error box, click again, then
  // close the window by its close box. Application().Run() is the real loop.
  QStringList texts, titles;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QTimer driver;
  driver.setInterval(0);
  int step = 0;
  QObject::connect(&driver, &QTimer::timeout, [&] {
    if (QMessageBox* box = ShownMessageBox()) {
      texts << box->text();
      titles << box->windowTitle();
      icon = box->icon();
      box->button(QMessageBox::Ok)->click();
      return;
    }
    if (step == 0 || (step == 1 && texts.size() == 1)) {
      ++step;
      native->click();
    } else if (step == 2 && texts.size() == 2) {
      ++step;
      backend->FormWidget(form->Window())->close();
    }
  });
  QTimer guard;  // a safety net: a hang ends the loop instead of the run
  guard.setSingleShot(true);
  QObject::connect(&guard, &QTimer::timeout, [] { Application().Terminate(); });
  guard.start(10000);
  driver.start();
  Application().Run();
  driver.stop();
  ASSERT_TRUE(guard.isActive()) << "the loop did not end by itself";
  EXPECT_EQ(failing.clicks, 2);
  EXPECT_EQ(texts, (QStringList{"cannot read cube.", "cannot read cube."}));
  EXPECT_EQ(titles, (QStringList{"corvida", "corvida"}));
  EXPECT_EQ(icon, QMessageBox::Critical);
  EXPECT_TRUE(Application().Terminated());  // by the close box, through WM_CLOSE
}

TEST_F(QtAppTest, KanjiTextAndTheBoxFormatTravelBetweenTwoWindowsThroughTheDesktop) {
  TForm second(nullptr);
  auto* copier = AddRecorder(form.get(), Bounds(0, 0, 100, 100));
  auto* paster = AddRecorder(&second, Bounds(0, 0, 100, 100));
  const std::string text = "\x8a\xbf\x8e\x9a abc\r\nxyz\r\n";  // "漢字 abc", "xyz"
  UINT boxFormat = RegisterClipboardFormat("TEditor Box Type");

  ASSERT_TRUE(OpenClipboard(copier->Window()));
  EmptyClipboard();
  for (UINT format : {CF_TEXT, boxFormat}) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    std::memcpy(GlobalLock(block), text.c_str(), text.size() + 1);
    GlobalUnlock(block);
    SetClipboardData(format, block);
  }
  CloseClipboard();

  const QMimeData* desktop = QGuiApplication::clipboard()->mimeData();
  ASSERT_NE(desktop, nullptr);
  EXPECT_EQ(desktop->text(), QString::fromUtf8("漢字 abc\nxyz\n"));
  QString boxType = ClipboardMimeType("TEditor Box Type");
  ASSERT_TRUE(desktop->hasFormat(boxType));

  // What another program holding these bytes would put back.
  auto* foreign = new QMimeData;
  for (const QString& f : desktop->formats()) foreign->setData(f, desktop->data(f));
  QGuiApplication::clipboard()->setMimeData(foreign);

  ASSERT_TRUE(OpenClipboard(paster->Window()));
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
  EXPECT_TRUE(IsClipboardFormatAvailable(boxFormat));
  auto bytes = [](UINT format) {
    HGLOBAL block = GetClipboardData(format);
    std::string out(static_cast<const char*>(GlobalLock(block)), GlobalSize(block));
    GlobalUnlock(block);
    return out;
  };
  EXPECT_EQ(bytes(CF_TEXT), text + '\0');
  EXPECT_EQ(bytes(boxFormat), text + '\0');
  CloseClipboard();

  // Plain text from elsewhere carries no box marker; it is seen at once,
  // before anyone opens the clipboard, and its line ends become CR LF.
  QGuiApplication::clipboard()->setText(QString::fromUtf8("全角\nx\ry"));
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
  EXPECT_FALSE(IsClipboardFormatAvailable(boxFormat));
  EXPECT_EQ(GetClipboardText(), "\x91\x53\x8a\x70\r\nx\r\ny");
  ASSERT_TRUE(OpenClipboard(paster->Window()));
  EXPECT_FALSE(IsClipboardFormatAvailable(boxFormat));
  CloseClipboard();
}

std::string Hex(const std::string& bytes) {
  static const char* digits = "0123456789abcdef";
  std::string out;
  for (unsigned char c : bytes) {
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out;
}

// The other process of the test below: pastes what the desktop holds.
TEST_F(QtAppTest, ClipboardPastingProcess) {
  if (!std::getenv("CORVIDA_CLIPBOARD_CHILD")) GTEST_SKIP() << "run by the cross-process clipboard test";
  UINT boxFormat = RegisterClipboardFormat("TEditor Box Type");
  ASSERT_TRUE(OpenClipboard(nullptr));
  bool box = IsClipboardFormatAvailable(boxFormat);
  CloseClipboard();
  std::printf("PASTED %s %d\n", Hex(GetClipboardText()).c_str(), box ? 1 : 0);
}

TEST_F(QtAppTest, TheBoxFormatSurvivesIntoAnotherProcess) {
  if (QGuiApplication::platformName() != "xcb")
    GTEST_SKIP() << "needs a clipboard shared between processes: QT_QPA_PLATFORM=xcb under xvfb-run";
  const std::string text = "\x8a\xbf\x8e\x9a\r\nab\r\n";  // "漢字", "ab"
  UINT boxFormat = RegisterClipboardFormat("TEditor Box Type");
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  for (UINT format : {CF_TEXT, boxFormat}) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    std::memcpy(GlobalLock(block), text.c_str(), text.size() + 1);
    GlobalUnlock(block);
    SetClipboardData(format, block);
  }
  CloseClipboard();

  // The other process asks this one for the data, so this loop must run.
  QProcess child;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("CORVIDA_CLIPBOARD_CHILD", "1");
  child.setProcessEnvironment(env);
  QEventLoop loop;
  QObject::connect(&child, &QProcess::finished, &loop, &QEventLoop::quit);
  QTimer::singleShot(30000, &loop, &QEventLoop::quit);  // a safety net
  child.start(QCoreApplication::applicationFilePath(),
              {"--gtest_filter=QtAppTest.ClipboardPastingProcess", "--gtest_brief=1"});
  loop.exec();
  ASSERT_EQ(child.state(), QProcess::NotRunning);
  std::string out = child.readAllStandardOutput().toStdString();
  EXPECT_NE(out.find("PASTED " + Hex(text) + " 1"), std::string::npos) << out;
}

}  // namespace
}  // namespace corvida

#include "platform/backends/qt/qt_desktop.h"

#include <QApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QPixmap>
#include <QTimer>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "platform/backends/qt/qt_backend.h"
#include "platform/backends/qt/qt_widgets.h"
#include "platform/rtl/cp932.h"
#include "platform/rtl/scope_guard.h"

namespace corvida {
namespace {

bool EnvSet(const char* name) {
  const char* v = std::getenv(name);
  return v && *v;
}

// Writes what would go to the error box to standard error.
class TStderrErrors : public TObject {
 public:
  void Show(TObject*, const std::string& text) {
    std::fprintf(stderr, "corvida: %s\n", Cp932ToUtf8(WithFullStop(text)).c_str());
  }
};

// Without a platform named, a Wayland session gets a native window and
// anything else (or a compositor that refuses) falls back to X11.
void PreferWayland() {
  if (!EnvSet("QT_QPA_PLATFORM") && EnvSet("WAYLAND_DISPLAY")) setenv("QT_QPA_PLATFORM", "wayland;xcb", 1);
}

void Identify(const TDesktopIdentity& identity) {
  QGuiApplication::setDesktopFileName(QString::fromStdString(identity.desktopFileName));
  QIcon icon = QIcon::fromTheme(QString::fromStdString(identity.desktopFileName));
  if (icon.isNull()) {
    for (const std::string_view png : identity.iconPngs) {
      QPixmap pixmap;
      pixmap.loadFromData(reinterpret_cast<const uchar*>(png.data()), static_cast<uint>(png.size()), "PNG");
      icon.addPixmap(pixmap);
    }
  }
  QApplication::setWindowIcon(icon);
}

}  // namespace

bool CanShowWindow() {
  if (!EnvSet("QT_QPA_PLATFORM") && !EnvSet("DISPLAY") && !EnvSet("WAYLAND_DISPLAY")) return false;
  PreferWayland();
  std::fflush(nullptr);
  const pid_t child = ::fork();
  if (child < 0) return false;
  if (child == 0) {
    // Qt says itself why its plugin does not start; the answer is ours.
    const int null = ::open("/dev/null", O_WRONLY);
    if (null >= 0) ::dup2(null, STDERR_FILENO);
    int argc = 1;
    char name[] = "corvida";
    char* argv[] = {name, nullptr};
    QGuiApplication probe(argc, argv);
    ::_exit(0);
  }
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

int RunDesktop(int argc, char** argv, const TDesktopIdentity& identity, const std::function<TForm*()>& makeForm,
               const std::function<void(TForm*)>& prepare) {
  PreferWayland();
  QApplication app(argc, argv);
  Identify(identity);
  TQtBackend backend;
  Application().Initialize();
  std::unique_ptr<TForm> form;
  try {
    form.reset(makeForm());
  } catch (...) {
    Application().HandleException(nullptr);
    return 1;
  }
  Application().SetMainForm(form.get());
  Guarded([&] { form->Show(); });
  // What prepare shows (an error box, say) comes once the window is up.
  if (prepare) QTimer::singleShot(0, [&] { Guarded([&] { prepare(form.get()); }); });
  Application().Run();
  form.reset();
  return 0;
}

int RenderScreenshot(int argc, char** argv, const TDesktopIdentity& identity, const std::function<TForm*()>& makeForm,
                     const std::string& pngPath, const std::function<void(TForm*)>& prepare) {
  if (!EnvSet("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  Identify(identity);
  TQtBackend backend;
  Application().Initialize();
  TStderrErrors errors;
  Application().SetOnException(TExceptionEvent::Of<&TStderrErrors::Show>(&errors));
  ScopeGuard restore([] { Application().SetOnException({}); });
  std::unique_ptr<TForm> form;
  try {
    form.reset(makeForm());
  } catch (...) {
    Application().HandleException(nullptr);
    return 1;
  }
  Application().SetMainForm(form.get());
  Guarded([&] {
    form->Show();
    if (prepare) prepare(form.get());
  });
  Application().ProcessMessages();
  QCoreApplication::processEvents();
  TQtFormWidget* widget = backend.FormWidget(form->Window());
  if (!widget || !widget->grab().save(QString::fromStdString(pngPath), "PNG")) {
    std::fprintf(stderr, "corvida: cannot write the screenshot %s\n", pngPath.c_str());
    return 1;
  }
  return 0;
}

}  // namespace corvida

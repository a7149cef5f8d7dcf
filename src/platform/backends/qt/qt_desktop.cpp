#include "platform/backends/qt/qt_desktop.h"

#include <QApplication>
#include <QPixmap>

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

}  // namespace

bool CanShowWindow() { return EnvSet("QT_QPA_PLATFORM") || EnvSet("DISPLAY") || EnvSet("WAYLAND_DISPLAY"); }

int RunDesktop(int argc, char** argv, const std::function<TForm*()>& makeForm,
               const std::function<void(TForm*)>& prepare) {
  QApplication app(argc, argv);
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
  Guarded([&] {
    form->Show();
    if (prepare) prepare(form.get());
  });
  Application().Run();
  form.reset();
  return 0;
}

int RenderScreenshot(int argc, char** argv, const std::function<TForm*()>& makeForm, const std::string& pngPath,
                     const std::function<void(TForm*)>& prepare) {
  if (!EnvSet("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
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

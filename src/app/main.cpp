#include <iostream>
#include <string>
#include <vector>

#include "app/report_cli.h"

#ifdef CORVIDA_HAVE_QT
#include "platform/backends/qt/qt_desktop.h"
#include "platform/toolkit/demo_form.h"
#endif

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  // The report window is not built yet, so scripts that ask print reports
  // instead of opening a window.
  if (!args.empty() && args[0] == "--has-window") return 1;
#ifdef CORVIDA_HAVE_QT
  // Until then a window shows the demonstration form: the window system,
  // the toolkit and the stored layout, end to end.
  auto makeForm = [] { return static_cast<corvida::TForm*>(new corvida::TDemoForm(nullptr)); };
  if (args.size() == 2 && args[0] == "--screenshot") return corvida::RenderScreenshot(argc, argv, makeForm, args[1]);
  if (args.empty() && corvida::CanShowWindow()) return corvida::RunDesktop(argc, argv, makeForm);
#endif
  return corvida::RunCommandLine(args, std::cout, std::cerr);
}

#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "app/report_cli.h"
#include "app/settings_file.h"
#include "platform/rtl/files.h"

#ifdef CORVIDA_HAVE_QT
#include "app/main_form.h"
#include "platform/backends/qt/qt_desktop.h"
#endif

namespace {

#ifdef CORVIDA_HAVE_QT
// The files to report at start, as the open dialog would name them: full
// paths, the file system's bytes.
std::vector<std::string> StartFiles(std::vector<std::string>::const_iterator first,
                                    std::vector<std::string>::const_iterator last) {
  std::vector<std::string> paths;
  for (; first != last; ++first)
    paths.push_back(std::filesystem::path(corvida::ExpandFileName(*first)).lexically_normal().string());
  return paths;
}

corvida::TForm* MakeMainForm() { return new corvida::TForm1(nullptr); }
#endif

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
#ifdef CORVIDA_HAVE_QT
  if (!args.empty() && args[0] == "--has-window") return corvida::CanShowWindow() ? 0 : 1;
  if (args.size() >= 2 && args[0] == "--screenshot") {
    const std::vector<std::string> files = StartFiles(args.begin() + 2, args.end());
    return corvida::RenderScreenshot(argc, argv, &MakeMainForm, args[1], [&](corvida::TForm* form) {
      static_cast<corvida::TForm1*>(form)->OpenFiles(files);
    });
  }
  const bool windowCall = args.empty() || !args[0].starts_with("--");
  if (windowCall && corvida::CanShowWindow()) {
    const std::vector<std::string> files = StartFiles(args.begin(), args.end());
    corvida::UseToolkitErrorBoxes();
    return corvida::RunDesktop(argc, argv, &MakeMainForm, [&](corvida::TForm* form) {
      static_cast<corvida::TForm1*>(form)->OpenFiles(files);
    });
  }
  if (windowCall && !args.empty()) {
    std::cerr << "corvida: no display to show the window on; run it under xvfb-run, or print the report with "
                 "'corvida --report FILE...'\n";
    return 2;
  }
#else
  if (!args.empty() && args[0] == "--has-window") return 1;
#endif
  return corvida::RunCommandLine(args, std::cout, std::cerr, corvida::SettingsFileName(corvida::ExecutablePath()));
}

#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "app/report_cli.h"
#include "app/settings_file.h"
#include "platform/rtl/files.h"

#ifdef CORVIDA_HAVE_QT
#include "app/desktop_icons.h"
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

const corvida::TDesktopIdentity kIdentity{"corvida", {std::begin(corvida::kIconPngs), std::end(corvida::kIconPngs)}};
#endif

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
#ifdef CORVIDA_HAVE_QT
  if (!args.empty() && args[0] == "--has-window") return corvida::CanShowWindow() ? 0 : 1;
  if (args.size() >= 2 && args[0] == "--screenshot") {
    const std::vector<std::string> files = StartFiles(args.begin() + 2, args.end());
    bool reported = true;
    const int status =
        corvida::RenderScreenshot(argc, argv, kIdentity, &MakeMainForm, args[1], [&](corvida::TForm* form) {
          reported = static_cast<corvida::TForm1*>(form)->OpenFiles(files);
        });
    return status != 0 ? status : reported ? 0 : 1;
  }
  // Options start with '-'; "--" leaves the rest to be files.
  const bool windowCall = args.empty() || args[0] == "--" || args[0].empty() || args[0][0] != '-';
  const auto firstFile = args.begin() + (!args.empty() && args[0] == "--" ? 1 : 0);
  if (windowCall && corvida::CanShowWindow()) {
    const std::vector<std::string> files = StartFiles(firstFile, args.end());
    corvida::UseToolkitErrorBoxes();
    return corvida::RunDesktop(argc, argv, kIdentity, &MakeMainForm, [&](corvida::TForm* form) {
      static_cast<corvida::TForm1*>(form)->OpenFiles(files);
    });
  }
  if (windowCall && !args.empty()) {
    std::cerr << "corvida: no display to show the window on; print the report with 'corvida --report FILE...', "
                 "or see the window with 'corvida --screenshot OUT.png FILE...'\n";
    return 2;
  }
#else
  if (!args.empty() && args[0] == "--has-window") return 1;
#endif
  return corvida::RunCommandLine(args, std::cout, std::cerr, corvida::SettingsFileName(corvida::ExecutablePath()));
}

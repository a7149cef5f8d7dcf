#pragma once
// Starting the desktop: the Qt application, the backend and the main form.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/toolkit/forms.h"

namespace corvida {

// What the desktop knows the program by: the name of its desktop entry
// (the Wayland application id too) and its icon in several sizes, each the
// bytes of a PNG file.
struct TDesktopIdentity {
  std::string desktopFileName;
  std::vector<std::string_view> iconPngs;
};

// Whether a window can be shown: a Qt platform is named (QT_QPA_PLATFORM)
// or a display is there (DISPLAY, WAYLAND_DISPLAY), and Qt's platform
// plugin really starts on it (tried in a child process, since a plugin
// that fails ends the process).
bool CanShowWindow();

// Makes the Qt application and the backend, makes the main form with
// makeForm, shows it and runs the application's loop until it ends,
// running prepare (when given) on the form once the loop has begun; the
// form is destroyed afterwards. Without QT_QPA_PLATFORM, Wayland is tried
// before X11. Answers the process exit code.
int RunDesktop(int argc, char** argv, const TDesktopIdentity& identity, const std::function<TForm*()>& makeForm,
               const std::function<void(TForm*)>& prepare = {});

// Renders the main form to a PNG file without a display (the offscreen
// platform unless QT_QPA_PLATFORM names another). prepare, when given, runs
// once the form is shown (to open files, say). Errors go to standard
// error, as nobody could answer an error box. Answers 0, or 1 with a message on standard error when the form
// cannot be made or the file cannot be written.
int RenderScreenshot(int argc, char** argv, const TDesktopIdentity& identity, const std::function<TForm*()>& makeForm,
                     const std::string& pngPath, const std::function<void(TForm*)>& prepare = {});

}  // namespace corvida

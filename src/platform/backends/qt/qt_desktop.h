#pragma once
// Starting the desktop: the Qt application, the backend and the main form.
#include <functional>
#include <string>

#include "platform/toolkit/forms.h"

namespace corvida {

// Whether a window can be shown: a Qt platform is named (QT_QPA_PLATFORM)
// or a display is there (DISPLAY, WAYLAND_DISPLAY).
bool CanShowWindow();

// Makes the Qt application and the backend, makes the main form with
// makeForm, shows it, runs prepare (when given) on it and runs the
// application's loop until it ends; the form is destroyed afterwards.
// Answers the process exit code.
int RunDesktop(int argc, char** argv, const std::function<TForm*()>& makeForm,
               const std::function<void(TForm*)>& prepare = {});

// Renders the main form to a PNG file without a display (the offscreen
// platform unless QT_QPA_PLATFORM names another). prepare, when given, runs
// once the form is shown (to open files, say). Errors go to standard
// error, as nobody could answer an error box. Answers 0, or 1 with a message on standard error when the form
// cannot be made or the file cannot be written.
int RenderScreenshot(int argc, char** argv, const std::function<TForm*()>& makeForm, const std::string& pngPath,
                     const std::function<void(TForm*)>& prepare = {});

}  // namespace corvida

#pragma once
// The open-file dialog and the message dialogs. Both run modally through
// the window system's backend: the desktop shows native dialogs, the
// headless backend answers from a script.
#include <string>

#include "platform/rtl/component.h"
#include "platform/rtl/typeinfo.h"

namespace corvida {

class TOpenDialog : public TComponent {
 public:
  CORVIDA_CLASS_NAME(TOpenDialog)
  explicit TOpenDialog(TComponent* owner);

  // "Description|*.ext|..." pairs, e.g. "mqo|*.mqo".
  const std::string& Filter() const { return filter_; }
  void SetFilter(const std::string& v) { filter_ = v; }
  int FilterIndex() const { return filterIndex_; }
  void SetFilterIndex(int v) { filterIndex_ = v; }
  const std::string& InitialDir() const { return initialDir_; }
  void SetInitialDir(const std::string& v) { initialDir_ = v; }
  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& v) { title_ = v; }
  // The chosen file's full path, as the file system spells it, like
  // InitialDir; the name to propose before Execute.
  const std::string& FileName() const { return fileName_; }
  void SetFileName(const std::string& v) { fileName_ = v; }

  // Runs the dialog; true when the user confirmed a name, which need not
  // name an existing file.
  bool Execute();

  static const TClassInfo* StaticInfo();
  const TClassInfo* ClassInfo() const override { return StaticInfo(); }

 private:
  std::string filter_;
  int filterIndex_ = 1;
  std::string initialDir_;
  std::string title_;
  std::string fileName_;
};

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
using TMsgDlgButtons = uint32_t;
inline constexpr TMsgDlgButtons mbYes = 1u << 0;
inline constexpr TMsgDlgButtons mbNo = 1u << 1;
inline constexpr TMsgDlgButtons mbOK = 1u << 2;
inline constexpr TMsgDlgButtons mbCancel = 1u << 3;

inline constexpr int mrNone = 0;
inline constexpr int mrOk = 1;
inline constexpr int mrCancel = 2;
inline constexpr int mrYes = 6;
inline constexpr int mrNo = 7;

// A modal message dialog captioned by its type (the application's title
// for mtCustom); answers the button pressed as mrOk, mrYes, ...
int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons);
// A message with an OK button, captioned with the application's title.
void ShowMessage(const std::string& text);

}  // namespace corvida

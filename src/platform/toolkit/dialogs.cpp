#include "platform/toolkit/dialogs.h"

#include "platform/toolkit/forms.h"
#include "platform/toolkit/toolkit_messages.h"
#include "platform/winsys/window_system.h"

namespace corvida {
namespace {

TWindow* DialogOwner() {
  TForm* main = Application().MainForm();
  return main ? main->Window() : nullptr;
}

}  // namespace

TOpenDialog::TOpenDialog(TComponent* owner) : TComponent(owner) {}

bool TOpenDialog::Execute() {
  TOpenDialogRequest request;
  request.title = title_;
  request.initialDir = initialDir_;
  request.filter = filter_;
  request.filterIndex = filterIndex_;
  request.fileName = fileName_;
  TBackend* backend = WindowSystem().Backend();
  if (!backend || !backend->RunOpenDialog(DialogOwner(), request)) return false;
  fileName_ = request.fileName;
  filterIndex_ = request.filterIndex;
  return true;
}

const TClassInfo* TOpenDialog::StaticInfo() {
  static const TClassInfo info{"TOpenDialog", nullptr, {
      StrProp<TOpenDialog, &TOpenDialog::FileName, &TOpenDialog::SetFileName>("FileName"),
      StrProp<TOpenDialog, &TOpenDialog::Filter, &TOpenDialog::SetFilter>("Filter"),
      IntProp<TOpenDialog, &TOpenDialog::FilterIndex, &TOpenDialog::SetFilterIndex>("FilterIndex"),
      StrProp<TOpenDialog, &TOpenDialog::InitialDir, &TOpenDialog::SetInitialDir>("InitialDir"),
      StrProp<TOpenDialog, &TOpenDialog::Title, &TOpenDialog::SetTitle>("Title"),
  }, [](TComponent* owner) -> TComponent* { return new TOpenDialog(owner); }};
  return &info;
}

int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons) {
  std::string caption;
  UINT flags = 0;
  switch (type) {
    case mtWarning: caption = msg::kWarningCaption; flags = MB_ICONEXCLAMATION; break;
    case mtError: caption = msg::kErrorCaption; flags = MB_ICONSTOP; break;
    case mtInformation: caption = msg::kInformationCaption; flags = MB_ICONASTERISK; break;
    case mtConfirmation: caption = msg::kConfirmCaption; flags = MB_ICONQUESTION; break;
    case mtCustom: caption = Application().Title(); break;
  }
  bool yes = buttons & (mbYes | mbNo);
  bool cancel = buttons & mbCancel;
  if (yes)
    flags |= cancel ? MB_YESNOCANCEL : MB_YESNO;
  else if (cancel)
    flags |= MB_OKCANCEL;
  switch (MessageBox(DialogOwner(), text, caption, flags)) {
    case IDOK: return mrOk;
    case IDCANCEL: return mrCancel;
    case IDYES: return mrYes;
    case IDNO: return mrNo;
    default: return mrNone;
  }
}

void ShowMessage(const std::string& text) { MessageBox(DialogOwner(), text, Application().Title(), MB_OK); }

}  // namespace corvida

#pragma once
// TForm1, the tool's one window: a button bar (Open, Clear, Close, the sort
// choice, "Details" and "Watch"), the editor that shows the reports, the
// open dialog and the setting store that carries the last folder, the sort
// mode, "Details", "Watch" and the window's place and size from one run to
// the next. The window is made from its embedded stored layout.
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/report_watch.h"
#include "app/settings_file.h"
#include "editor/control/editor.h"
#include "mqo/budget.h"
#include "platform/rtl/typeinfo.h"
#include "platform/toolkit/dialogs.h"
#include "platform/toolkit/forms.h"
#include "platform/toolkit/std_controls.h"
#include "settings/reg_manager.h"

namespace corvida {

// Points the setting store's error boxes at the toolkit's modal message
// dialog of the error kind.
void UseToolkitErrorBoxes();

class TForm1 : public TForm {
 public:
  CORVIDA_CLASS_NAME(TForm1)
  explicit TForm1(TComponent* owner);

  TPanel* Panel1 = nullptr;
  TSpeedButton* SpeedButton1 = nullptr;
  TSpeedButton* SpeedButton2 = nullptr;
  TSpeedButton* SpeedButton3 = nullptr;
  TRadioGroup* RadioGroup1 = nullptr;
  TCheckBox* CheckBox1 = nullptr;
  TCheckBox* CheckBox2 = nullptr;
  TEditor* Editor1 = nullptr;
  TOpenDialog* OpenDialog1 = nullptr;
  TRegManager* Reg1 = nullptr;

  // The path of the file last chosen, as the file system spells it (the
  // bytes that open() takes); empty before.
  const std::string& FileName() const { return fileName_; }
  // The low 8 bits of the sort choice's item index.
  int SortMode() const { return RadioGroup1->ItemIndex() & 0xFF; }
  // Sets the item index to v AND 0x7F, which the radio group limits to its
  // last item.
  void SetSortMode(int v) { RadioGroup1->SetItemIndex(v & 0x7F); }

  // Whether reports carry the statistics ("Details").
  bool Details() const { return CheckBox1->Checked(); }
  // Whether the files reported in this run are followed and reported again
  // when saved, with their changes ("Watch").
  bool Watching() const { return CheckBox2->Checked(); }
  // The budget the settings file names for the statistics ([Budget]
  // Budget=NAME), looked up among the profiles; none when it names none.
  // Raises EConvertError for an unknown or broken profile.
  std::optional<TBudget> Budget() const;

  // Appends the report of FileName to the editor: the seed's lines, or the
  // statistics with "Details" on. The model is read while the window goes
  // on answering; Escape or closing the window stops the reading, leaving
  // the header as an error would, and raises EAbort. A report asked for
  // meanwhile waits for this one.
  void MakeReport();
  // Files asked for while a report was read, in order.
  const std::vector<std::string>& WaitingFiles() const { return waitingFiles_; }
  void LoadSettings();
  void SaveSettings();
  // Reports each file (the file system's paths) in order, as given on the
  // command line or dropped; a file that cannot be reported, or whose
  // report fails, is shown in the error box and the next is still reported.
  // Answers whether every file was reported.
  bool OpenFiles(const std::vector<std::string>& paths);

  void FormShow(TObject* sender);
  void FormClose(TObject* sender, TCloseAction& action);
  void SpeedButton1Click(TObject* sender);
  void SpeedButton2Click(TObject* sender);
  void SpeedButton3Click(TObject* sender);
  void CheckBox2Click(TObject* sender);
  void Editor1MouseWheelDown(TObject* sender, TShiftState shift, TPoint pos, bool& handled);
  void Editor1MouseWheelUp(TObject* sender, TShiftState shift, TPoint pos, bool& handled);

  // Ctrl+O opens, Ctrl+Shift+Delete clears, Ctrl+Q and Ctrl+W close,
  // Alt+N, Alt+A and Alt+D choose the sort order, wherever the focus is.
  bool IsShortCut(uint16_t key, TShiftState shift) override;
  void WndProc(TMessage& message) override;

  // The embedded layout, and the classes it may name.
  static std::string_view Layout();
  static const TClassRegistry& Classes();
  static const TClassInfo* StaticInfo();
  const TClassInfo* ClassInfo() const override { return StaticInfo(); }

 private:
  // The pane's height in the smallest window: a few rows.
  static constexpr int kMinPaneHeight = 80;

  void FocusEditor() { Editor1->SetFocus(); }
  // No larger than the screen and wholly on it, unless the smallest size is
  // larger.
  void KeepOnScreen();
  // Makes path the file name and reports it. A path that cannot be
  // reported raises the open error with the reason, except one that does
  // not exist when silentIfMissing (a name typed in the open dialog).
  void ReportFile(const std::string& path, bool silentIfMissing);
  // The window's title names the file last reported.
  void ShowFileInTitle();
  // Reports again the watched files that settled after a save.
  void FileNotices();

  std::string fileName_;
  // The budget named in the settings file when the window was shown.
  std::string budgetName_;
  // A close whose settings could not be written left the window open; the
  // next close ends the program without trying again.
  bool saveFailed_ = false;
  bool reportRunning_ = false;
  std::vector<std::string> waitingFiles_;
  std::unique_ptr<TReportWatch> watch_;
};

}  // namespace corvida

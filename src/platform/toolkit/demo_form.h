#pragma once
// The demonstration form: the main window's layout (button bar with Open,
// Clear and Close, the sort choice, the text pane) read through the
// published-property tables from an embedded layout text, with a
// custom-painted stand-in where the editor will go. It exercises the whole
// path from stored layout to desktop before the editor exists.
#include <string>
#include <vector>

#include "platform/rtl/typeinfo.h"
#include "platform/toolkit/controls.h"
#include "platform/toolkit/dialogs.h"
#include "platform/toolkit/forms.h"
#include "platform/toolkit/std_controls.h"

namespace corvida {

// The stand-in pane: a ruler, a numbered left bar and lines of text, a
// caret row the wheel moves, and typed characters (double-byte ones whole)
// appended to the last line.
class TEditorPlaceholder : public TCustomControl {
 public:
  CORVIDA_CLASS_NAME(TEditorPlaceholder)
  explicit TEditorPlaceholder(TComponent* owner);

  std::vector<std::string>& Lines() { return lines_; }
  void Changed() { Invalidate(); }
  int Row() const { return row_; }
  // Limited to the lines there are.
  void SetRow(int row);

  void WndProc(TMessage& message) override;
  static const TClassInfo* StaticInfo();
  const TClassInfo* ClassInfo() const override { return StaticInfo(); }

 protected:
  void Paint() override;

 private:
  int RowHeight();
  void PlaceCaret();
  std::vector<std::string> lines_;
  int row_ = 0;
};

class TDemoForm : public TForm {
 public:
  CORVIDA_CLASS_NAME(TDemoForm)
  explicit TDemoForm(TComponent* owner);

  TPanel* Panel1 = nullptr;
  TSpeedButton* SpeedButton1 = nullptr;
  TSpeedButton* SpeedButton2 = nullptr;
  TSpeedButton* SpeedButton3 = nullptr;
  TRadioGroup* RadioGroup1 = nullptr;
  TEditorPlaceholder* Editor1 = nullptr;
  TOpenDialog* OpenDialog1 = nullptr;

  void SpeedButton1Click(TObject* sender);
  void SpeedButton2Click(TObject* sender);
  void SpeedButton3Click(TObject* sender);
  void Editor1MouseWheelDown(TObject* sender, TShiftState shift, TPoint pos, bool& handled);
  void Editor1MouseWheelUp(TObject* sender, TShiftState shift, TPoint pos, bool& handled);

  // The embedded layout, and the classes it may name.
  static const char* Layout();
  static const TClassRegistry& Classes();
  static const TClassInfo* StaticInfo();
  const TClassInfo* ClassInfo() const override { return StaticInfo(); }
};

}  // namespace corvida

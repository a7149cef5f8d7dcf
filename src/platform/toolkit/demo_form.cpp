#include "platform/toolkit/demo_form.h"

#include <algorithm>

#include "platform/rtl/component_text.h"
#include "platform/rtl/cp932.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/format.h"
#include "platform/winsys/caret.h"
#include "platform/winsys/window_system.h"

namespace corvida {
namespace {

constexpr int kRulerHeight = 10;
constexpr int kLeftBarWidth = 40;
constexpr int kTextLeft = kLeftBarWidth + 4;

template <class T>
T* FindNamed(TComponent* root, std::string_view name) {
  if (auto* hit = dynamic_cast<T*>(root->FindComponent(name))) return hit;
  for (int i = 0; i < root->ComponentCount(); ++i)
    if (T* hit = FindNamed<T>(root->Components(i), name)) return hit;
  return nullptr;
}

template <class T>
T* Require(TComponent* root, std::string_view name) {
  T* hit = FindNamed<T>(root, name);
  if (!hit) throw EComponentError(Format("the layout has no %s", {name}));
  return hit;
}

}  // namespace

TEditorPlaceholder::TEditorPlaceholder(TComponent* owner) : TCustomControl(owner) {
  SetColor(clWindow);
  SetCursor(crIBeam);
  // "// ここにエディタが入ります"
  lines_ = {"// \x82\xb1\x82\xb1\x82\xc9\x83\x47\x83\x66\x83\x42\x83\x5e\x82\xaa\x93\xfc\x82\xe8\x82\xdc\x82\xb7",
            "total 0"};
}

void TEditorPlaceholder::SetRow(int row) {
  row = std::clamp(row, 0, std::max(0, static_cast<int>(lines_.size()) - 1));
  if (row == row_) return;
  row_ = row;
  PlaceCaret();
}

int TEditorPlaceholder::RowHeight() { return FontHandle(*Font())->Metrics().tmHeight + 1; }

void TEditorPlaceholder::PlaceCaret() {
  if (!Focused()) return;
  const std::string& line = lines_.empty() ? std::string() : lines_[static_cast<size_t>(row_)];
  SetCaretPos(kTextLeft + FontHandle(*Font())->TextWidth(line), kRulerHeight + 2 + row_ * RowHeight());
}

void TEditorPlaceholder::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_SETFOCUS:
      TCustomControl::WndProc(m);
      CreateCaret(Window(), 0, 2, RowHeight() - 1);
      PlaceCaret();
      ShowCaret(Window());
      return;
    case WM_KILLFOCUS:
      TCustomControl::WndProc(m);
      DestroyCaret();
      return;
    case WM_CHAR: {
      if (!DoKeyPress(m)) return;
      auto c = static_cast<unsigned char>(m.WParam);
      std::string typed(1, static_cast<char>(c));
      if (IsLeadByte(c)) {
        TMsg trail;
        if (!PeekMessage(trail, Window(), WM_CHAR, WM_CHAR, PM_NOREMOVE) || trail.wParam < 0x40) return;
        PeekMessage(trail, Window(), WM_CHAR, WM_CHAR, PM_REMOVE);
        typed += static_cast<char>(trail.wParam);
      } else if (c < 0x20) {
        if (c != '\r') return;
        lines_.emplace_back();
        row_ = static_cast<int>(lines_.size()) - 1;
        Invalidate();
        PlaceCaret();
        return;
      }
      if (lines_.empty()) lines_.emplace_back();
      lines_.back() += typed;
      row_ = static_cast<int>(lines_.size()) - 1;
      Invalidate();
      PlaceCaret();
      return;
    }
    default:
      TCustomControl::WndProc(m);
  }
}

void TEditorPlaceholder::Paint() {
  TCanvas* c = Canvas();
  c->Font()->Assign(Font());
  TRect client = ClientRect();
  TDeviceContext& dc = c->Handle();
  dc.FillRect(client, clWindow);
  dc.FillRect({0, 0, client.right, kRulerHeight}, clSilver);
  dc.FillRect({0, kRulerHeight - 1, client.right, kRulerHeight}, clGray);
  int pitch = std::max(1, FontHandle(*Font())->Metrics().tmAveCharWidth);
  for (int col = 0, x = kTextLeft; x < client.right; ++col, x += pitch)
    dc.FillRect({x, col % 10 == 0 ? 2 : col % 5 == 0 ? 5 : 7, x + 1, kRulerHeight - 1}, clBlack);
  dc.FillRect({0, kRulerHeight, kLeftBarWidth, client.bottom}, clSilver);
  dc.FillRect({kLeftBarWidth - 1, kRulerHeight, kLeftBarWidth, client.bottom}, clGray);
  dc.SetBkMode(TRANSPARENT);
  int h = RowHeight();
  for (size_t i = 0; i < lines_.size(); ++i) {
    int y = kRulerHeight + 2 + static_cast<int>(i) * h;
    if (y > client.bottom) break;
    std::string number = Format("%4d", {static_cast<int>(i) + 1});
    dc.SetTextColor(clBlack);
    dc.TextOut(4, y, number);
    const std::string& line = lines_[i];
    bool comment = line.rfind("//", 0) == 0;
    dc.SetTextColor(comment ? clBlack : clBlue);
    dc.TextOut(kTextLeft, y, line);
  }
}

const TClassInfo* TEditorPlaceholder::StaticInfo() {
  static const TClassInfo info{"TEditorPlaceholder", TCustomControl::StaticInfo(), {},
                               [](TComponent* owner) -> TComponent* { return new TEditorPlaceholder(owner); }};
  return &info;
}

const char* TDemoForm::Layout() {
  return "object Form1: TDemoForm\r\n"
         "  Left = 192\r\n"
         "  Top = 107\r\n"
         "  Width = 664\r\n"
         "  Height = 516\r\n"
         "  Caption = 'Metasequoia .mqo corvida'\r\n"
         "  Color = -2147483633\r\n"
         "  Font.Charset = 128\r\n"
         "  Font.Color = -2147483640\r\n"
         "  Font.Height = -12\r\n"
         // 'ＭＳ Ｐゴシック'
         "  Font.Name = '\x82\x6c\x82\x72 \x82\x6f\x83\x53\x83\x56\x83\x62\x83\x4e'\r\n"
         "  object Panel1: TPanel\r\n"
         "    Left = 0\r\n"
         "    Top = 0\r\n"
         "    Width = 656\r\n"
         "    Height = 41\r\n"
         "    Align = alTop\r\n"
         "    BevelInner = bvLowered\r\n"
         "    TabOrder = 0\r\n"
         "    object SpeedButton1: TSpeedButton\r\n"
         "      Left = 2\r\n      Top = 2\r\n      Width = 75\r\n      Height = 37\r\n"
         "      Caption = 'Open'\r\n"
         "    end\r\n"
         "    object SpeedButton2: TSpeedButton\r\n"
         "      Left = 77\r\n      Top = 2\r\n      Width = 75\r\n      Height = 37\r\n"
         "      Caption = 'Clear'\r\n"
         "    end\r\n"
         "    object SpeedButton3: TSpeedButton\r\n"
         "      Left = 152\r\n      Top = 2\r\n      Width = 75\r\n      Height = 37\r\n"
         "      Caption = 'Close'\r\n"
         "    end\r\n"
         "    object RadioGroup1: TRadioGroup\r\n"
         "      Left = 255\r\n      Top = 3\r\n      Width = 271\r\n      Height = 32\r\n"
         "      Caption = ' Sort '\r\n"
         "      Columns = 3\r\n"
         "      ItemIndex = 0\r\n"
         "      Items.Strings = (\r\n"
         "        'None'\r\n"
         "        'Ascending'\r\n"
         "        'Descending')\r\n"
         "      TabOrder = 0\r\n"
         "    end\r\n"
         "  end\r\n"
         "  object Editor1: TEditorPlaceholder\r\n"
         "    Left = 0\r\n    Top = 41\r\n    Width = 656\r\n    Height = 448\r\n"
         "    Align = alClient\r\n"
         "    BorderStyle = bsSingle\r\n"
         "    ScrollBars = ssVertical\r\n"
         "    Cursor = -4\r\n"
         "    Font.Charset = 128\r\n"
         "    Font.Color = 0\r\n"
         "    Font.Height = -11\r\n"
         "    Font.Name = 'FixedSys'\r\n"
         "    TabOrder = 1\r\n"
         "  end\r\n"
         "  object OpenDialog1: TOpenDialog\r\n"
         "    Filter = 'mqo|*.mqo'\r\n"
         "  end\r\n"
         "end\r\n";
}

const TClassRegistry& TDemoForm::Classes() {
  static const TClassRegistry registry = [] {
    TClassRegistry r;
    for (const TClassInfo* info : {TPanel::StaticInfo(), TSpeedButton::StaticInfo(), TRadioGroup::StaticInfo(),
                                   TOpenDialog::StaticInfo(), TEditorPlaceholder::StaticInfo()})
      r.Register(info);
    return r;
  }();
  return registry;
}

const TClassInfo* TDemoForm::StaticInfo() {
  static const TClassInfo info{"TDemoForm", TForm::StaticInfo(), {}};
  return &info;
}

TDemoForm::TDemoForm(TComponent* owner) : TForm(owner) {
  ReadComponentText(Layout(), *this, Classes());
  Panel1 = Require<TPanel>(this, "Panel1");
  SpeedButton1 = Require<TSpeedButton>(this, "SpeedButton1");
  SpeedButton2 = Require<TSpeedButton>(this, "SpeedButton2");
  SpeedButton3 = Require<TSpeedButton>(this, "SpeedButton3");
  RadioGroup1 = Require<TRadioGroup>(this, "RadioGroup1");
  Editor1 = Require<TEditorPlaceholder>(this, "Editor1");
  OpenDialog1 = Require<TOpenDialog>(this, "OpenDialog1");
  SpeedButton1->SetOnClick(TNotifyEvent::Of<&TDemoForm::SpeedButton1Click>(this));
  SpeedButton2->SetOnClick(TNotifyEvent::Of<&TDemoForm::SpeedButton2Click>(this));
  SpeedButton3->SetOnClick(TNotifyEvent::Of<&TDemoForm::SpeedButton3Click>(this));
  Editor1->SetOnMouseWheelDown(TMouseWheelUpDownEvent::Of<&TDemoForm::Editor1MouseWheelDown>(this));
  Editor1->SetOnMouseWheelUp(TMouseWheelUpDownEvent::Of<&TDemoForm::Editor1MouseWheelUp>(this));
}

void TDemoForm::SpeedButton1Click(TObject*) {
  if (!OpenDialog1->Execute()) return;
  Editor1->Lines().push_back(OpenDialog1->FileName());
  Editor1->Changed();
}

void TDemoForm::SpeedButton2Click(TObject*) {
  Editor1->Lines().clear();
  Editor1->SetRow(0);
  Editor1->Changed();
}

void TDemoForm::SpeedButton3Click(TObject*) { Close(); }

void TDemoForm::Editor1MouseWheelDown(TObject*, TShiftState, TPoint, bool&) { Editor1->SetRow(Editor1->Row() + 2); }

void TDemoForm::Editor1MouseWheelUp(TObject*, TShiftState, TPoint, bool&) { Editor1->SetRow(Editor1->Row() - 2); }

}  // namespace corvida

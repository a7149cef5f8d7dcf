#include "editor/control/editor_settings_change.h"

#include <algorithm>
#include <cstdint>

namespace corvida {

namespace {

int DecimalDigits(int64_t n) {
  int digits = 1;
  for (; n >= 10; n /= 10) ++digits;
  return digits;
}

}  // namespace

void EditorSettingsChanged(TObject* sender, const TEditorSettingsSet& settings, TEditorSettingsHost& host) {
  if (sender == settings.marks) {
    settings.margin->SetUnderlinePixel(settings.marks->Underline()->Visible());
  } else if (sender == settings.view || dynamic_cast<TFountain*>(sender) != nullptr) {
    host.InitScan();
  }
  if (!host.HandleAllocated()) return;
  host.UpdateMetrics();
  host.InitScroll();
  if (sender == settings.leftbar) {
    host.BuildLeftbarEdge();
    host.BuildMarginBitmap();
  } else if (sender == settings.margin || sender == settings.ruler) {
    host.RebuildRuler();
    host.BuildMarginBitmap();
  } else if (sender == settings.imagebar) {
    host.BuildMarginBitmap();
  }
  host.InvalidateAll();
  if (sender == settings.caret) {
    host.ClearUndo();
    host.UpdateCaret();
    return;
  }
  host.ScrollCaret();
  host.PlaceCaret();
}

int LeftbarDigits(const TEditorLeftbar& leftbar, bool hasWindow, const TLeftbarText& text) {
  if (!hasWindow || !leftbar.Visible() || !leftbar.ShowNumber()) return leftbar.Column();
  int64_t n = leftbar.ShowNumberMode() == nmLine ? text.lastLine : int64_t{text.rowCount} - 1;
  if (!leftbar.ZeroBase()) ++n;
  if (text.lastRowAttribute != raEof) ++n;
  n = std::max<int64_t>(n, 0);
  return std::min(TEditorLeftbar::kMaxColumn, std::max(leftbar.Column(), DecimalDigits(n)));
}

int RulerHeight(const TEditorRuler& ruler) { return ruler.Edge() ? 11 : 10; }

int ImagebarWidth(const TEditorImagebar& imagebar) {
  if (!imagebar.Visible()) return 0;
  return imagebar.LeftMargin() + imagebar.DigitWidth() + imagebar.MarkWidth() + imagebar.RightMargin();
}

int LeftbarWidth(const TEditorLeftbar& leftbar, int digits, int colWidth) {
  if (!leftbar.Visible()) return 0;
  return leftbar.LeftMargin() + digits * colWidth + leftbar.RightMargin() + 2;
}

bool ItalicMode(TFontStyles fontStyle, TFountain& activeFountain) {
  return (fontStyle & fsItalic) != 0 || activeFountain.HasItalic(&activeFountain);
}

bool TEditorBarSizes::Update(const TEditorSettingsSet& settings, bool hasWindow, const TLeftbarText& text,
                             int colWidth) {
  const bool digitsChanged = UpdateLeftbarDigits(*settings.leftbar, hasWindow, text);
  UpdateRulerHeight(*settings.ruler);
  UpdateImagebarWidth(*settings.imagebar);
  UpdateLeftbarWidth(*settings.leftbar, colWidth);
  return digitsChanged;
}

bool TEditorBarSizes::UpdateLeftbarDigits(const TEditorLeftbar& leftbar, bool hasWindow, const TLeftbarText& text) {
  const int oldDigits = leftbarDigits_;
  if (leftbar.Visible()) leftbarDigits_ = corvida::LeftbarDigits(leftbar, hasWindow, text);
  return leftbarDigits_ != oldDigits;
}

void TEditorBarSizes::UpdateRulerHeight(const TEditorRuler& ruler) {
  if (ruler.Visible()) rulerHeight_ = corvida::RulerHeight(ruler);
}

void TEditorBarSizes::UpdateImagebarWidth(const TEditorImagebar& imagebar) {
  imagebarWidth_ = corvida::ImagebarWidth(imagebar);
}

void TEditorBarSizes::UpdateLeftbarWidth(const TEditorLeftbar& leftbar, int colWidth) {
  leftbarWidth_ = corvida::LeftbarWidth(leftbar, leftbarDigits_, colWidth);
}

}  // namespace corvida

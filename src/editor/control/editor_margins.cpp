// TEditor's margin operations: the overridable steps of building and
// painting the bars, each gathering the editor's state and handing over to
// the margin view, which owns the bitmaps.
#include "editor/control/editor.h"

namespace corvida {

TMarginInputs TEditor::MarginInputs() const {
  TMarginInputs in;
  in.color = Color();
  in.fontColor = Font()->Color();
  in.sizes = barSizes_;
  in.colWidth = colWidth_;
  in.rowHeight = rowHeight_;
  in.fontHeight = fontHeight_;
  in.textLeft = TextLeft();
  in.textTop = TextTop();
  in.width = Width();
  in.height = Height();
  in.topRow = topRow_;
  in.topCol = topCol_;
  in.visibleRows = visibleRows_;
  in.visibleCols = visibleCols_;
  return in;
}

TMarginCanvas TEditor::MarginCanvas() {
  return {*Canvas(), *Font(), advances_, *store_, imageDigits_, imageMarks_};
}

// ---- Sizes ----

bool TEditor::UpdateLeftbarDigits() {
  return barSizes_.UpdateLeftbarDigits(*leftbar_, HandleAllocated(), LeftbarText());
}

void TEditor::UpdateRulerHeight() { barSizes_.UpdateRulerHeight(*ruler_); }
void TEditor::UpdateImagebarWidth() { barSizes_.UpdateImagebarWidth(*imagebar_); }
void TEditor::UpdateLeftbarWidth() { barSizes_.UpdateLeftbarWidth(*leftbar_, colWidth_); }

// ---- Building the bitmaps ----

std::unique_ptr<TEditorMarginView> TEditor::CreateBitmaps() {
  return std::make_unique<TEditorMarginView>(*leftbar_, *ruler_, *imagebar_);
}

void TEditor::FreeBitmaps() { marginView_.reset(); }
void TEditor::BuildDigitGlyphs() { marginView_->BuildDigitGlyphs(); }
void TEditor::BuildRulerEdge() { marginView_->BuildRulerEdge(); }
void TEditor::BuildLeftbarEdge() { marginView_->BuildLeftbarEdge(MarginInputs()); }

void TEditor::BuildMarginBitmap() {
  if (HandleAllocated()) marginView_->BuildMarginBitmap(MarginInputs());
}

int TEditor::RulerImageWidth() const { return marginView_->RulerImageWidth(colWidth_); }
void TEditor::SizeRulerImages() { marginView_->SizeRulerImages(MarginInputs()); }

void TEditor::RebuildRuler() {
  if (!HandleAllocated()) return;
  BuildDigitStrips();
  BuildGauge();
  SizeRulerImages();
}

void TEditor::BuildDigitStrips() { marginView_->BuildDigitStrips(MarginInputs()); }

void TEditor::BuildGauge() {
  if (HandleAllocated()) marginView_->BuildGauge(MarginInputs());
}

void TEditor::BuildRulerImages() { marginView_->BuildRulerImages(MarginInputs()); }

// ---- Painting ----

void TEditor::PaintRuler() {
  if (Showing()) marginView_->PaintRuler(Canvas()->Handle(), MarginInputs(), col_);
}

void TEditor::DrawRulerMark(int col) {
  if (Showing()) marginView_->DrawRulerMark(Canvas()->Handle(), MarginInputs(), col);
}

void TEditor::EraseRulerMark(int col) {
  if (Showing()) marginView_->EraseRulerMark(Canvas()->Handle(), MarginInputs(), col);
}

void TEditor::MoveRulerMark() {
  const int marked = marginView_->RulerMarkCol();
  if (marked == col_ || !HandleAllocated() || !ruler_->Visible()) return;
  EraseRulerMark(marked);
  DrawRulerMark(col_);
}

void TEditor::PaintLeftbar(int first, int last) {
  if (!Showing()) return;
  const int firstLine = leftbar_->ShowNumberMode() == nmLine ? RowToLine(first) : 0;
  marginView_->PaintLeftbar(MarginCanvas(), MarginInputs(), first, last, firstLine);
}

void TEditor::PaintImagebar(int first, int last) {
  if (Showing()) marginView_->PaintImagebar(MarginCanvas(), MarginInputs(), first, last);
}

void TEditor::RepaintLeftbarRows(int a, int b) {
  if (HandleAllocated()) marginView_->RepaintLeftbarRows(*Window(), MarginInputs(), a, b);
}

void TEditor::LeftbarResized(int oldWidth, int newWidth) {
  if (Showing()) marginView_->LeftbarResized(*Window(), MarginInputs(), oldWidth, newWidth);
}

}  // namespace corvida

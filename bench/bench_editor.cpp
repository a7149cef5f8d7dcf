#include "bench_editor.h"

#include <algorithm>

#include "bench_text.h"
#include "platform/winsys/window_system.h"

namespace corvida::bench {

TBenchEditor::TBenchEditor(bool wordWrap) {
  WindowSystem().ResetInput();
  Application().Initialize();
  form_ = std::make_unique<TForm>(nullptr);
  form_->SetBounds(0, 0, 1024, 768);
  Application().SetMainForm(form_.get());
  editor_ = TEditor::Create(form_.get());
  editor_->SetParent(form_.get());
  editor_->SetBounds(0, 0, 1000, 720);
  editor_->Leftbar()->SetVisible(true);
  editor_->Leftbar()->SetShowNumber(true);
  editor_->Leftbar()->SetShowNumberMode(nmLine);
  editor_->SetWordWrap(wordWrap);
  form_->Show();
  editor_->Lines()->LoadFromFile(HundredMegabyteText());
  editor_->SetFocus();
  Settle();
}

TBenchEditor::~TBenchEditor() {
  form_.reset();
  WindowSystem().ResetInput();
}

void TBenchEditor::ShowRow(int row) {
  editor_->SetTopRow(std::max(0, row - 5));
  editor_->SetRow(row);
  Settle();
}

void TBenchEditor::Settle() {
  Application().ProcessMessages();
  editor_->Window()->Update();
}

}  // namespace corvida::bench

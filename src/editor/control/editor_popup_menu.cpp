// The editor's context menu: its items, their enabling and checking from the
// editor's state, and the editor operations they run.
#include "editor/control/editor_popup_menu.h"

#include <string>

#include "editor/control/editor.h"
#include "platform/winsys/clipboard.h"

namespace corvida {
namespace {

// The captions, CP932 bytes written as escapes.
// "マーク設定"
constexpr const char* kSetMarkCaption = "\x83\x7d\x81\x5b\x83\x4e\x90\xdd\x92\xe8";
// "マークジャンプ"
constexpr const char* kJumpMarkCaption = "\x83\x7d\x81\x5b\x83\x4e\x83\x57\x83\x83\x83\x93\x83\x76";
// "元に戻す(&U)"
constexpr const char* kUndoCaption = "\x8c\xb3\x82\xc9\x96\xdf\x82\xb7(&U)";
// "やり直し(&R)"
constexpr const char* kRedoCaption = "\x82\xe2\x82\xe8\x92\xbc\x82\xb5(&R)";
// "切り取り(&T)"
constexpr const char* kCutCaption = "\x90\xd8\x82\xe8\x8e\xe6\x82\xe8(&T)";
// "コピー(&C)"
constexpr const char* kCopyCaption = "\x83\x52\x83\x73\x81\x5b(&C)";
// "貼り付け(&P)"
constexpr const char* kPasteCaption = "\x93\x5c\x82\xe8\x95\x74\x82\xaf(&P)";
// "Box貼り付け(&B)"
constexpr const char* kBoxPasteCaption = "Box\x93\x5c\x82\xe8\x95\x74\x82\xaf(&B)";
// "削除(&D)"
constexpr const char* kDeleteCaption = "\x8d\xed\x8f\x9c(&D)";
// "すべて選択(&A)"
constexpr const char* kSelectAllCaption = "\x82\xb7\x82\xd7\x82\xc4\x91\x49\x91\xf0(&A)";
// "Box選択モード(&K)"
constexpr const char* kBoxSelectionModeCaption = "Box\x91\x49\x91\xf0\x83\x82\x81\x5b\x83\x68(&K)";
constexpr const char* kLine = "-";

int TagOf(TObject* sender) { return static_cast<TMenuItem*>(sender)->Tag(); }

}  // namespace

void TEditorPopupMenu::AfterConstruction() {
  CreateItems();
  SetOnPopup(TNotifyEvent::Of<&TEditorPopupMenu::UpdateItems>(this));
}

TMenuItem* TEditorPopupMenu::AddItem(TMenuItem* parent, const char* caption, const char* shortCut,
                                     TNotifyEvent click, bool enabled) {
  auto* item = new TMenuItem(this);
  item->SetCaption(caption);
  item->SetShortCut(TextToShortCut(shortCut));
  item->SetOnClick(click);
  item->SetEnabled(enabled);
  parent->Add(item);
  return item;
}

void TEditorPopupMenu::CreateItems() {
  using E = TEditorPopupMenu;
  TMenuItem* root = Items();
  const auto marks = [&](const char* caption, const std::string& shortCut, TNotifyEvent click,
                         std::array<TMenuItem*, kMarkCount>& items) {
    TMenuItem* menu = AddItem(root, caption, "", {});
    for (int i = 0; i < kMarkCount; ++i) {
      const std::string digit(1, static_cast<char>('0' + i));
      items[static_cast<size_t>(i)] = AddItem(menu, digit.c_str(), (shortCut + digit).c_str(), click);
      items[static_cast<size_t>(i)]->SetTag(i);
    }
  };
  marks(kSetMarkCaption, "Shift+Ctrl+", TNotifyEvent::Of<&E::SetMarkClick>(this), setMarkItems_);
  marks(kJumpMarkCaption, "Ctrl+", TNotifyEvent::Of<&E::JumpMarkClick>(this), jumpMarkItems_);
  AddItem(root, kLine, "", {});
  undoItem_ = AddItem(root, kUndoCaption, "Ctrl+Z", TNotifyEvent::Of<&E::UndoClick>(this), false);
  redoItem_ = AddItem(root, kRedoCaption, "Ctrl+A", TNotifyEvent::Of<&E::RedoClick>(this), false);
  AddItem(root, kLine, "", {});
  cutItem_ = AddItem(root, kCutCaption, "Ctrl+X", TNotifyEvent::Of<&E::CutClick>(this), false);
  copyItem_ = AddItem(root, kCopyCaption, "Ctrl+C", TNotifyEvent::Of<&E::CopyClick>(this), false);
  pasteItem_ = AddItem(root, kPasteCaption, "Ctrl+V", TNotifyEvent::Of<&E::PasteClick>(this), false);
  boxPasteItem_ = AddItem(root, kBoxPasteCaption, "Ctrl+B", TNotifyEvent::Of<&E::BoxPasteClick>(this), false);
  deleteItem_ = AddItem(root, kDeleteCaption, "", TNotifyEvent::Of<&E::DeleteClick>(this), false);
  AddItem(root, kLine, "", {});
  selectAllItem_ = AddItem(root, kSelectAllCaption, "", TNotifyEvent::Of<&E::SelectAllClick>(this), false);
  AddItem(root, kLine, "", {});
  boxSelectionModeItem_ =
      AddItem(root, kBoxSelectionModeCaption, "Ctrl+K", TNotifyEvent::Of<&E::BoxSelectionModeClick>(this));
}

void TEditorPopupMenu::UpdateItems(TObject*) {
  if (!editor_) return;
  const bool selected = editor_->GetSelLength() > 0;
  const bool writable = !editor_->ReadOnly();
  const bool text = IsClipboardFormatAvailable(CF_TEXT);
  const TRowMarks used = editor_->ScreenStrings()->UsedMarks();
  for (int i = 0; i < kMarkCount; ++i) {
    setMarkItems_[static_cast<size_t>(i)]->SetChecked(used.Contains(i));
    jumpMarkItems_[static_cast<size_t>(i)]->SetChecked(used.Contains(i));
  }
  undoItem_->SetEnabled(editor_->CanUndo() && writable);
  redoItem_->SetEnabled(editor_->CanRedo() && writable);
  cutItem_->SetEnabled(selected && writable);
  copyItem_->SetEnabled(selected);
  pasteItem_->SetEnabled(text && writable);
  boxPasteItem_->SetEnabled(text && writable);
  deleteItem_->SetEnabled(selected && writable);
  selectAllItem_->SetEnabled(editor_->GetTextLen() > 0);
  boxSelectionModeItem_->SetChecked(editor_->SelectionMode() == TSelectionMode::Box);
}

void TEditorPopupMenu::SetMarkClick(TObject* sender) {
  const int mark = TagOf(sender);
  const int row = editor_->Row();
  const TEditorScreenStrings& store = *editor_->ScreenStrings();
  if (row < store.Count() && store.RowMarks(row).Contains(mark))
    editor_->DeleteRowMark(row, mark);
  else
    editor_->SetRowMark(row, mark);
}

void TEditorPopupMenu::JumpMarkClick(TObject* sender) { editor_->GotoRowMark(TagOf(sender)); }
void TEditorPopupMenu::UndoClick(TObject*) { editor_->Undo(); }
void TEditorPopupMenu::RedoClick(TObject*) { editor_->Redo(); }
void TEditorPopupMenu::CutClick(TObject*) { editor_->CutToClipboard(); }
void TEditorPopupMenu::CopyClick(TObject*) { editor_->CopyToClipboard(); }
void TEditorPopupMenu::PasteClick(TObject*) { editor_->PasteFromClipboard(); }
void TEditorPopupMenu::BoxPasteClick(TObject*) { editor_->InsertBoxText(GetClipboardText()); }
void TEditorPopupMenu::DeleteClick(TObject*) { editor_->ClearSelection(); }
void TEditorPopupMenu::SelectAllClick(TObject*) { editor_->SelectAll(); }

void TEditorPopupMenu::BoxSelectionModeClick(TObject* sender) {
  auto* item = static_cast<TMenuItem*>(sender);
  item->SetChecked(!item->Checked());
  editor_->SetSelectionMode(item->Checked() ? TSelectionMode::Box : TSelectionMode::Normal);
}

}  // namespace corvida

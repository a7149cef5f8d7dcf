#pragma once
// The editor's context menu: numbered marks, undo and redo, the clipboard,
// select all and the box selection mode. The editor owns it as its popup
// menu, so the items' shortcuts are also the editor's keys for these
// commands.
#include <array>

#include "platform/toolkit/menus.h"

namespace corvida {

class TEditor;

class TEditorPopupMenu : public TPopupMenu {
 public:
  CORVIDA_CLASS_NAME(TEditorPopupMenu)
  // Builds a menu of class T with its items; OnPopup refreshes them.
  template <class T = TEditorPopupMenu>
  static T* Create(TComponent* owner) {
    T* menu = new T(owner);
    menu->AfterConstruction();
    return menu;
  }

  // The editor the items act on; not owned.
  TEditor* Editor() const { return editor_; }
  void SetEditor(TEditor* editor) { editor_ = editor; }

  // The clicked item is the sender; a numbered item carries its number as
  // its tag.
  // Sets the mark on the caret row, or clears it when the row has it.
  virtual void SetMarkClick(TObject* sender);
  virtual void JumpMarkClick(TObject* sender);
  virtual void UndoClick(TObject* sender);
  virtual void RedoClick(TObject* sender);
  virtual void CutClick(TObject* sender);
  virtual void CopyClick(TObject* sender);
  virtual void PasteClick(TObject* sender);
  // The clipboard's text as a box, whatever marks it.
  virtual void BoxPasteClick(TObject* sender);
  virtual void DeleteClick(TObject* sender);
  virtual void SelectAllClick(TObject* sender);
  virtual void BoxSelectionModeClick(TObject* sender);
  // Enables and checks every item from the editor's state (OnPopup).
  virtual void UpdateItems(TObject* sender);

 protected:
  explicit TEditorPopupMenu(TComponent* owner) : TPopupMenu(owner) {}
  // The second step of construction: the items, then OnPopup.
  virtual void AfterConstruction();
  virtual void CreateItems();

 private:
  static constexpr int kMarkCount = 10;

  TMenuItem* AddItem(TMenuItem* parent, const char* caption, const char* shortCut, TNotifyEvent click,
                     bool enabled = true);

  TEditor* editor_ = nullptr;
  std::array<TMenuItem*, kMarkCount> setMarkItems_{};
  std::array<TMenuItem*, kMarkCount> jumpMarkItems_{};
  TMenuItem* undoItem_ = nullptr;
  TMenuItem* redoItem_ = nullptr;
  TMenuItem* cutItem_ = nullptr;
  TMenuItem* copyItem_ = nullptr;
  TMenuItem* pasteItem_ = nullptr;
  TMenuItem* boxPasteItem_ = nullptr;
  TMenuItem* deleteItem_ = nullptr;
  TMenuItem* selectAllItem_ = nullptr;
  TMenuItem* boxSelectionModeItem_ = nullptr;
};

}  // namespace corvida

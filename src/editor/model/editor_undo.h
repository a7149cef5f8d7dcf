#pragma once
// Undo and redo of the row store. Every ChangeRows leaves one TUndoData that
// tells how to put the changed rows back: the rows the change produced and
// the text they replaced. Undoing applies the record, turns it into its own
// inverse and moves it to the redo list; redoing does the reverse.
#include <memory>
#include <string>

#include "editor/model/row_attribute_string_list.h"
#include "platform/rtl/list.h"

namespace corvida {

class TEditorScreenStrings;

struct TUndoData {
  int32_t CaretRow = 0;
  int32_t CaretCol = 0;
  int32_t Row = -1;       // first row of the changed range
  int32_t RowCount = 0;   // rows the change put in place from Row
  TRowAttribute RowAttribute = raInvalid;  // of the last removed row; raInvalid: nothing removed
  std::string Text;       // the removed rows, each line break as CR LF
};

// Owns its records.
class TUndoDataList : public TList {
 public:
  CORVIDA_CLASS_NAME(TUndoDataList)
  ~TUndoDataList() override;

  TUndoData* Items(int index) const { return static_cast<TUndoData*>(TList::Items(index)); }
  TUndoData* Last() const { return Items(Count() - 1); }
  int Add(std::unique_ptr<TUndoData> data);
  // Releases the record at index.
  void Delete(int index);
  void Clear() override;
};

class TEditorUndoObj : public TObject {
 public:
  CORVIDA_CLASS_NAME(TEditorUndoObj)
  static constexpr int kMinUndoListMax = 64;

  explicit TEditorUndoObj(TEditorScreenStrings* strings) : strings_(strings) {}

  // A record with the active view's caret, appended to the undo list; the
  // oldest record falls off past UndoListMax, and the redo list is emptied
  // unless a redo is making the record.
  virtual TUndoData* NewUndoData();
  virtual bool CanRedo() const { return redoList_.Count() > 0; }
  virtual bool CanUndo() const { return undoList_.Count() > 0; }
  virtual void Redo();
  virtual void Undo();
  // A copy of data's change with the active view's caret, on the redo list.
  virtual void PushRedo(const TUndoData& data);
  virtual void Clear();

  int UndoListMax() const { return undoListMax_; }
  // Never below 64.
  void SetUndoListMax(int value);

  const TUndoDataList& UndoList() const { return undoList_; }
  const TUndoDataList& RedoList() const { return redoList_; }

 private:
  struct Applied {
    std::string text;
    TRowAttribute attribute = raInvalid;
    int newCount = 0;
  };
  // Puts the record's text in place of its rows; returns what was there.
  Applied Apply(const TUndoData& data);

  TEditorScreenStrings* strings_;
  int undoListMax_ = kMinUndoListMax;
  bool redoing_ = false;
  TUndoDataList redoList_;
  TUndoDataList undoList_;
};

}  // namespace corvida

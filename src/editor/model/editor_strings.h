#pragma once
// TEditorStrings, the editor's Lines: a TStrings whose items are logical
// lines, mapped onto the rows of the view's row store. Every change goes
// through the store's ChangeRows and leaves the caret after the new text.
#include <string>
#include <string_view>
#include <vector>

#include "editor/model/editor_screen_strings.h"
#include "platform/rtl/strings.h"

namespace corvida {

class TEditorStrings : public TStrings {
 public:
  CORVIDA_CLASS_NAME(TEditorStrings)
  explicit TEditorStrings(TEditorView* view) : view_(view) {}

  std::string Get(int index) const override;
  int GetCount() const override;
  void Put(int index, const std::string& s) override;
  void Insert(int index, const std::string& s) override;
  int Add(const std::string& s) override;
  // The lines of text as one change of the store (one ChangeRows, one undo
  // step), leaving the rows and the caret as an Add of each line would.
  void AddText(std::string_view text) override;
  void Delete(int index) override;
  void Clear() override;
  std::string GetTextStr() const override;
  void SetTextStr(std::string_view text) override;
  void Assign(const TPersistent* source) override;

  // Replaces the text by a file's; CR, LF and CR LF end lines and a Ctrl-Z
  // ends the text. Raises EFOpenError for a file that cannot be opened (or
  // a read error), leaving the store empty.
  void LoadFromFile(const std::string& fileName);

  // The first row of line index.
  int LineToRow(int index) const;

  // The stored form, property "Strings": one string per logical line.
  // Stored when the ancestor is a list that differs, is of another kind, or
  // (no ancestor) when there are lines.
  bool StringsStored(const TPersistent* ancestor) const;
  std::vector<std::string> WriteStrings() const;
  // Each string becomes one row; wrapping and scanning follow when the view
  // has finished loading. While the view loads, Add does the same, so that
  // a component reader that fills the list string by string reads it alike.
  void ReadStrings(const std::vector<std::string>& strings);

 protected:
  void SetUpdateState(bool updating) override;

 private:
  TEditorScreenStrings& Store() const { return *view_->ScreenStrings(); }
  void LoadRows(const std::string& fileName);

  TEditorView* view_;
  int updateCount_ = 0;
};

}  // namespace corvida

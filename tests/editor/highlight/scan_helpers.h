#pragma once
// Helpers for tokenizer tests: a fountain with its tokenizer, rows with
// attributes, tokens as (kind, text) pairs, and scan states from the top.
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "editor/highlight/editor_fountain.h"
#include "editor/model/row_attribute_string_list.h"

namespace corvida::testing {

using Token = std::pair<int, std::string>;

inline TRowAttributeData InitialState() {
  TRowAttributeData data;
  data.BracketIndex = -1;
  return data;
}

// Every token of s scanned from state.
inline std::vector<Token> Tokens(TFountainParser& parser, const std::string& s,
                                 const TRowAttributeData& state = InitialState()) {
  std::vector<Token> tokens;
  parser.StartRow(s, state);
  while (parser.ScanToken() != ttEnd) tokens.emplace_back(parser.TokenKind(), parser.TokenStr());
  return tokens;
}

struct Row {
  std::string text;
  TRowAttribute attribute = raCrlf;
};

inline std::unique_ptr<TRowAttributeStringList> MakeRows(const std::vector<Row>& rows) {
  auto list = std::make_unique<TRowAttributeStringList>();
  for (const Row& row : rows) {
    const int i = list->Add(row.text);
    list->SetRowAttributes(i, row.attribute);
  }
  return list;
}

// The state each row starts with, scanning from the top.
inline std::vector<TRowAttributeData> StatesFromTop(TFountainParser& parser, TRowAttributeStringList& rows) {
  std::vector<TRowAttributeData> states;
  TRowAttributeData data = InitialState();
  for (int r = 0; r < rows.Count(); ++r) {
    data.RowAttribute = rows.RowAttributes(r);
    states.push_back(data);
    parser.ScanRowState(r, rows, data);
    data.PrevRowAttribute = rows.RowAttributes(r);
  }
  return states;
}

// An editor fountain with no owner.
inline std::unique_ptr<TEditorFountain> NewEditorFountain() {
  return std::unique_ptr<TEditorFountain>(TFountain::Create<TEditorFountain>(nullptr));
}

// The editor fountain's tokenizer without the skipping of rows that cannot
// leave the plain state: the reference for the scans that skip them.
class TFullScanParser : public TEditorParser {
 public:
  static std::unique_ptr<TFountainParser> Create(TFountain* fountain) {
    return TFountainParser::Create<TFullScanParser>(fountain);
  }
  bool MayLeavePlainState(std::string_view) const override { return true; }

 private:
  friend class corvida::TFountainParser;
  explicit TFullScanParser(TFountain* fountain) : TEditorParser(fountain) {}
};

inline TFountainBracketItem* AddBracket(TFountain& fountain, const std::string& left, const std::string& right) {
  TFountainBracketItem* item = fountain.Brackets()->Add();
  item->SetLeftBracket(left);
  item->SetRightBracket(right);
  return item;
}

}  // namespace corvida::testing

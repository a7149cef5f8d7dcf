// The tokenizer over random rows and random incoming scan states: it must
// stay inside each row, make progress, and carry a state to the next row
// whatever the bytes and the state it is given.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "editor/highlight/editor_fountain.h"
#include "editor/model/row_attribute_string_list.h"

namespace {

using namespace corvida;

struct Input {
  const uint8_t* data;
  size_t size;
  uint8_t Take() {
    if (size == 0) return 0;
    --size;
    return *data++;
  }
};

TRowAttributeData RandomState(Input& in) {
  TRowAttributeData state;
  state.RowAttribute = static_cast<TRowAttribute>(in.Take() % 3);
  state.BracketIndex = static_cast<int>(in.Take() % 20) - 4;
  state.PrevToken = in.Take();
  state.WrappedByte = in.Take();
  state.ElementIndex = in.Take();
  return state;
}

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Input in{data, size};
  const uint8_t settings = in.Take();
  std::unique_ptr<TEditorFountain> fountain(TFountain::Create<TEditorFountain>(nullptr));
  fountain->SetMail((settings & 1) != 0);
  fountain->SetUrl((settings & 2) != 0);
  fountain->SetControlCode((settings & 4) != 0);
  if (settings & 8) fountain->SetCommenter("//");
  if (settings & 16) fountain->SetQuotation("\"");
  if (settings & 32) fountain->SetHexPrefix("0x");
  const char* const kBrackets[][2] = {{"/*", "*/"}, {"{", "}"}, {"(*", "*)"}, {"<!--", ""}, {"\x81\x75", "\x81\x76"}};
  for (const auto& pair : kBrackets) {
    TFountainBracketItem* item = fountain->Brackets()->Add();
    item->SetLeftBracket(pair[0]);
    item->SetRightBracket(pair[1]);
  }
  fountain->ReserveWordList()->Add("total");
  fountain->ReserveWordList()->Add("if");
  TRowAttributeData state = RandomState(in);

  // The rest is rows, separated by 0xFF, each with a random attribute.
  TRowAttributeStringList rows;
  std::string row;
  for (size_t i = 0; i < in.size; ++i) {
    if (in.data[i] == 0xFF) {
      const int index = rows.Add(row);
      rows.SetRowAttributes(index, static_cast<TRowAttribute>(row.size() % 3));
      row.clear();
    } else {
      row += static_cast<char>(in.data[i]);
    }
  }
  rows.SetRowAttributes(rows.Add(row), raEof);

  std::unique_ptr<TFountainParser> parser = fountain->CreateParser();
  for (int r = 0; r < rows.Count(); ++r) {
    const std::string_view s = rows.StringRef(r);
    parser->StartRow(s, state);
    int emptyTokens = 0;
    while (parser->ScanToken() != ttEnd) {
      Check(parser->TokenOffset() >= 0 && parser->TokenOffset() + parser->TokenSize() <= static_cast<int>(s.size()));
      if (parser->TokenSize() == 0) Check(++emptyTokens <= 1);
      parser->TokenColor();
    }
    state.RowAttribute = rows.RowAttributes(r);
    parser->ScanRowState(r, rows, state);
    Check(state.WrappedByte >= 0 && state.BracketIndex >= -4 && state.BracketIndex < 16);
  }
  return 0;
}

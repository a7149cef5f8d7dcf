#pragma once
// The row store's only way to the highlighter: something that, given the
// scan state a row starts with, computes the state the next row starts with.
// The highlight layer implements it; the model never sees a fountain.
#include <memory>

namespace corvida {

class TRowAttributeStringList;
struct TRowAttributeData;

class TRowScanner {
 public:
  virtual ~TRowScanner() = default;

  // Updates data, the state row index of strings starts with, in place to
  // the state row index + 1 starts with. May read the next row's text when
  // row index is wrapped.
  virtual void ScanRowState(int index, const TRowAttributeStringList& strings, TRowAttributeData& data) = 0;
};

}  // namespace corvida

#include "platform/rtl/scope_guard.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace corvida {
namespace {

// Counts its brackets as the string lists and the row store do, and fails
// its end-update when told to.
struct TCounted {
  void BeginUpdate() { calls.push_back("begin" + std::to_string(++level)); }
  void EndUpdate() {
    calls.push_back("end" + std::to_string(level--));
    if (failEnd) throw std::runtime_error("end failed");
  }
  void OtherBegin() { calls.push_back("other begin"); }
  void OtherEnd() { calls.push_back("other end"); }
  int level = 0;
  bool failEnd = false;
  std::vector<std::string> calls;
};

TEST(UpdateBracket, EveryBeginGetsItsEndAlsoWhenAnExceptionPasses) {
  TCounted counted;
  {
    TUpdateBracket outer(counted);
    TUpdateBracket inner(counted);
    TUpdateBracket<TCounted, &TCounted::OtherBegin, &TCounted::OtherEnd> other(counted);
  }
  EXPECT_EQ(counted.calls,
            (std::vector<std::string>{"begin1", "begin2", "other begin", "other end", "end2", "end1"}));

  counted.calls.clear();
  EXPECT_THROW(
      {
        TUpdateBracket update(counted);
        throw std::logic_error("edit failed");
      },
      std::logic_error);
  EXPECT_EQ(counted.level, 0);

  // The end's own error is dropped while the first one travels, and raised
  // when it is the only one.
  counted.failEnd = true;
  try {
    TUpdateBracket update(counted);
    throw std::logic_error("edit failed");
  } catch (const std::exception& e) {
    EXPECT_STREQ(e.what(), "edit failed");
  }
  EXPECT_THROW({ TUpdateBracket update(counted); }, std::runtime_error);
  EXPECT_EQ(counted.level, 0);
}

}  // namespace
}  // namespace corvida

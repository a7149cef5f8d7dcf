#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/rtl/streams.h"

namespace corvida {
namespace {

// A source that cannot seek, as a pipe: every Seek fails.
class TPipeLikeStream : public TStream {
 public:
  explicit TPipeLikeStream(std::string data) : data_(std::move(data)) {}
  int64_t Read(void* buffer, int64_t count) override {
    const int64_t n = std::min<int64_t>({count, 1000, static_cast<int64_t>(data_.size()) - pos_});
    std::memcpy(buffer, data_.data() + pos_, static_cast<size_t>(n));
    pos_ += n;
    return n;
  }
  int64_t Write(const void*, int64_t) override { return 0; }
  int64_t Seek(int64_t, TSeekOrigin) override { return -1; }
  void SetSize(int64_t) override {}

 private:
  std::string data_;
  int64_t pos_ = 0;
};

TEST(MemoryStreamLoad, StreamWithoutASizeIsReadToItsEnd) {
  std::string data;
  for (int i = 0; i < 200000; ++i) data += static_cast<char>(i * 31);
  TPipeLikeStream pipe(data);
  TMemoryStream memory;
  memory.LoadFromStream(pipe);
  ASSERT_EQ(memory.DataSize(), static_cast<int64_t>(data.size()));
  EXPECT_EQ(std::string(memory.Memory(), data.size()), data);
  EXPECT_EQ(memory.Position(), 0);
}

}  // namespace
}  // namespace corvida

// The fast reading of a model and the literal scanner alone give the same
// lines, total and error for any bytes, in any sort order and whatever
// the size of the pieces the bytes arrive in.
//
// Inputs are small, so a few bytes stand for long stretches: 0x01 n is n*32
// bytes of plain lines, 0x02 n one line of 4,090 to 4,097 bytes, 0x03 n a
// run of n*16 blanks without a line feed, 0x04 n a header line saying the
// document is UTF-8. Every other byte is itself.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "mqo/report_outcome.h"

namespace {

constexpr size_t kPieceSizes[] = {0, 1, 7, 4095, 4096, 4097, 10000, 65536};
constexpr size_t kMaxModel = 1 << 16;

std::string Expand(const uint8_t* data, size_t size) {
  std::string out;
  for (size_t i = 0; i < size && out.size() < kMaxModel; ++i) {
    const uint8_t c = data[i];
    if (c < 1 || c > 4 || i + 1 == size) {
      out.push_back(static_cast<char>(c));
      continue;
    }
    const size_t n = data[++i];
    if (c == 1) {
      for (size_t start = out.size(); out.size() - start < n * 32;) out += "\t0.5 -12 3e4\r\n";
    } else if (c == 2) {
      out.append(4089 + n % 8, 'x');
      out.push_back('\n');
    } else if (c == 3) {
      out.append(n * 16, ' ');
    } else {
      out += "CodePage utf8\n";
    }
  }
  return out;
}

void Print(const char* who, const corvida::testing::TReportOutcome& outcome) {
  std::fprintf(stderr, "%s: total %lld, %zu lines, error \"%s\"\n", who, static_cast<long long>(outcome.total),
               outcome.lines.size(), outcome.error.c_str());
  for (const std::string& line : outcome.lines) std::fprintf(stderr, "  %s\n", line.c_str());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace corvida::testing;
  if (size == 0) return 0;
  const int sortMode = data[0] % 3;
  const size_t step = kPieceSizes[(data[0] >> 2) % 8];
  const std::string model = Expand(data + 1, size - 1);
  const corvida::TReportSpelling spelling = (data[0] & 0x20) ? corvida::rsUtf8 : corvida::rsCp932;
  const TReportOutcome reference = ReferenceOutcome(model, sortMode, spelling);
  // The least room for the held bytes makes refills frequent.
  const TReportOutcome fast =
      FastOutcome(model, sortMode, step, corvida::TModelInput::kLeastCapacity + data[0] % 5, spelling);
  if (fast == reference) return 0;
  Print("literal", reference);
  Print("fast", fast);
  __builtin_trap();
}

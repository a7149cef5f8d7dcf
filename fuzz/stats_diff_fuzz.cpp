// The fast path of the statistics and the literal reader alone give the
// same figures, warnings and error for any bytes, whatever the size of the
// pieces the bytes arrive in.
//
// Inputs are small, so a few bytes stand for longer text: 0x01 n is n*32
// bytes of plain vertex lines, 0x02 n a face line whose shape n picks
// (n-gons, lines, missing or negative M, glued or spaced groups), 0x03 n a
// line of 4,090 to 4,097 bytes, 0x04 n a BVertex chunk whose binary block
// holds braces, quotes, NULs and line feeds, 0x05 n the head of an object
// and its face chunk, 0x06 a header line saying the document is UTF-8,
// 0x07 the end of a face chunk and its object. Every other byte is itself.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "mqo/stats_outcome.h"

namespace {

constexpr size_t kPieceSizes[] = {0, 1, 7, 4095, 4096, 4097, 10000, 65536};
constexpr size_t kMaxModel = 1 << 16;

std::string FaceLine(size_t n) {
  static const char* const kShapes[] = {
      "\t\t4 V(0 1 2 3) M(0) UV(0 0 1 0 1 1 0 1)\r\n", "\t\t3 V(0 1 2) M(1)\n", "\t\t5 V(0 1 2 3 4)\n",
      "\t\t2 V(0 1) M(-1)\n",                          "\t\t3 V(0 1 2) UV(0 0 1 0 0 1) M(2)\n",
      "\t\t3V(0 1 2)M(3)\n",                             "\t\t4 V( 0 1 2 ) M ( 4 )\n", "\t\t1 V(0)\n",
  };
  return kShapes[n % 8] + std::string(n / 8 % 3, ' ');
}

std::string Expand(const uint8_t* data, size_t size) {
  std::string out;
  for (size_t i = 0; i < size && out.size() < kMaxModel; ++i) {
    const uint8_t c = data[i];
    if (c < 1 || c > 7 || i + 1 == size) {
      out.push_back(static_cast<char>(c));
      continue;
    }
    const size_t n = data[++i];
    switch (c) {
      case 1:
        for (size_t start = out.size(); out.size() - start < n * 32;) out += "\t\t0.5 -12 3e4\r\n";
        break;
      case 2:
        out += FaceLine(n);
        break;
      case 3:
        out.append(4089 + n % 8, n & 8 ? 'E' : 'x');
        out.push_back('\n');
        break;
      case 4:
        out += "\tBVertex 2 {\n\t\tVector 2 [" + std::to_string(n % 32) + "]\n";
        for (size_t b = 0; b < n % 32; ++b) out.push_back("{}\"\0\n[]E"[b % 8]);
        out += "\n\t}\n";
        break;
      case 5:
        out += "Object \"o" + std::to_string(n) + "\" {\n\tvisible " + std::to_string(n % 2 * 15) + "\n\tmirror " +
               std::to_string(n % 3) + "\n\tface " + std::to_string(n % 5) + " {\n";
        break;
      case 6:
        out += "CodePage utf8\n";
        break;
      default:
        out += "\t}\n}\n";
        break;
    }
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace corvida::testing;
  if (size == 0) return 0;
  const size_t step = kPieceSizes[data[0] % 8];
  const std::string model = Expand(data + 1, size - 1);
  const TStatsOutcome reference = ReferenceStats(model, data[0] >> 3);
  // The least room for the held bytes makes refills frequent.
  const TStatsOutcome fast = FastStats(model, step, corvida::TModelInput::kLeastCapacity + data[0] % 5);
  if (fast == reference) return 0;
  std::fprintf(stderr, "literal: line %llu, error \"%s\", %zu objects\nfast: line %llu, error \"%s\", %zu objects\n",
               static_cast<unsigned long long>(reference.errorLine), reference.error.c_str(),
               reference.stats.objects.size(), static_cast<unsigned long long>(fast.errorLine), fast.error.c_str(),
               fast.stats.objects.size());
  __builtin_trap();
}

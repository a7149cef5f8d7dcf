#include "bench_text.h"

#include <fstream>
#include <random>

namespace corvida::bench {

// Lines of 0 to 96 bytes (48 on average) of letters, digits, blanks and
// double-byte characters, each ended by CR LF: about 100 MB in all.
const std::string& HundredMegabyteText() {
  static const std::string path = [] {
    const std::string p = "/tmp/corvida_bench_100mb.txt";
    std::ofstream out(p, std::ios::binary);
    std::mt19937 rng(42);
    const char* pieces[] = {"ab", "cd", "12", "  ", "\x82\xa0", "\x88\x9f", "\x83\x4a", "xy", "\t ", "()"};
    std::string line;
    for (int i = 0; i < kTextLines; ++i) {
      line.clear();
      const int n = static_cast<int>(rng() % 49);
      for (int k = 0; k < n; ++k) line += pieces[rng() % 10];
      line += "\r\n";
      out << line;
    }
    return p;
  }();
  return path;
}

}  // namespace corvida::bench

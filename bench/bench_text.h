#pragma once
// The text the editor benchmarks work on: a generated 100 MB CP932 file of
// 2,000,000 lines, written once per run.
#include <string>

namespace corvida::bench {

inline constexpr int kTextLines = 2'000'000;

// The file's path.
const std::string& HundredMegabyteText();

}  // namespace corvida::bench

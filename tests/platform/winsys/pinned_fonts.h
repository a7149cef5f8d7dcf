#pragma once
// The font files the pixel tests are pinned to.
#include <gtest/gtest.h>

#include <filesystem>

namespace corvida::testing {

inline constexpr const char* kShinonomeSingle = "/usr/share/fonts/X11/misc/shnm6x12r.pcf.gz";
inline constexpr const char* kShinonomeDouble = "/usr/share/fonts/X11/misc/shnmk12.pcf.gz";
inline constexpr const char* kIpaPGothic = "/usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf";

inline bool HaveShinonome() {
  return std::filesystem::exists(kShinonomeSingle) && std::filesystem::exists(kShinonomeDouble);
}

}  // namespace corvida::testing

#define REQUIRE_SHINONOME()                                                        \
  if (!::corvida::testing::HaveShinonome())                                         \
  GTEST_SKIP() << "Shinonome Gothic 12 is not installed (package xfonts-shinonome)"

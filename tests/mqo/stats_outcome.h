#pragma once
// What the statistics of a model given as bytes come to: the figures, or
// the error with its line. The literal reader alone is the reference (fed
// in pieces of any size); the fast path reads the same bytes handed out in
// pieces of a given size.
#include <ostream>
#include <string>
#include <string_view>

#include "mqo/fast_stats.h"
#include "mqo/model_input.h"
#include "mqo/model_stats.h"
#include "mqo/report_outcome.h"
#include "mqo/stats_reader.h"

namespace corvida::testing {

struct TStatsOutcome {
  TModelStats stats;
  uint64_t errorLine = 0;
  std::string error;
  bool operator==(const TStatsOutcome&) const = default;
};

inline void PrintTo(const TStatsOutcome& outcome, std::ostream* os) {
  if (!outcome.error.empty()) *os << "error at line " << outcome.errorLine << ": " << outcome.error << "; ";
  const TModelStats& s = outcome.stats;
  *os << (s.utf8 ? "utf8" : "cp932") << ", " << s.materialEntries << " material entries, visible "
      << s.visible.objects << "/" << s.visible.faces << "/" << s.visible.triangles << "/" << s.visible.vertices << "/"
      << s.visible.materials << "/" << s.visible.exportedTriangles << ", hidden " << s.hidden.objects << "/"
      << s.hidden.faces << "/" << s.hidden.triangles << "/" << s.hidden.vertices << "/" << s.hidden.materials << "/"
      << s.hidden.exportedTriangles << "; objects:";
  for (const TObjectStats& o : s.objects) {
    *os << " [" << o.name << " " << o.faces << "/" << o.triangles << "/" << o.vertices << "/" << o.materials
        << (o.visible ? "" : " hidden") << " mirror " << o.mirror << ":" << o.mirrorAxis << " exported "
        << o.exportedTriangles << (o.exportedEstimate ? "~" : "") << (o.subdivided ? " patch" : "")
        << (o.lathe ? " lathe" : "") << "]";
  }
  *os << "; warnings:";
  for (const TStatsWarning& w : s.warnings) *os << " [" << w.line << ": " << w.text << "]";
  if (s.warningsLeftOut != 0) *os << " and " << s.warningsLeftOut << " more";
}

// The literal reader fed step bytes at a time (all at once for 0).
inline TStatsOutcome ReferenceStats(std::string_view bytes, size_t step = 0) {
  TStatsTally tally;
  TStatsReader reader(tally);
  try {
    for (size_t at = 0; at < bytes.size() && !reader.Done(); at += step == 0 ? bytes.size() : step)
      reader.Feed(bytes.substr(at, step == 0 ? bytes.size() : step));
    return {reader.Finish(), 0, {}};
  } catch (const EModelError& e) {
    return {{}, e.Line(), e.Text()};
  }
}

inline TStatsOutcome FastStats(std::string_view bytes, size_t step = 0, size_t capacity = TModelInput::kCapacity) {
  TStringPieces pieces(bytes, step);
  TModelInput input(pieces, capacity);
  try {
    return {ReadModelStats(input), 0, {}};
  } catch (const EModelError& e) {
    return {{}, e.Line(), e.Text()};
  }
}

}  // namespace corvida::testing

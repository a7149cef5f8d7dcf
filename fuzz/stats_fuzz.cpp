// Any bytes given to the statistics reader give figures or an EModelError;
// never a crash, a hang or a sanitizer report, and the totals always add up
// from the objects.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "mqo/model_stats.h"
#include "mqo/stats_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace corvida;
  if (size == 0) return 0;
  // The first byte picks the size of the pieces; the rest is the model.
  const size_t piece = 1 + data[0] * 37u;
  const std::string_view model(reinterpret_cast<const char*>(data + 1), size - 1);
  TStatsTally tally;
  TStatsReader reader(tally);
  TModelStats stats;
  try {
    for (size_t at = 0; at < model.size() && !reader.Done(); at += piece) reader.Feed(model.substr(at, piece));
    stats = reader.Finish();
  } catch (const EModelError& e) {
    if (e.Line() == 0 || e.Text().empty()) __builtin_trap();
    return 0;
  }
  TStatsTotals visible, hidden;
  for (const TObjectStats& o : stats.objects) {
    TStatsTotals& t = o.visible ? visible : hidden;
    t.objects += o.faces > 0;
    t.faces += o.faces;
    t.triangles += o.triangles;
    t.vertices += o.vertices;
    t.exportedTriangles += o.exportedTriangles;
    if (o.triangles > o.exportedTriangles || o.materials > o.faces) __builtin_trap();
  }
  visible.materials = stats.visible.materials;
  hidden.materials = stats.hidden.materials;
  if (!(visible == stats.visible) || !(hidden == stats.hidden)) __builtin_trap();
  if (stats.warnings.size() > TStatsTally::kWarningsKept) __builtin_trap();
  return 0;
}

#include "mqo/stats_pane.h"

#include <utility>

#include "mqo/face_report.h"
#include "mqo/fast_stats.h"
#include "mqo/stats_output.h"
#include "platform/rtl/escaped_text.h"
#include "platform/rtl/format.h"
#include "platform/rtl/strings.h"

namespace corvida {
namespace {

// "×", CP932.
constexpr const char* kTimes = "\x81\x7e";

std::string Figures(uint64_t faces, uint64_t triangles, uint64_t vertices, uint64_t materials) {
  return Format("%8s%10s%9s%10s", {std::to_string(faces), std::to_string(triangles), std::to_string(vertices),
                                   std::to_string(materials)});
}

std::string Objects(uint64_t n, const char* kind) {
  return std::to_string(n) + " " + kind + (n == 1 ? " object" : " objects");
}

}  // namespace

std::vector<std::string> StatsPaneLines(const TModelStats& stats, int sortMode, const std::string& fileName,
                                        const std::optional<TBudget>& budget) {
  std::vector<std::string> lines{"// faces triangles vertices materials : name"};
  for (const size_t i : SortedObjects(stats, sortMode)) {
    const TObjectStats& o = stats.objects[i];
    const std::string name = EscapedText(o.name, stats.utf8 ? tcUtf8 : tcCp932, tcCp932);
    const std::string marks = ObjectMarks(o, kTimes, " ");
    lines.push_back(Figures(o.faces, o.triangles, o.vertices, o.materials) + " : \"" + name + "\"" +
                    (marks.empty() ? "" : " " + marks));
  }
  const TStatsTotals& v = stats.visible;
  const TStatsTotals& h = stats.hidden;
  lines.push_back(Figures(v.faces, v.triangles, v.vertices, v.materials) + " : Total of " + Objects(v.objects, "visible") +
                  ", " + std::to_string(v.exportedTriangles) + " triangles exported // " + fileName);
  lines.push_back(Figures(h.faces, h.triangles, h.vertices, h.materials) + " : Total of " + Objects(h.objects, "hidden"));
  if (budget) lines.push_back("budget " + budget->name + ": " + VerdictText(OverBudget(stats, budget->limits)));
  lines.push_back(kReportSeparator);
  return lines;
}

std::string StatsPaneRest(const std::string& path, int sortMode, const std::optional<TBudget>& budget,
                          std::stop_token stop) {
  const TModelStats stats = ModelStatsOfFile(path, std::move(stop));
  std::string rest;
  // The path's name follows its last '/' byte.
  const std::string fileName = EscapedText(path.substr(path.rfind('/') + 1), tcUtf8, tcCp932);
  for (const std::string& line : StatsPaneLines(stats, sortMode, fileName, budget)) rest.append(line).append("\r\n");
  return rest;
}

bool MakeStatsReport(const std::string& path, int sortMode, const std::optional<TBudget>& budget, TStrings& lines,
                     TEvent<> takeFocus) {
  const std::optional<std::string> header = ReportHeader(path);
  if (!header) return false;
  lines.Add(*header);
  lines.AddText(StatsPaneRest(path, sortMode, budget));
  if (takeFocus) takeFocus();
  return true;
}

}  // namespace corvida

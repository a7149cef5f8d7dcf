#include "app/stats_cli.h"

#include <new>

#include "app/cli_options.h"
#include "mqo/fast_stats.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/files.h"

namespace corvida {

TStatsFile ReadStats(const std::string& file, const TBudgetLimits& limits) {
  TStatsFile result;
  result.path = RealPath(file);
  try {
    // Opened as given, as the report does.
    if (!FileAge(file)) {
      result.error = UnusablePathText(file);
    } else {
      result.stats = ModelStatsOfFile(file);
      result.over = OverBudget(*result.stats, limits);
    }
  } catch (const EModelError& e) {
    result.error = e.Text();
    result.errorLine = e.Line();
  } catch (const Exception& e) {
    result.error = FailureText(e);
  } catch (const std::bad_alloc&) {
    result.error = "not enough memory to read the file";
  }
  return result;
}

void PrintTroubles(const std::string& file, const TStatsFile& result, std::ostream& err) {
  if (result.stats) {
    for (const TStatsWarning& w : result.stats->warnings)
      err << "corvida: " << TerminalText(file) << ":" << w.line << ": warning: " << TerminalText(w.text) << '\n';
    if (result.stats->warningsLeftOut != 0)
      err << "corvida: " << TerminalText(file) << ": " << result.stats->warningsLeftOut << " more warnings\n";
  }
  if (result.error.empty()) return;
  err << "corvida: " << TerminalText(file);
  if (result.errorLine != 0) err << ":" << result.errorLine;
  err << ": " << TerminalText(result.error) << '\n';
}

namespace {

std::string Limits(const TBudgetLimits& limits) {
  std::string out;
  const auto add = [&](const char* what, const std::optional<uint64_t>& limit) {
    if (limit) out += (out.empty() ? "" : ", ") + std::string(what) + " " + std::to_string(*limit);
  };
  add("triangles", limits.triangles);
  add("materials", limits.materials);
  add("objects", limits.objects);
  return out.empty() ? "no limits" : out;
}

}  // namespace

int RunStats(const TCliOptions& options, const TBudgetLimits& limits, std::ostream& out, std::ostream& err) {
  std::optional<std::string> budgetName;
  if (options.budget || limits.Any()) budgetName = options.budget.value_or("");
  const std::unique_ptr<TStatsWriter> writer = MakeStatsWriter(options.form, out, options.sortMode, budgetName);
  bool anyError = false;
  bool anyOver = false;
  for (const std::string& file : options.files) {
    const TStatsFile result = ReadStats(file, limits);
    writer->File(result);
    PrintTroubles(file, result, err);
    anyError = anyError || !result.error.empty();
    anyOver = anyOver || !result.over.empty();
  }
  writer->End();
  out.flush();
  if (!out) {
    err << "corvida: the statistics could not be written to standard output\n";
    return 1;
  }
  return anyError ? 1 : anyOver ? 3 : 0;
}

void ListBudgets(const std::vector<TBudget>& profiles, std::ostream& out) {
  for (const TBudget& budget : profiles) {
    out << budget.name << ": " << (budget.problem.empty() ? Limits(budget.limits) : budget.problem) << '\n';
    if (!budget.source.empty()) out << "  source: " << budget.source << '\n';
    if (!budget.date.empty()) out << "  date: " << budget.date << '\n';
  }
}

}  // namespace corvida

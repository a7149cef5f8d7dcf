#pragma once
// corvida --stats: the statistics of each model in the form asked for, with
// the verdict of a budget; and corvida --budgets, the named budgets.
#include <ostream>
#include <string>
#include <vector>

#include "app/cli_options.h"

namespace corvida {

// Reads one file: its statistics or what went wrong, and its verdict.
TStatsFile ReadStats(const std::string& file, const TBudgetLimits& limits);
// The warnings and the error of a file on standard error, naming it as it
// was given.
void PrintTroubles(const std::string& file, const TStatsFile& result, std::ostream& err);
// The exit status: 0 when every file was read and within its budget, 1 when
// any could not be read, else 3 when any was over budget.
int RunStats(const TCliOptions& options, const TBudgetLimits& limits, std::ostream& out, std::ostream& err);
// Lists each profile: its limits, source and date.
void ListBudgets(const std::vector<TBudget>& profiles, std::ostream& out);

}  // namespace corvida

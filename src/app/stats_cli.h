#pragma once
// corvida --stats: the statistics of each model in the form asked for, with
// the verdict of a budget; and corvida --budgets, the named budgets.
#include <ostream>
#include <vector>

#include "app/cli_options.h"

namespace corvida {

// The exit status: 0 when every file was read and within its budget, 1 when
// any could not be read, else 3 when any was over budget.
int RunStats(const TCliOptions& options, const TBudgetLimits& limits, std::ostream& out, std::ostream& err);
// Lists each profile: its limits, source and date.
void ListBudgets(const std::vector<TBudget>& profiles, std::ostream& out);

}  // namespace corvida

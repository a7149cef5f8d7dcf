#pragma once
// corvida --watch: the report (or with --stats the statistics) of each file
// at start, and again each time a file settles after a change, followed by
// what changed since that file's previous report. It runs until it is
// interrupted (Ctrl+C, SIGTERM) or its standard output is closed.
#include <ostream>

#include "app/cli_options.h"

namespace corvida {

// The exit status: 0 when it was stopped, 1 when standard output could not
// be written for another reason.
int RunWatch(const TCliOptions& options, bool stats, const TBudgetLimits& limits, std::ostream& out,
             std::ostream& err);

}  // namespace corvida

#pragma once
// The command line of the corvida executable when it shows no window:
//   corvida --report [--sort none|asc|desc] [--format F] [--raw] FILE...
// prints for each file the lines the report pane would receive (or its
// figures in a form for scripts);
//   corvida --stats [--sort ...] [--format F] [--budget NAME] [--max-...] FILE...
// prints each model's statistics; corvida --budgets lists the budgets.
#include <ostream>
#include <string>
#include <vector>

#include "app/cli_options.h"

namespace corvida {

class TReportWriter;

// One file of the report: its text lines, or its figures for writer when
// there is one. Messages are UTF-8 and name the file as it was given. False
// when it was not reported.
bool ReportFile(const std::string& file, const TCliOptions& options, TReportWriter* writer, std::ostream& out,
                std::ostream& err);

// args are the arguments after the program name; settingsFile holds the
// user's budget profiles (none when empty or missing). Returns the exit
// status: 0 when every file was reported, 1 when any was not, 2 for a usage
// error, 3 when a model is over its budget.
int RunCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                   const std::string& settingsFile = {});

}  // namespace corvida

#pragma once
// The command line of the corvida executable when it shows no window:
//   corvida --report [--sort none|asc|desc] [--raw] FILE...
// prints for each file the lines the report pane would receive.
#include <ostream>
#include <string>
#include <vector>

namespace corvida {

// args are the arguments after the program name. Returns the exit status:
// 0 when every file was reported, 1 when any was not, 2 for a usage error.
int RunCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace corvida

#include <iostream>
#include <string>
#include <vector>

#include "app/report_cli.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  // There is no window yet; scripts ask this before they try to open one.
  if (!args.empty() && args[0] == "--has-window") return 1;
  return corvida::RunCommandLine(args, std::cout, std::cerr);
}

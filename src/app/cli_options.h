#pragma once
// What the commands that read models share: their options, and how they
// name a file and its troubles on a terminal.
#include <optional>
#include <string>
#include <vector>

#include "mqo/budget.h"
#include "mqo/stats_output.h"
#include "platform/rtl/exceptions.h"

namespace corvida {

struct TCliOptions {
  int sortMode = 0;
  TOutputForm form = foText;
  bool raw = false;
  bool help = false;
  // --budget NAME, and the limits given one by one.
  std::optional<std::string> budget;
  TBudgetLimits limits;
  std::vector<std::string> files;
};

// Reads the options after the command word (args[0]); --raw only for the
// report, the budget options only for the statistics. A mistake gives its
// text for the usage message.
std::optional<std::string> ParseCliOptions(const std::vector<std::string>& args, bool stats, TCliOptions& options);

// The file the system means, as an absolute path without links, "." or "..":
// a link is followed before a ".." after it is applied, as open() does. A
// path that resolves to no name, such as a pipe's /dev/fd/N, stays as given,
// made absolute.
std::string RealPath(const std::string& file);
// UTF-8 text from outside (a path, a message naming one) as a terminal gets
// it: with the escapes of EscapedText, so it runs no terminal command and
// stays on its line.
std::string TerminalText(const std::string& utf8);
// What the error box would say: the message, with a full stop appended when
// its last character is above '.'.
std::string ErrorBoxText(const std::string& message);
// A failure to say after the file's name: the system's reason alone when
// the system failed the operation, so that the file is named once and in
// one language; otherwise the message as the error box gives it.
std::string FailureText(const Exception& e);
// Why a path that FileAge refuses is not a model to read, in the system's
// words where it has them (missing, a loop of links, a name too long, a
// file used as a folder).
std::string UnusablePathText(const std::string& file);

}  // namespace corvida

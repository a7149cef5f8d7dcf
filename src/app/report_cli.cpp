#include "app/report_cli.h"

#include <filesystem>
#include <new>

#include "mqo/face_report.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/files.h"

namespace corvida {
namespace {

constexpr const char* kUsage =
    "usage: corvida --report [--sort none|asc|desc] [--raw] FILE...\n"
    "\n"
    "Prints the face-count report of each Metasequoia model FILE, as the\n"
    "report pane of the window would show it: a header line with the file's\n"
    "real absolute path, one line per object (face count, then the object's\n"
    "name), a total line and a separator. Files are reported one after\n"
    "another. A FILE ending in .mqoz, or any zip archive, also through a\n"
    "pipe, is an archive: the model inside it is reported. A pipe such as\n"
    "<(zcat model.mqo.gz) is read as a stream.\n"
    "\n"
    "  --sort none   object lines in file order (the default)\n"
    "  --sort asc    by face count, ascending; equal counts latest first\n"
    "  --sort desc   by face count, descending; equal counts latest first\n"
    "  --raw         print the code page 932 (Shift-JIS) bytes the pane holds,\n"
    "                instead of UTF-8; messages on standard error stay UTF-8\n"
    "  --help        print this text\n"
    "\n"
    "An error in a file (it cannot be read, or its text is malformed) is\n"
    "printed to standard error as 'corvida: FILE: message'; the file's header\n"
    "line stays on standard output and the other files are still reported.\n"
    "The exit status is 0 when every file was reported, 1 when any was not,\n"
    "2 for a usage error.\n";

struct TReportOptions {
  int sortMode = kSortNone;
  bool raw = false;
  std::vector<std::string> files;
};

int UsageError(std::ostream& err, const std::string& problem) {
  err << "corvida: " << problem << "\n" << "Try 'corvida --report --help'.\n";
  return 2;
}

bool ParseSortMode(const std::string& value, int& sortMode) {
  if (value == "none") sortMode = kSortNone;
  else if (value == "asc") sortMode = kSortAscending;
  else if (value == "desc") sortMode = kSortDescending;
  else return false;
  return true;
}

// The file the system means, as an absolute path without links, "." or "..":
// a link is followed before a ".." after it is applied, as open() does. A
// path that resolves to no name, such as a pipe's /dev/fd/N, stays as given,
// made absolute.
std::string RealPath(const std::string& file) {
  std::error_code error;
  const std::filesystem::path real = std::filesystem::canonical(file, error);
  return error ? ExpandFileName(file) : real.string();
}

// What the error box would say: the message, with a full stop appended when
// its last character is above '.'.
std::string ErrorBoxText(const std::string& message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') return message + ".";
  return message;
}

// Why the report passed over a path, in the system's words where it has them
// (missing, a loop of links, a name too long, a file used as a folder).
std::string UnusablePathText(const std::string& file) {
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(file, error);
  if (error) return error.message();
  if (std::filesystem::is_directory(status)) return "is a folder, not a file";
  return "its last-write time lies outside 1980 to 2107";
}

class TReportPrinter {
 public:
  TReportPrinter(const TReportOptions& options, std::ostream& out, std::ostream& err)
      : options_(options), out_(out), err_(err) {}

  // One file; false when it was not reported. Messages are UTF-8 and name
  // the file as it was given.
  bool Report(const std::string& file) {
    std::string error;
    try {
      const auto print = [this](std::string_view line) { out_ << line << '\n'; };
      if (!WriteReport(RealPath(file), options_.sortMode, print, options_.raw ? rsCp932 : rsUtf8))
        error = UnusablePathText(file);
    } catch (const Exception& e) {
      error = ErrorBoxText(e.Utf8Message());
    } catch (const std::bad_alloc&) {
      error = "not enough memory to read the file";
    }
    // What was reported stays reported even if a later file waits for ever
    // (a pipe without a writer) and the run is interrupted.
    out_.flush();
    if (error.empty()) return true;
    err_ << "corvida: " << file << ": " << error << '\n';
    return false;
  }

 private:
  const TReportOptions& options_;
  std::ostream& out_;
  std::ostream& err_;
};

int RunReport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  TReportOptions options;
  bool optionsEnd = false;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnd || arg.size() < 2 || arg[0] != '-') {
      options.files.push_back(arg);
    } else if (arg == "--") {
      optionsEnd = true;
    } else if (arg == "--help" || arg == "-h") {
      out << kUsage;
      return 0;
    } else if (arg == "--raw") {
      options.raw = true;
    } else if (arg == "--sort" || arg.starts_with("--sort=")) {
      std::string value;
      if (arg != "--sort") {
        value = arg.substr(7);
      } else if (i + 1 < args.size()) {
        value = args[++i];
      } else {
        return UsageError(err, "--sort needs a value: none, asc or desc");
      }
      if (!ParseSortMode(value, options.sortMode))
        return UsageError(err, "unknown sort order '" + value + "': use none, asc or desc");
    } else {
      return UsageError(err, "unknown option '" + arg + "'");
    }
  }
  if (options.files.empty()) return UsageError(err, "--report needs at least one FILE");

  TReportPrinter printer(options, out, err);
  bool allReported = true;
  for (const std::string& file : options.files) allReported = printer.Report(file) && allReported;
  out.flush();
  if (!out) {
    err << "corvida: the report could not be written to standard output\n";
    return 1;
  }
  return allReported ? 0 : 1;
}

}  // namespace

int RunCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.empty()) {
    err << kUsage;
    return 2;
  }
  if (args[0] == "--help" || args[0] == "-h") {
    out << kUsage;
    return 0;
  }
  if (args[0] == "--report") return RunReport(args, out, err);
  return UsageError(err, "unknown command '" + args[0] + "'");
}

}  // namespace corvida

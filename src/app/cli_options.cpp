#include "app/cli_options.h"

#include <filesystem>

#include "mqo/face_report.h"
#include "platform/rtl/escaped_text.h"
#include "platform/rtl/files.h"

namespace corvida {
namespace {

bool ParseSortMode(const std::string& value, int& sortMode) {
  if (value == "none") sortMode = kSortNone;
  else if (value == "asc") sortMode = kSortAscending;
  else if (value == "desc") sortMode = kSortDescending;
  else return false;
  return true;
}

bool ParseForm(const std::string& value, TOutputForm& form) {
  if (value == "text") form = foText;
  else if (value == "csv") form = foCsv;
  else if (value == "json") form = foJson;
  else if (value == "jsonl") form = foJsonLines;
  else return false;
  return true;
}

// A limit: a whole number of at most 15 digits.
std::optional<uint64_t> ParseLimit(const std::string& value) {
  if (value.empty() || value.size() > 15 || value.find_first_not_of("0123456789") != std::string::npos)
    return std::nullopt;
  return std::stoull(value);
}

}  // namespace

std::optional<std::string> ParseCliOptions(const std::vector<std::string>& args, bool stats, TCliOptions& options) {
  bool optionsEnd = false;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnd || arg.size() < 2 || arg[0] != '-') {
      // "-" alone is standard input.
      options.files.push_back(arg == "-" && !optionsEnd ? "/dev/stdin" : arg);
      continue;
    }
    if (arg == "--") {
      optionsEnd = true;
      continue;
    }
    if (arg == "--help" || arg == "-h") {
      options.help = true;
      return std::nullopt;
    }
    if (arg == "--raw" && !stats) {
      options.raw = true;
      continue;
    }
    // The options with a value, as "--name value" or "--name=value".
    const std::string name = arg.substr(0, arg.find('='));
    const bool valued = name == "--sort" || name == "--format" ||
                        (stats && (name == "--budget" || name == "--max-triangles" || name == "--max-materials" ||
                                   name == "--max-objects"));
    if (!valued) return "unknown option '" + arg + "'";
    std::string value;
    if (name != arg) {
      value = arg.substr(name.size() + 1);
    } else if (i + 1 < args.size()) {
      value = args[++i];
    } else {
      return name + " needs a value";
    }
    if (name == "--sort") {
      if (!ParseSortMode(value, options.sortMode)) return "unknown sort order '" + value + "': use none, asc or desc";
    } else if (name == "--format") {
      if (!ParseForm(value, options.form)) return "unknown format '" + value + "': use text, csv, json or jsonl";
    } else if (name == "--budget") {
      options.budget = value;
    } else {
      const std::optional<uint64_t> limit = ParseLimit(value);
      if (!limit) return name + " needs a whole number, not '" + value + "'";
      auto& target = name == "--max-triangles"   ? options.limits.triangles
                     : name == "--max-materials" ? options.limits.materials
                                                 : options.limits.objects;
      target = limit;
    }
  }
  if (options.raw && options.form != foText) return "--raw goes with the text format only";
  return std::nullopt;
}

std::string RealPath(const std::string& file) {
  std::error_code error;
  const std::filesystem::path real = std::filesystem::canonical(file, error);
  return error ? ExpandFileName(file) : real.string();
}

std::string TerminalText(const std::string& utf8) { return EscapedText(utf8, tcUtf8, tcUtf8); }

std::string ErrorBoxText(const std::string& message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') return message + ".";
  return message;
}

std::string FailureText(const Exception& e) {
  return e.Reason().empty() ? ErrorBoxText(e.Utf8Message()) : Cp932ToUtf8(e.Reason());
}

std::string UnusablePathText(const std::string& file) {
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(file, error);
  if (error) return error.message();
  if (std::filesystem::is_directory(status)) return "is a folder, not a file";
  return "its last-write time lies outside 1980 to 2107";
}

}  // namespace corvida

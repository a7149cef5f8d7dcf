#include "app/report_cli.h"

#include <algorithm>
#include <new>

#include "app/cli_options.h"
#include "app/stats_cli.h"
#include "app/version.h"
#include "app/watch_cli.h"
#include "mqo/face_report.h"
#include "mqo/face_tally.h"
#include "mqo/report_output.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/files.h"
#include "platform/rtl/ini_file.h"

namespace corvida {
namespace {

constexpr const char* kUsage =
    "usage: corvida --report [--sort none|asc|desc] [--format FORM] [--raw] FILE...\n"
    "       corvida --stats [--sort none|asc|desc] [--format FORM] [--budget NAME]\n"
    "                       [--max-triangles N] [--max-materials N] [--max-objects N] FILE...\n"
    "       corvida --watch [--stats] [--sort none|asc|desc] [--format text|jsonl] FILE...\n"
    "       corvida --budgets\n"
    "       corvida [FILE...]\n"
    "       corvida --screenshot OUT.png [FILE...]\n"
    "       corvida --help | --version\n"
    "\n"
    "Without a command corvida opens its window and appends the report of\n"
    "each FILE to its pane; Open (Ctrl+O) adds more, Clear (Ctrl+Shift+Delete)\n"
    "empties the pane, Close (Ctrl+Q, Ctrl+W) ends it, Alt+N, Alt+A and Alt+D\n"
    "choose the sort order, Tab and Ctrl+Tab move between the controls;\n"
    "\"Watch\" reports a file again, with its changes, each time it is saved.\n"
    "The last folder, the sort order, \"Details\", \"Watch\" and the window's\n"
    "place and size are kept in corvida.ini. --screenshot renders the window with the\n"
    "reports of the FILEs to a PNG file, without a display; its exit status is\n"
    "1 when a file could not be reported.\n"
    "\n"
    "--report prints the face-count report of each Metasequoia model FILE, as\n"
    "the report pane of the window would show it: a header line with the file's\n"
    "real absolute path, one line per object (face count, then the object's\n"
    "name), a total line and a separator. Files are reported one after\n"
    "another; a FILE of - is standard input. A FILE ending in .mqoz, or any\n"
    "zip archive, also through a pipe, is an archive: the model inside it is\n"
    "reported. A pipe such as <(zcat model.mqo.gz) is read as a stream.\n"
    "\n"
    "--stats prints each model's statistics: per object its faces, triangles\n"
    "(a face of n vertices makes n - 2), vertices, material slots (faces\n"
    "without a material make one), and whether it is hidden, mirrored (its\n"
    "copies count in the exported triangles; a connected mirror's joining\n"
    "faces are not counted, so its figure is an estimate), subdivided or\n"
    "lathed (their figures are the cage's); then the totals of the visible\n"
    "and of the hidden objects, and the model's count of material entries.\n"
    "\n"
    "A budget limits what the visible objects hold: their exported triangles,\n"
    "their material slots, their objects with faces. Every figure over its\n"
    "limit is named. --budget NAME takes the limits of a named budget and\n"
    "--max-triangles, --max-materials and --max-objects set or replace one.\n"
    "--budgets lists the named budgets: those that come with corvida and\n"
    "those of the settings file (sections [Budget NAME] with the keys\n"
    "Triangles, Materials, Objects, Source and Date).\n"
    "\n"
    "  --sort none   objects in file order (the default)\n"
    "  --sort asc    by face count, ascending; equal counts latest first in the\n"
    "                report, in file order in the statistics\n"
    "  --sort desc   by face count, descending, equal counts likewise\n"
    "  --format text   the report's lines, or the statistics as a table (the\n"
    "                  default)\n"
    "  --format csv    CSV with a header row and a 'kind' column\n"
    "  --format json   one JSON document for the whole call\n"
    "  --format jsonl  JSON lines: a record per object and per file\n"
    "  --raw         print the code page 932 (Shift-JIS) bytes the pane holds,\n"
    "                instead of UTF-8 (the report's text only), with the pane's\n"
    "                escapes; messages on standard error stay UTF-8\n"
    "  --help, -h    print this text\n"
    "  --version     print the version\n"
    "\n"
    "Paths and names are printed as written, except that control characters,\n"
    "bidirectional marks and bytes that are no UTF-8 are escaped as\n"
    "'ls --quoting-style=escape' does: \\\\ for a backslash, \\n, \\t, \\033 (octal),\n"
    "\\u202e, \\xff; the window's pane also escapes the characters CP932 lacks.\n"
    "JSON escapes them as JSON does. One line of output is always one line.\n"
    "\n"
    "--watch prints the report of each FILE (with --stats its statistics) and\n"
    "again each time the file has been saved and left quiet for 200 ms, then\n"
    "the changes since its previous report: per object the change of its\n"
    "faces and triangles, new and gone objects, and the totals; with --format\n"
    "jsonl a record of kind \"changes\". A save still being written (a model\n"
    "without its Eof) is read again once more before it is reported; a file\n"
    "that goes is announced once and followed when it comes back. It runs\n"
    "until Ctrl+C, SIGTERM or the end of its standard output's reader, and\n"
    "then exits with status 0.\n"
    "\n"
    "An error in a file (it cannot be read, or its text is malformed) is\n"
    "printed to standard error as 'corvida: FILE: message', or\n"
    "'corvida: FILE:LINE: message' where a line is to blame, and warnings as\n"
    "'corvida: FILE:LINE: warning: message'; the file's header line stays on\n"
    "standard output, the other files are still reported, and the JSON forms\n"
    "carry the error in the file's record. A text report in file order prints\n"
    "each line as it is read, so a file that fails part-way may leave the\n"
    "lines read before the error, but never a total line. The exit status is\n"
    "0 when every file was reported, 1 when any was not, 2 for a usage error,\n"
    "and 3 when a model is over its budget.\n";

// Prints text; a standard output that cannot take it is an error.
int Print(const std::string& text, std::ostream& out, std::ostream& err) {
  out << text;
  out.flush();
  if (out) return 0;
  err << "corvida: standard output could not be written\n";
  return 1;
}

int UsageError(std::ostream& err, const std::string& problem) {
  err << "corvida: " << TerminalText(problem) << "\n" << "Try 'corvida --help'.\n";
  return 2;
}

}  // namespace

bool ReportFile(const std::string& file, const TCliOptions& options, TReportWriter* writer, std::ostream& out,
                std::ostream& err) {
  // Opened as given: its absolute form, which is shown, may be too long to
  // open.
  const std::string shown = RealPath(file);
  std::string error;
  TFaceCounts counts(rsFile);
  bool counted = false;
  try {
    if (writer == nullptr) {
      const auto print = [&out](std::string_view line) { out << line << '\n'; };
      if (!WriteReport(file, shown, options.sortMode, print, options.raw ? rsCp932 : rsUtf8))
        error = UnusablePathText(file);
    } else if (!FileAge(file)) {
      error = UnusablePathText(file);
    } else {
      CountFacesOfFile(file, options.sortMode, counts);
      counted = true;
    }
  } catch (const Exception& e) {
    error = FailureText(e);
  } catch (const std::bad_alloc&) {
    error = "not enough memory to read the file";
  }
  if (writer != nullptr) writer->File({shown, counted ? &counts : nullptr, error});
  // What was reported stays reported even if a later file waits for ever
  // (a pipe without a writer) and the run is interrupted.
  out.flush();
  if (error.empty()) return true;
  err << "corvida: " << TerminalText(file) << ": " << TerminalText(error) << '\n';
  return false;
}

namespace {

int RunReport(const TCliOptions& options, std::ostream& out, std::ostream& err) {
  std::unique_ptr<TReportWriter> writer;
  if (options.form != foText) writer = MakeReportWriter(options.form, out);
  bool allReported = true;
  for (const std::string& file : options.files) allReported = ReportFile(file, options, writer.get(), out, err) && allReported;
  if (writer) writer->End();
  out.flush();
  if (!out) {
    err << "corvida: the report could not be written to standard output\n";
    return 1;
  }
  return allReported ? 0 : 1;
}

std::vector<TBudget> Profiles(const std::string& settingsFile) {
  return BudgetProfiles(settingsFile.empty() ? TIniText() : TIniFile(settingsFile).ReadText());
}

}  // namespace

int RunCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                   const std::string& settingsFile) {
  if (args.empty()) {
    err << kUsage;
    return 2;
  }
  const std::string& command = args[0];
  if (command == "--help" || command == "-h") return Print(kUsage, out, err);
  if (command == "--version") return Print(std::string("corvida ") + kVersion + "\n", out, err);
  if (command == "--budgets") {
    ListBudgets(Profiles(settingsFile), out);
    return 0;
  }
  if (command != "--report" && command != "--stats" && command != "--watch")
    return UsageError(err, "unknown option '" + command + "'");
  // --watch follows the report, or with --stats the statistics.
  std::vector<std::string> words = args;
  const auto statsWord = std::find(words.begin(), std::find(words.begin(), words.end(), "--"), "--stats");
  const bool watch = command == "--watch";
  const bool stats = command == "--stats" || (watch && statsWord != words.end());
  if (watch && stats) words.erase(statsWord);
  TCliOptions options;
  if (const std::optional<std::string> problem = ParseCliOptions(words, stats, options)) return UsageError(err, *problem);
  if (options.help) return Print(kUsage, out, err);
  if (options.files.empty()) return UsageError(err, command + " needs at least one FILE");
  if (watch && (options.form == foCsv || options.form == foJson || options.raw))
    return UsageError(err, "--watch prints --format text or jsonl");
  if (!stats && !watch) return RunReport(options, out, err);

  TBudgetLimits limits;
  if (options.budget) {
    const std::optional<TBudget> budget = FindBudget(Profiles(settingsFile), *options.budget);
    if (!budget) return UsageError(err, "unknown budget '" + *options.budget + "': 'corvida --budgets' lists them");
    if (!budget->problem.empty()) return UsageError(err, "budget '" + budget->name + "': " + budget->problem);
    limits = budget->limits;
  }
  for (const auto limit : {&TBudgetLimits::triangles, &TBudgetLimits::materials, &TBudgetLimits::objects})
    if (options.limits.*limit) limits.*limit = options.limits.*limit;
  if (watch) return RunWatch(options, stats, limits, out, err);
  return RunStats(options, limits, out, err);
}

}  // namespace corvida

#pragma once
// The statistics of the files of one call in the forms people and scripts
// read: an aligned text table, CSV, one JSON document, or JSON lines. All
// are UTF-8; names are decoded from each file's code page.
#include <cstdint>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "mqo/budget.h"
#include "mqo/model_stats.h"

namespace corvida {

enum TOutputForm { foText, foCsv, foJson, foJsonLines };

// One file: its statistics, or what went wrong with it.
struct TStatsFile {
  // The file's real path, the file system's bytes.
  std::string path;
  std::optional<TModelStats> stats;
  // UTF-8; empty when the file was read.
  std::string error;
  // The line of the error, or 0.
  uint64_t errorLine = 0;
  std::vector<TOverBudget> over;
};

// The objects of stats in the order of a sort mode: by faces, ascending or
// descending, equal counts in file order.
std::vector<size_t> SortedObjects(const TModelStats& stats, int sortMode);

// The marks of an object for people, between separators: hidden, mirror
// ×2 to ×8 (connected ones an estimate), subdivided, lathe; times is the
// sign "×" in the spelling wanted.
std::string ObjectMarks(const TObjectStats& object, std::string_view times, std::string_view separator);

class TStatsWriter {
 public:
  virtual ~TStatsWriter() = default;
  virtual void File(const TStatsFile& file) = 0;
  // After the last file.
  virtual void End() {}
};

// budgetName names the budget in the text form, empty when none is set.
std::unique_ptr<TStatsWriter> MakeStatsWriter(TOutputForm form, std::ostream& out, int sortMode,
                                              const std::optional<std::string>& budgetName);

}  // namespace corvida

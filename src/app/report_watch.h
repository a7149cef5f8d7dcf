#pragma once
// The window's "Watch": while it is on, every file reported in this run is
// followed, and a file that settles after a save is reported again with what
// changed since its previous report. A save still being written (a model
// without its Eof, an archive without its end) is looked at once more after
// another settling time before it is reported as it is.
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "mqo/model_stats.h"
#include "platform/winsys/file_changes.h"

namespace corvida {

class TReportWatch {
 public:
  // Notices go to target as WM_FILENOTICE.
  explicit TReportWatch(TWindow* target) : target_(target) {}

  bool On() const { return changes_ != nullptr; }
  // Turned on, the files reported so far are followed too; turned off,
  // nothing is followed and no figures are kept.
  void SetOn(bool on);

  // A report of path (the file system's bytes) went into the pane, with the
  // model's figures when they were read. Answers the pane's lines (CP932)
  // of the changes since the previous report of path, none when there is
  // nothing to compare.
  std::vector<std::string> Reported(const std::string& path, const std::optional<TModelStats>& figures);

  // What the notices that arrived ask of the window: files to report again,
  // and comment lines (CP932) for the pane. A file that settles while
  // another report is read (busy) is looked at again later.
  struct TRequests {
    std::vector<std::string> files;
    std::vector<std::string> lines;
  };
  TRequests TakeNotices(bool busy);

 private:
  TWindow* target_;
  std::unique_ptr<TFileChanges> changes_;
  std::vector<std::string> reported_;
  std::map<std::string, TModelStats> figures_;
  // Files that read unfinished once and wait for one more settling.
  std::set<std::string> waited_;
};

// Whether the model file at path ends as a finished save does: text whose
// last word is Eof, or a zip archive with its end record.
bool ModelLooksFinished(const std::string& path);

}  // namespace corvida

#include "app/report_watch.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>

#include "mqo/model_changes.h"
#include "platform/rtl/escaped_text.h"

namespace corvida {
namespace {

// The last bytes of the file; empty when it cannot be read.
std::string Tail(int fd, off_t size, size_t count) {
  const off_t from = size > static_cast<off_t>(count) ? size - static_cast<off_t>(count) : 0;
  std::string tail(static_cast<size_t>(size - from), '\0');
  const ssize_t n = ::pread(fd, tail.data(), tail.size(), from);
  tail.resize(n > 0 ? static_cast<size_t>(n) : 0);
  return tail;
}

}  // namespace

bool ModelLooksFinished(const std::string& path) {
  // Not blocking: a pipe without a writer must not hold the window.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return true;  // the report says why
  const off_t size = ::lseek(fd, 0, SEEK_END);
  if (size < 0) {
    // Not a file to look into the end of: only its report can tell.
    ::close(fd);
    return true;
  }
  char head[4] = {};
  const bool archive = ::pread(fd, head, sizeof head, 0) == 4 && std::string_view(head, 4) == "PK\x03\x04";
  // An archive's end record lies within its last 64 KB (a comment at most).
  std::string tail = Tail(fd, size, archive ? 65536 + 22 : 64);
  ::close(fd);
  if (archive) return tail.find("PK\x05\x06") != std::string::npos;
  while (!tail.empty() && (std::isspace(static_cast<unsigned char>(tail.back())) || tail.back() == '\0'))
    tail.pop_back();
  return tail.ends_with("Eof");
}

void TReportWatch::SetOn(bool on) {
  if (on == On()) return;
  if (!on) {
    changes_.reset();
    figures_.clear();
    waited_.clear();
    return;
  }
  changes_ = std::make_unique<TFileChanges>(target_);
  for (const std::string& path : reported_) changes_->Add(path);
}

std::vector<std::string> TReportWatch::Reported(const std::string& path,
                                                const std::optional<TModelStats>& figures) {
  if (std::find(reported_.begin(), reported_.end(), path) == reported_.end()) reported_.push_back(path);
  if (!On()) return {};
  changes_->Add(path);
  std::vector<std::string> lines;
  const auto previous = figures_.find(path);
  if (previous != figures_.end() && figures) {
    lines = ChangesLines(path, ModelChanges(previous->second, *figures), tcCp932);
  }
  if (figures) figures_[path] = *figures;
  else figures_.erase(path);
  return lines;
}

TReportWatch::TRequests TReportWatch::TakeNotices(bool busy) {
  TRequests requests;
  if (!On()) return requests;
  for (const TFileNotice& notice : changes_->Take()) {
    switch (notice.kind) {
      case fnPolling:
        requests.lines.push_back(EscapedText("// changes are looked for every " +
                                                 std::to_string(TFileWatch::kPollMs) + " ms: " + notice.reason,
                                             tcUtf8, tcCp932));
        break;
      case fnGone:
        waited_.erase(notice.path);
        requests.lines.push_back("// " + EscapedText(notice.path, tcUtf8, tcCp932) +
                                 " is gone; watching for it to come back");
        break;
      case fnSettled:
        if (busy || (!ModelLooksFinished(notice.path) && waited_.insert(notice.path).second)) {
          changes_->Again(notice.path);
        } else {
          waited_.erase(notice.path);
          requests.files.push_back(notice.path);
        }
        break;
    }
  }
  return requests;
}

}  // namespace corvida

#include "platform/rtl/file_watch.h"

#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

namespace corvida {
namespace {

constexpr uint32_t kEvents = IN_MODIFY | IN_ATTRIB | IN_CLOSE_WRITE | IN_MOVED_FROM | IN_MOVED_TO | IN_CREATE |
                             IN_DELETE | IN_DELETE_SELF | IN_MOVE_SELF;

// The watch is gone or no longer stands for the folder's place.
constexpr uint32_t kFolderLost = IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED | IN_UNMOUNT;

bool SameTime(const timespec& a, const timespec& b) { return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec; }

// Out of watches or of kernel memory: events will not come for this file.
bool NoMoreWatches(int error) { return error == ENOSPC || error == ENOMEM; }

}  // namespace

bool TFileWatch::TLook::operator==(const TLook& other) const {
  if (exists != other.exists) return false;
  return !exists || (device == other.device && inode == other.inode && mode == other.mode && size == other.size &&
                     SameTime(modified, other.modified) && SameTime(changed, other.changed));
}

TFileWatch::TFileWatch(bool events) {
  if (!events) return;
  fd_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (fd_ < 0) SayPolling(errno);
}

TFileWatch::~TFileWatch() {
  if (fd_ >= 0) ::close(fd_);
}

TFileWatch::TLook TFileWatch::LookAt(const std::string& path) {
  struct stat st {};
  TLook look;
  if (::stat(path.c_str(), &st) != 0) return look;
  look.exists = true;
  look.device = st.st_dev;
  look.inode = st.st_ino;
  look.mode = st.st_mode;
  look.size = st.st_size;
  look.modified = st.st_mtim;
  look.changed = st.st_ctim;
  return look;
}

bool TFileWatch::Watches(const std::string& path) const {
  return std::any_of(watched_.begin(), watched_.end(), [&](const TWatched& w) { return w.path == path; });
}

void TFileWatch::Again(const std::string& path, int64_t now) {
  for (TWatched& w : watched_)
    if (w.path == path) Changed(w, now);
}

void TFileWatch::Add(const std::string& path, int64_t now) {
  if (Watches(path)) return;
  TWatched w;
  w.path = path;
  // The file system's bytes: a plain '/' search, as open() splits them.
  const size_t slash = path.rfind('/');
  w.folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  w.name = slash == std::string::npos ? path : path.substr(slash + 1);
  w.seen = LookAt(path);
  w.goneSaid = !w.seen.exists;
  Arm(w, now);
  watched_.push_back(std::move(w));
}

void TFileWatch::Arm(TWatched& w, int64_t now) {
  w.nextPoll = now + kPollMs;
  if (fd_ < 0) return;
  const int folder = ::inotify_add_watch(fd_, w.folder.c_str(), kEvents | IN_ONLYDIR);
  if (folder < 0) {
    // A folder that is not there is polled until it is; only running out
    // of watches is worth saying.
    if (NoMoreWatches(errno)) SayPolling(errno);
    return;
  }
  w.folderWatch = folder;
  if (!S_ISREG(w.seen.mode)) return;
  const int file = ::inotify_add_watch(fd_, w.path.c_str(), kEvents);
  if (file < 0 && NoMoreWatches(errno)) {
    SayPolling(errno);
    w.folderWatch = -1;
    Forget(folder);
    return;
  }
  // A file (a link's target among them) written elsewhere than through this
  // folder is seen by its own watch; once it is replaced, the new file is.
  const int old = w.fileWatch;
  w.fileWatch = file;
  if (old != file) Forget(old);
}

void TFileWatch::Forget(int watch) {
  if (watch < 0) return;
  const bool used = std::any_of(watched_.begin(), watched_.end(), [&](const TWatched& w) {
    return w.folderWatch == watch || w.fileWatch == watch;
  });
  if (!used) ::inotify_rm_watch(fd_, watch);
}

void TFileWatch::Changed(TWatched& w, int64_t now) {
  w.changing = true;
  w.quietSince = now;
}

void TFileWatch::ReadEvents(int64_t now) {
  alignas(inotify_event) char buffer[16 * 1024];
  for (;;) {
    const ssize_t n = ::read(fd_, buffer, sizeof buffer);
    if (n <= 0) return;
    for (ssize_t at = 0; at < n;) {
      const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
      at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      for (TWatched& w : watched_) {
        if (event->mask & IN_Q_OVERFLOW) {
          Changed(w, now);
        } else if (event->wd == w.folderWatch && (event->mask & kFolderLost)) {
          // The folder went: poll until one is there again.
          w.folderWatch = -1;
          if (!(event->mask & IN_IGNORED)) Forget(event->wd);
          w.seen = LookAt(w.path);
          w.nextPoll = now + kPollMs;
          Changed(w, now);
        } else if (event->wd == w.folderWatch && event->len > 0 && w.name == event->name) {
          Changed(w, now);
        } else if (event->wd == w.fileWatch) {
          if (event->mask & IN_IGNORED) w.fileWatch = -1;
          Changed(w, now);
        }
      }
    }
  }
}

std::vector<TFileNotice> TFileWatch::Check(int64_t now) {
  if (fd_ >= 0) ReadEvents(now);
  for (TWatched& w : watched_) {
    if (Polled(w) && now >= w.nextPoll) {
      Arm(w, now);
      const TLook look = LookAt(w.path);
      if (!(look == w.seen)) {
        w.seen = look;
        Changed(w, now);
      }
    }
    if (!w.changing || now - w.quietSince < kSettleMs) continue;
    const TLook look = LookAt(w.path);
    if (Polled(w) && !(look == w.seen)) {
      // Without events only a look that stays the same tells it is quiet.
      w.seen = look;
      w.quietSince = now;
      continue;
    }
    w.seen = look;
    w.changing = false;
    if (!look.exists) {
      if (!w.goneSaid) pending_.push_back({w.path, fnGone, {}});
      w.goneSaid = true;
      continue;
    }
    w.goneSaid = false;
    if (!Polled(w)) Arm(w, now);
    pending_.push_back({w.path, fnSettled, {}});
  }
  return std::exchange(pending_, {});
}

int64_t TFileWatch::Timeout(int64_t now) const {
  if (!pending_.empty()) return 0;
  int64_t due = -1;
  const auto sooner = [&](int64_t at) { due = due < 0 ? at : std::min(due, at); };
  for (const TWatched& w : watched_) {
    if (w.changing) sooner(w.quietSince + kSettleMs);
    if (Polled(w)) sooner(w.nextPoll);
  }
  return due < 0 ? -1 : std::max<int64_t>(0, due - now);
}

void TFileWatch::SayPolling(int error) {
  if (pollingSaid_) return;
  pollingSaid_ = true;
  // ENOSPC's own words ("No space left on device") would mislead here.
  pending_.push_back({{},
                      fnPolling,
                      error == ENOSPC ? "the limit of inotify watches is reached (fs.inotify.max_user_watches)"
                                      : std::strerror(error)});
}

}  // namespace corvida

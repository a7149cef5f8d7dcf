#pragma once
// Following files on disk as they are saved. A file is watched through its
// folder and through itself with inotify, so a save that writes a new file
// and renames it over the old one, or deletes the file and writes it again,
// is seen as well as a write in place or a write to a link's target. Where
// the system sends no events (the watch cannot be set: a file system without
// them, the watches used up, a folder that is not there) the file's identity,
// size and times are polled instead. A change is handed on once the file has
// been quiet for kSettleMs, so a burst of writes gives one notice.
//
// The clock is the caller's: milliseconds on a steady clock, passed in, so a
// test steps time instead of sleeping.
#include <sys/types.h>

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

namespace corvida {

enum TFileNoticeKind {
  // The file changed and has been quiet since: read it now.
  fnSettled,
  // The file is no longer there; said once until it comes back.
  fnGone,
  // Events are not to be had; from now on files are polled. Said once.
  fnPolling,
};

struct TFileNotice {
  // As given to Add; empty for fnPolling.
  std::string path;
  TFileNoticeKind kind;
  // fnPolling: the system's reason.
  std::string reason;
};

class TFileWatch {
 public:
  static constexpr int64_t kSettleMs = 200;
  static constexpr int64_t kPollMs = 500;

  // events false polls from the start, as where the system has no events.
  explicit TFileWatch(bool events = true);
  ~TFileWatch();
  TFileWatch(const TFileWatch&) = delete;
  TFileWatch& operator=(const TFileWatch&) = delete;

  // Starts following path (the file system's bytes) from its state now;
  // adding a path already followed does nothing.
  void Add(const std::string& path, int64_t now);
  bool Watches(const std::string& path) const;
  // Hands path on once more after a settling time from now, changed or not:
  // for a model that read unfinished, in case its save was only paused.
  void Again(const std::string& path, int64_t now);
  // The descriptor that becomes readable when events arrive; -1 without
  // events.
  int Descriptor() const { return fd_; }
  // Takes the events that arrived and answers the notices due at now.
  std::vector<TFileNotice> Check(int64_t now);
  // Milliseconds from now until Check has something to do; -1 when only an
  // event on Descriptor can bring news, so a caller with nothing changing
  // waits without waking.
  int64_t Timeout(int64_t now) const;

 private:
  // What a look at a file shows; two looks differ when the file changed.
  struct TLook {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    mode_t mode = 0;
    off_t size = 0;
    timespec modified{};
    timespec changed{};
    bool operator==(const TLook& other) const;
  };
  struct TWatched {
    std::string path;
    std::string folder;
    std::string name;
    int folderWatch = -1;
    int fileWatch = -1;
    TLook seen;  // at the last look
    bool changing = false;
    int64_t quietSince = 0;
    int64_t nextPoll = 0;
    bool goneSaid = false;
  };

  static TLook LookAt(const std::string& path);
  bool Polled(const TWatched& w) const { return w.folderWatch < 0; }
  void Arm(TWatched& w, int64_t now);
  void Forget(int watch);
  void ReadEvents(int64_t now);
  void Changed(TWatched& w, int64_t now);
  void SayPolling(int error);

  int fd_ = -1;
  std::vector<TWatched> watched_;
  std::vector<TFileNotice> pending_;
  bool pollingSaid_ = false;
};

}  // namespace corvida

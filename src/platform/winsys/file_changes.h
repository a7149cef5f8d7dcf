#pragma once
// The window system's file-change service: files followed as TFileWatch
// follows them, their notices posted to a window as WM_FILENOTICE. The
// window system looks for them whenever its queue runs dry, and the backend
// wakes for them from its wait: when the watch's descriptor becomes
// readable or at the time the watch names. A window takes the notices with
// Take when the message arrives.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/rtl/file_watch.h"
#include "platform/winsys/win_defs.h"

namespace corvida {

class TWindow;

// Notices wait in the file-change service of the window it is posted to.
inline constexpr UINT WM_FILENOTICE = 0x8000 + 0x100;

class TFileChanges {
 public:
  // Posts to target, which must outlive this.
  explicit TFileChanges(TWindow* target);
  ~TFileChanges();
  TFileChanges(const TFileChanges&) = delete;
  TFileChanges& operator=(const TFileChanges&) = delete;

  void Add(const std::string& path);
  bool Watches(const std::string& path) const { return watch_.Watches(path); }
  // See TFileWatch::Again.
  void Again(const std::string& path);
  // The notices that arrived since the last call.
  std::vector<TFileNotice> Take();

  // For the window system's wait.
  int Descriptor() const { return watch_.Descriptor(); }
  int64_t Timeout(int64_t now) const { return watch_.Timeout(now); }
  // Takes what the watch has to say at now; posts one WM_FILENOTICE when
  // notices came and none is waiting yet.
  void Check(int64_t now);

 private:
  TWindow* target_;
  TFileWatch watch_;
  std::vector<TFileNotice> notices_;
};

}  // namespace corvida

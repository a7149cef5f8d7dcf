#include "platform/winsys/file_changes.h"

#include <utility>

#include "platform/winsys/window_system.h"

namespace corvida {

TFileChanges::TFileChanges(TWindow* target) : target_(target) { WindowSystem().AddFileChanges(this); }

TFileChanges::~TFileChanges() { WindowSystem().RemoveFileChanges(this); }

void TFileChanges::Add(const std::string& path) { watch_.Add(path, WindowSystem().NowMs()); }

void TFileChanges::Again(const std::string& path) { watch_.Again(path, WindowSystem().NowMs()); }

std::vector<TFileNotice> TFileChanges::Take() { return std::exchange(notices_, {}); }

void TFileChanges::Check(int64_t now) {
  std::vector<TFileNotice> arrived = watch_.Check(now);
  if (arrived.empty()) return;
  const bool posted = !notices_.empty();
  notices_.insert(notices_.end(), arrived.begin(), arrived.end());
  if (!posted) PostMessage(target_, WM_FILENOTICE, 0, 0);
}

}  // namespace corvida

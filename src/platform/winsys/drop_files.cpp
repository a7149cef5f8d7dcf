#include "platform/winsys/drop_files.h"

#include <cstring>
#include <string_view>

#include "platform/winsys/window_system.h"

namespace corvida {

void DragAcceptFiles(TWindow* window, bool accept) {
  if (window == nullptr) return;
  window->SetExStyle(accept ? window->ExStyle() | WS_EX_ACCEPTFILES : window->ExStyle() & ~WS_EX_ACCEPTFILES);
}

TWindow* DropTarget(TWindow* target) {
  while (target != nullptr && !(target->ExStyle() & WS_EX_ACCEPTFILES)) target = target->Parent();
  return target;
}

// The block holds each path followed by a NUL, and one more NUL at the end.
bool PostDropFiles(TWindow* target, const std::vector<std::string>& paths) {
  TWindow* window = DropTarget(target);
  if (window == nullptr || paths.empty()) return false;
  std::string list;
  for (const std::string& path : paths) {
    if (path.empty() || path.find('\0') != std::string::npos) return false;
    list += path;
    list += '\0';
  }
  list += '\0';
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, list.size());
  void* bytes = GlobalLock(block);
  if (bytes == nullptr) return false;
  std::memcpy(bytes, list.data(), list.size());
  GlobalUnlock(block);
  if (PostMessage(window, WM_DROPFILES, block, 0)) return true;
  GlobalFree(block);
  return false;
}

std::vector<std::string> DragQueryFiles(HDROP drop) {
  std::vector<std::string> paths;
  const char* bytes = static_cast<const char*>(GlobalLock(drop));
  if (bytes == nullptr) return paths;
  const size_t size = GlobalSize(drop);
  for (size_t at = 0; at < size && bytes[at] != '\0';) {
    const size_t end = std::string_view(bytes + at, size - at).find('\0');
    if (end == std::string_view::npos) break;
    paths.emplace_back(bytes + at, end);
    at += end + 1;
  }
  GlobalUnlock(drop);
  return paths;
}

void DragFinish(HDROP drop) { GlobalFree(drop); }

}  // namespace corvida

#include "platform/winsys/clipboard.h"

#include <cstring>
#include <vector>

#include "platform/rtl/cp932.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/scope_guard.h"
#include "platform/winsys/window_system.h"

namespace corvida {
namespace {

// Blocks larger than this are refused rather than exhausting memory.
constexpr size_t kMaxBlock = size_t{1} << 30;

struct TBlock {
  std::vector<char> bytes;
  int locks = 0;
};

struct TClipboardState {
  std::map<HGLOBAL, TBlock> blocks;
  HGLOBAL nextBlock = 0x1000;
  TClipboardContents contents;
  std::map<UINT, HGLOBAL> handedOut;  // blocks given by GetClipboardData
  std::vector<std::string> names;     // registered formats from 0xC000
  bool open = false;
  HWND owner = 0;
  bool changed = false;
  std::string primary;
};

TClipboardState& State() {
  static TClipboardState state;
  return state;
}

void DropHandedOut() {
  TClipboardState& s = State();
  for (auto& [format, block] : s.handedOut) s.blocks.erase(block);
  s.handedOut.clear();
}

}  // namespace

HGLOBAL GlobalAlloc(UINT flags, size_t size) {
  if (size > kMaxBlock) return 0;
  TClipboardState& s = State();
  HGLOBAL h = s.nextBlock++;
  s.blocks[h].bytes.assign(size, '\0');
  return h;
}

void* GlobalLock(HGLOBAL block) {
  auto& blocks = State().blocks;
  auto it = blocks.find(block);
  if (it == blocks.end()) return nullptr;
  ++it->second.locks;
  return it->second.bytes.data();
}

bool GlobalUnlock(HGLOBAL block) {
  auto& blocks = State().blocks;
  auto it = blocks.find(block);
  if (it == blocks.end() || it->second.locks == 0) return false;
  return --it->second.locks > 0;
}

size_t GlobalSize(HGLOBAL block) {
  auto& blocks = State().blocks;
  auto it = blocks.find(block);
  return it == blocks.end() ? 0 : it->second.bytes.size();
}

HGLOBAL GlobalFree(HGLOBAL block) {
  TClipboardState& s = State();
  for (const auto& [format, handed] : s.handedOut)
    if (handed == block) return block;  // the clipboard's own
  return s.blocks.erase(block) ? 0 : block;
}

bool OpenClipboard(TWindow* owner) {
  TClipboardState& s = State();
  HWND h = owner ? owner->Handle() : 0;
  if (s.open && s.owner != h) return false;
  if (!s.open) {
    s.open = true;
    s.owner = h;
    s.changed = false;
    if (TBackend* b = WindowSystem().Backend()) b->ClipboardOpened(s.contents);
  }
  return true;
}

bool CloseClipboard() {
  TClipboardState& s = State();
  if (!s.open) return false;
  s.open = false;
  DropHandedOut();
  if (s.changed)
    if (TBackend* b = WindowSystem().Backend()) b->ClipboardChanged(s.contents);
  s.changed = false;
  return true;
}

bool EmptyClipboard() {
  TClipboardState& s = State();
  if (!s.open) return false;
  DropHandedOut();
  s.contents.formats.clear();
  s.changed = true;
  return true;
}

bool TBackend::ClipboardHasFormat(const TClipboardContents& contents, UINT format) {
  return contents.formats.count(format) != 0;
}

bool IsClipboardFormatAvailable(UINT format) {
  const TClipboardState& s = State();
  TBackend* b = WindowSystem().Backend();
  if (s.open || !b) return s.contents.formats.count(format) != 0;
  return b->ClipboardHasFormat(s.contents, format);
}

HGLOBAL SetClipboardData(UINT format, HGLOBAL block) {
  TClipboardState& s = State();
  auto it = s.blocks.find(block);
  if (!s.open || format == 0 || it == s.blocks.end()) return 0;
  std::string bytes(it->second.bytes.begin(), it->second.bytes.end());
  if (format == CF_TEXT) bytes.resize(std::strlen(bytes.c_str()));
  s.contents.formats[format] = std::move(bytes);
  s.blocks.erase(it);
  s.changed = true;
  return block;
}

HGLOBAL GetClipboardData(UINT format) {
  TClipboardState& s = State();
  if (!s.open) return 0;
  auto it = s.contents.formats.find(format);
  if (it == s.contents.formats.end()) return 0;
  if (auto h = s.handedOut.find(format); h != s.handedOut.end()) return h->second;
  const std::string& bytes = it->second;
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size() + (format == CF_TEXT ? 1 : 0));
  if (!block) return 0;
  std::memcpy(s.blocks[block].bytes.data(), bytes.data(), bytes.size());
  s.handedOut[format] = block;
  return block;
}

UINT RegisterClipboardFormat(const std::string& name) {
  if (name.empty()) return 0;
  auto& names = State().names;
  for (size_t i = 0; i < names.size(); ++i)
    if (AnsiSameText(names[i], name)) return kFirstRegisteredFormat + static_cast<UINT>(i);
  names.push_back(name);
  return kFirstRegisteredFormat + static_cast<UINT>(names.size() - 1);
}

std::string GetClipboardFormatName(UINT format) {
  auto& names = State().names;
  if (format < kFirstRegisteredFormat || format - kFirstRegisteredFormat >= names.size()) return {};
  return names[format - kFirstRegisteredFormat];
}

void SetClipboardText(const std::string& text, std::initializer_list<UINT> markers) {
  if (!OpenClipboard(nullptr)) throw EClipboardError("the clipboard is in use by another window");
  ScopeGuard closed([] { CloseClipboard(); });
  EmptyClipboard();
  const std::string bytes(text.c_str());
  std::vector<UINT> formats{CF_TEXT};
  formats.insert(formats.end(), markers.begin(), markers.end());
  for (UINT format : formats) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size() + 1);
    if (!block) throw EClipboardError("the text is too large for the clipboard");
    std::memcpy(GlobalLock(block), bytes.c_str(), bytes.size() + 1);
    GlobalUnlock(block);
    if (!SetClipboardData(format, block)) GlobalFree(block);
  }
}

std::string GetClipboardText() {
  if (!OpenClipboard(nullptr)) return {};
  std::string text;
  if (HGLOBAL block = GetClipboardData(CF_TEXT)) {
    const char* p = static_cast<const char*>(GlobalLock(block));
    text.assign(p, strnlen(p, GlobalSize(block)));
    GlobalUnlock(block);
  }
  CloseClipboard();
  return text;
}

const TClipboardContents& ClipboardContents() { return State().contents; }

void SetPrimarySelection(const std::string& text) {
  State().primary = text;
  if (TBackend* b = WindowSystem().Backend()) b->PrimarySelectionChanged(text);
}

std::string GetPrimarySelection() {
  std::string& primary = State().primary;
  if (TBackend* b = WindowSystem().Backend()) b->PrimarySelectionWanted(primary);
  return primary;
}

}  // namespace corvida

#pragma once
// The clipboard and the movable global memory blocks it trades in. The
// clipboard is opened and closed around each use; CF_TEXT holds CP932 text
// ending with a NUL; other formats are registered by name.
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <string>

#include "platform/winsys/window.h"

namespace corvida {

using HGLOBAL = uintptr_t;

// The bytes of each format on the clipboard, as the backend exchanges them.
struct TClipboardContents {
  std::map<UINT, std::string> formats;
};

// Movable memory: a handle names a block; Lock gives its address until
// Unlock. Unknown handles are refused (0 or null), never trusted.
HGLOBAL GlobalAlloc(UINT flags, size_t size);
void* GlobalLock(HGLOBAL block);
bool GlobalUnlock(HGLOBAL block);
size_t GlobalSize(HGLOBAL block);
// 0 when freed; the handle itself when it named no block.
HGLOBAL GlobalFree(HGLOBAL block);

// One opener at a time; false when another window holds it open.
bool OpenClipboard(TWindow* owner);
bool CloseClipboard();
bool EmptyClipboard();
// While the clipboard is open, what it holds for this program; otherwise the
// desktop's clipboard is asked, so data another program put there counts at
// once.
bool IsClipboardFormatAvailable(UINT format);
// Takes over block (the caller must not use or free it afterwards); the
// clipboard must be open. Answers block, or 0 on failure.
HGLOBAL SetClipboardData(UINT format, HGLOBAL block);
// A block owned by the clipboard, valid while it stays open; 0 when absent
// or closed.
HGLOBAL GetClipboardData(UINT format);
// The same id for the same name (compared without case), from 0xC000 on; 0
// for an empty name.
UINT RegisterClipboardFormat(const std::string& name);
std::string GetClipboardFormatName(UINT format);

// Plain-text helpers that open and close the clipboard themselves. The text
// ends at its first NUL. SetClipboardText also puts the text under each of
// markers (formats that say what kind of text it is), in the same opening;
// it raises EClipboardError when the clipboard cannot be opened or the text
// is too large.
void SetClipboardText(const std::string& text, std::initializer_list<UINT> markers = {});
std::string GetClipboardText();

// The contents for tests and backends.
const TClipboardContents& ClipboardContents();

// The primary selection of the X desktop, beside the Windows clipboard: the
// text last selected anywhere, which the middle button pastes. CP932 text;
// a desktop backend shares it with the other programs.
void SetPrimarySelection(const std::string& text);
std::string GetPrimarySelection();

}  // namespace corvida

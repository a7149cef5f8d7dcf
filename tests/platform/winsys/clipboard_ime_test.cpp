#include <gtest/gtest.h>

#include <cstring>

#include "platform/rtl/exceptions.h"
#include "platform/winsys/backend.h"
#include "platform/winsys/clipboard.h"
#include "platform/winsys/ime.h"
#include "platform/winsys/input.h"
#include "platform/winsys/window_system.h"

namespace corvida {
namespace {

HGLOBAL BlockOf(const std::string& bytes) {
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
  std::memcpy(GlobalLock(h), bytes.data(), bytes.size());
  GlobalUnlock(h);
  return h;
}

TEST(Clipboard, TextIsNulTerminatedCp932AndAFormatMarksABox) {
  TWindow owner(nullptr, {0, 0, 10, 10});
  UINT box = RegisterClipboardFormat("TEditor Box Type");
  EXPECT_GE(box, 0xC000u);
  EXPECT_EQ(RegisterClipboardFormat("teditor box type"), box);
  EXPECT_NE(RegisterClipboardFormat("Another"), box);
  EXPECT_EQ(GetClipboardFormatName(box), "TEditor Box Type");

  ASSERT_TRUE(OpenClipboard(&owner));
  EXPECT_TRUE(EmptyClipboard());
  std::string text = "ab\r\n\x8a\xbf\r\n";
  EXPECT_NE(SetClipboardData(CF_TEXT, BlockOf(text + '\0' + "junk")), 0u);
  EXPECT_NE(SetClipboardData(box, BlockOf(text + '\0')), 0u);
  EXPECT_TRUE(CloseClipboard());

  EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
  EXPECT_TRUE(IsClipboardFormatAvailable(box));
  EXPECT_EQ(GetClipboardData(CF_TEXT), 0u);  // closed
  ASSERT_TRUE(OpenClipboard(&owner));
  HGLOBAL h = GetClipboardData(CF_TEXT);
  ASSERT_NE(h, 0u);
  EXPECT_EQ(GlobalSize(h), text.size() + 1);
  const char* p = static_cast<const char*>(GlobalLock(h));
  EXPECT_EQ(std::string(p), text);
  EXPECT_EQ(p[text.size()], '\0');
  GlobalUnlock(h);
  EXPECT_EQ(GlobalFree(h), h);  // the clipboard's block is not the caller's to free
  CloseClipboard();
  EXPECT_EQ(GlobalLock(h), nullptr);  // and it is gone once closed
  EXPECT_EQ(GetClipboardText(), text);

  SetClipboardText("plain");
  EXPECT_FALSE(IsClipboardFormatAvailable(box));
  EXPECT_EQ(GetClipboardText(), "plain");

  // A marker format carries the same text, put in the same opening.
  SetClipboardText("a\r\nb\r\n", {box});
  EXPECT_TRUE(IsClipboardFormatAvailable(box));
  ASSERT_TRUE(OpenClipboard(&owner));
  EXPECT_EQ(GlobalSize(GetClipboardData(box)), 7u);
  CloseClipboard();
  EXPECT_EQ(GetClipboardText(), "a\r\nb\r\n");
}

// A desktop whose clipboard another program filled with text.
class DesktopWithText : public TBackend {
 public:
  DesktopWithText() { WindowSystem().SetBackend(this); }
  ~DesktopWithText() override { WindowSystem().SetBackend(nullptr); }
  void ClipboardOpened(TClipboardContents& contents) override { contents.formats = {{CF_TEXT, "desk"}}; }
  bool ClipboardHasFormat(const TClipboardContents&, UINT format) override { return format == CF_TEXT; }
  int MessageBox(TWindow*, const std::string&, const std::string&, UINT) override { return IDOK; }
  bool RunOpenDialog(TWindow*, TOpenDialogRequest&) override { return false; }
  bool WaitForEvents() override { return false; }
};

TEST(Clipboard, TheDesktopIsAskedWhileTheClipboardIsClosed) {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  CloseClipboard();
  ASSERT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
  DesktopWithText desktop;
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
  EXPECT_EQ(GetClipboardText(), "desk");
}

TEST(Clipboard, OneOpenerAtATimeAndDataOnlyWhileOpen) {
  TWindow a(nullptr, {0, 0, 10, 10});
  TWindow b(nullptr, {0, 0, 10, 10});
  HGLOBAL block = BlockOf("x");
  EXPECT_EQ(SetClipboardData(CF_TEXT, block), 0u);
  ASSERT_TRUE(OpenClipboard(&a));
  EXPECT_FALSE(OpenClipboard(&b));
  EXPECT_THROW(SetClipboardText("y"), EClipboardError);
  CloseClipboard();
  EXPECT_FALSE(CloseClipboard());
  EXPECT_EQ(GlobalFree(block), 0u);
  EXPECT_EQ(GlobalFree(block), block);
  EXPECT_EQ(GlobalLock(12345), nullptr);
  EXPECT_EQ(GlobalAlloc(GMEM_MOVEABLE, size_t{1} << 40), 0u);
}

TEST(InputMethod, TheResultComesOnceThenItsCharacters) {
  WindowSystem().ResetInput();
  TWindow w(nullptr, {0, 0, 10, 10});
  SetFocus(&w);
  InjectImeResult("\x8a\xbf\x8e\x9a");  // 漢字
  TMsg msg;
  ASSERT_TRUE(PeekMessage(msg, nullptr, WM_KEYFIRST, WM_IME_COMPOSITION, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_IME_COMPOSITION);
  EXPECT_EQ(msg.lParam, GCS_RESULTSTR);
  HIMC imc = ImmGetContext(&w);
  int length = ImmGetCompositionString(imc, GCS_RESULTSTR, nullptr, 0);
  ASSERT_EQ(length, 4);
  char buffer[8] = {};
  EXPECT_EQ(ImmGetCompositionString(imc, GCS_RESULTSTR, buffer, 3), 3);
  EXPECT_EQ(ImmGetCompositionString(imc, GCS_COMPSTR, buffer, 8), IMM_ERROR_NODATA);
  EXPECT_TRUE(ImmReleaseContext(&w, imc));
  std::string chars;
  while (PeekMessage(msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
    EXPECT_EQ(msg.message, WM_CHAR);
    chars += static_cast<char>(msg.wParam);
  }
  EXPECT_EQ(chars, "\x8a\xbf\x8e\x9a");

  TCompositionForm form;
  form.dwStyle = CFS_POINT;
  form.ptCurrentPos = {30, 48};
  EXPECT_TRUE(ImmSetCompositionWindow(imc, form));
  TCompositionForm got;
  EXPECT_TRUE(ImmGetCompositionWindow(imc, got));
  EXPECT_EQ(got.ptCurrentPos, (TPoint{30, 48}));
  EXPECT_FALSE(ImmSetCompositionWindow(0, form));
  WindowSystem().ResetInput();
}

}  // namespace
}  // namespace corvida

#include "platform/backends/headless/headless_backend.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/files.h"
#include "platform/winsys/caret.h"
#include "platform/winsys/input.h"
#include "platform/winsys/pinned_fonts.h"
#include "platform/winsys/png_writer.h"
#include "platform/winsys/sys_colors.h"
#include "platform/winsys/window_system.h"

namespace corvida {
namespace {

// A small text pane: rows of CP932 text on a fixed grid in the editor font.
class TTextPane : public TWindow {
 public:
  TTextPane(TWindow* parent, const TRect& bounds, std::vector<std::string> rows)
      : TWindow(parent, bounds, WS_VISIBLE | WS_VSCROLL, WS_EX_CLIENTEDGE), rows_(std::move(rows)) {
    font_ = FontCache().Get(TFontDesc{kEditorFontName, -12, 0, SHIFTJIS_CHARSET});
    advances_.assign(200, font_->Metrics().tmAveCharWidth);
  }
  int RowHeight() const { return font_->Metrics().tmHeight + 2; }
  int ColWidth() const { return font_->Metrics().tmAveCharWidth; }
  int chars = 0;

  void WndProc(TMessage& m) override {
    switch (m.Msg) {
      case WM_PAINT: {
        TPaintStruct ps;
        TDeviceContext dc = BeginPaint(ps);
        dc.SelectFont(font_);
        dc.SetTextColor(clWindowText);
        dc.SetBkColor(clWindow);
        for (int i = 0; i * RowHeight() < ClientRect().Height(); ++i) {
          TRect r{0, i * RowHeight(), ClientRect().Width(), (i + 1) * RowHeight()};
          const std::string& s = i < static_cast<int>(rows_.size()) ? rows_[i] : std::string();
          dc.ExtTextOut(2, r.top + 1, ETO_CLIPPED | ETO_OPAQUE, &r, s, advances_.data());
        }
        EndPaint(ps);
        return;
      }
      case WM_SETFOCUS:
        CreateCaret(this, 0, 2, font_->Metrics().tmHeight);
        SetCaretPos(2 + 8 * ColWidth(), 2 * RowHeight() + 1);
        ShowCaret(this);
        return;
      case WM_KILLFOCUS:
        DestroyCaret();
        return;
      case WM_CHAR:
        ++chars;
        return;
      default:
        DefaultHandler(m);
    }
  }

 private:
  std::vector<std::string> rows_;
  const TFontHandle* font_;
  std::vector<int> advances_;
};

std::string ScreenshotPath(const std::string& name) {
  return ExtractFilePath(ExecutablePath()) + "../" + name;
}

class Headless : public ::testing::Test {
 protected:
  void SetUp() override { WindowSystem().ResetInput(); }
  void TearDown() override {
    DestroyCaret();
    WindowSystem().ResetInput();
  }
  THeadlessBackend backend_;
};

TEST_F(Headless, TestWindowShowsJapaneseTextInTheEditorFontWithACaret) {
  REQUIRE_SHINONOME();
  TWindow form(nullptr, {0, 0, 360, 96});
  TTextPane pane(&form, {4, 4, 356, 92},
                 {"ASCII: Hello, World! {[0-9]} ~\\",
                  "\xb6\xc0\xb6\xc5 \xc3\xbd\xc4 123",  // half-width katakana
                  "\x8a\xbf\x8e\x9a\x82\xa9\x82\xc8\x8c\xf0\x82\xb6\x82\xe8\x95\xb6\x81\x41\x91\x53\x8a\x70\x82\x60\x82"
                  "\x61\x82\x62",  // kanji, kana and full-width letters
                  "total 42 // mixed \x8a\xbf\x8e\x9a and ASCII"});
  SetFocus(&pane);
  backend_.ProcessMessages();

  TSurface screen = backend_.Compose(&form);
  TPoint o = pane.ClientOffsetInTop();
  TRect caret = Bounds(o.x + 2 + 8 * pane.ColWidth(), o.y + 2 * pane.RowHeight() + 1, 2, 12);
  // The caret inverts the composed screen only.
  for (int y = caret.top; y < caret.bottom; ++y)
    for (int x = caret.left; x < caret.right; ++x)
      EXPECT_EQ(screen.Pixel(x, y), form.Framebuffer()->Pixel(x, y) ^ 0x00FFFFFFu);
  // Each kind of text put ink into its row.
  for (int row = 0; row < 3; ++row) {
    int ink = 0;
    for (int y = o.y + row * pane.RowHeight(); y < o.y + (row + 1) * pane.RowHeight(); ++y)
      for (int x = o.x; x < o.x + 150; ++x) ink += screen.Pixel(x, y) == kBlackPixel;
    EXPECT_GT(ink, 40) << "row " << row;
  }
  std::string path = ScreenshotPath("headless-window.png");
  backend_.SaveScreen(&form, path);
  std::ifstream in(path, std::ios::binary);
  std::string head(8, '\0');
  in.read(head.data(), 8);
  EXPECT_EQ(head, std::string("\x89PNG\r\n\x1a\n", 8));
}

TEST_F(Headless, InputIsInjectedAsMessagesToTheFocusedWindow) {
  REQUIRE_SHINONOME();
  TWindow form(nullptr, {0, 0, 200, 60});
  TTextPane pane(&form, {0, 0, 200, 60}, {});
  SetFocus(&pane);
  InjectText("ab\x8a\xbf");
  EXPECT_EQ(backend_.ProcessMessages(), 4 + 2);  // four characters, two paints
  EXPECT_EQ(pane.chars, 4);
}

TEST_F(Headless, DialogsAnswerFromTheScriptAndAreRecorded) {
  backend_.PushMessageBoxAnswer(IDNO);
  EXPECT_EQ(MessageBox(nullptr, "\x95\xdb\x91\xb6\x82\xb5\x82\xdc\x82\xb7\x82\xa9\x81\x48", "\x8a\x6d\x94\x46",
                       MB_YESNOCANCEL),
            IDNO);
  EXPECT_EQ(MessageBox(nullptr, "Again?", "Q", MB_YESNO), IDYES);  // unscripted: the first button
  EXPECT_EQ(MessageBox(nullptr, "Done", "Info", MB_OK), IDOK);
  ASSERT_EQ(backend_.MessageBoxes().size(), 3u);
  EXPECT_EQ(backend_.MessageBoxes()[0].caption, "\x8a\x6d\x94\x46");
  EXPECT_EQ(backend_.MessageBoxes()[0].answer, IDNO);
  EXPECT_EQ(backend_.MessageBoxes()[2].text, "Done");

  backend_.PushOpenDialogAnswer("/models/a.mqo");
  backend_.PushOpenDialogAnswer(std::nullopt);
  TOpenDialogRequest request;
  request.filter = "Metasequoia|*.mqo";
  EXPECT_TRUE(backend_.RunOpenDialog(nullptr, request));
  EXPECT_EQ(request.fileName, "/models/a.mqo");
  EXPECT_FALSE(backend_.RunOpenDialog(nullptr, request));
  EXPECT_FALSE(backend_.RunOpenDialog(nullptr, request));  // script used up: cancelled
  EXPECT_EQ(backend_.OpenDialogs().size(), 3u);
}

TEST_F(Headless, SavingIntoAMissingFolderIsAClearErrorAndLeavesNothing) {
  TSurface s(4, 4);
  EXPECT_THROW(SavePng(s, "/nonexistent-folder/x/y.png"), EFCreateError);
  std::string path = ScreenshotPath("headless-tiny.png");
  SavePng(s, path);
  EXPECT_TRUE(std::filesystem::exists(path));
  EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
  std::filesystem::remove(path);
}

TEST_F(Headless, WithoutABackendAMessageBoxIsRefused) {
  WindowSystem().SetBackend(nullptr);
  EXPECT_THROW(MessageBox(nullptr, "x", "y", MB_OK), EInvalidOperation);
  WindowSystem().SetBackend(&backend_);
}

}  // namespace
}  // namespace corvida

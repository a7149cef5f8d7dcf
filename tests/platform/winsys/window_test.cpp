#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/winsys/caret.h"
#include "platform/winsys/input.h"
#include "platform/winsys/sys_colors.h"
#include "platform/winsys/window_system.h"

namespace corvida {
namespace {

// A window that records its messages and lets a test hook its handling.
class TProbe : public TWindow {
 public:
  using TWindow::TWindow;
  std::vector<UINT> seen;
  std::function<bool(TMessage&)> hook;
  void WndProc(TMessage& m) override {
    seen.push_back(m.Msg);
    if (hook && hook(m)) return;
    DefaultHandler(m);
  }
};

class Windows : public ::testing::Test {
 protected:
  void SetUp() override { WindowSystem().ResetInput(); }
  void TearDown() override {
    DestroyCaret();
    WindowSystem().ResetInput();
  }
  void Pump() {
    TMsg msg;
    while (PeekMessage(msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(msg);
  }
};

TEST_F(Windows, LeadByteHandlerPeeksAndRemovesItsQueuedTrail) {
  TProbe w(nullptr, {0, 0, 100, 50});
  SetFocus(&w);
  std::vector<std::string> typed;
  w.hook = [&](TMessage& m) {
    if (m.Msg != WM_CHAR) return false;
    auto c = static_cast<unsigned char>(m.WParam);
    std::string s(1, static_cast<char>(c));
    if (c >= 0x81 && c <= 0x9F) {
      TMsg next;
      if (PeekMessage(next, &w, 0, 0, PM_NOREMOVE) && next.message == WM_CHAR && next.wParam >= 0x40) {
        PeekMessage(next, &w, WM_CHAR, WM_CHAR, PM_REMOVE);
        s += static_cast<char>(next.wParam);
      }
    }
    typed.push_back(s);
    return true;
  };
  InjectText("a\x8a\xbf" "b");  // a 漢 b
  Pump();
  EXPECT_EQ(typed, (std::vector<std::string>{"a", "\x8a\xbf", "b"}));
}

TEST_F(Windows, KeyStateIsThatOfTheMessageInHand) {
  TProbe w(nullptr, {0, 0, 100, 50});
  SetFocus(&w);
  std::vector<bool> shiftSeen;
  w.hook = [&](TMessage& m) {
    if (m.Msg == WM_KEYDOWN && m.WParam == 'A') shiftSeen.push_back(GetKeyState(VK_SHIFT) < 0);
    return false;
  };
  InjectKeyDown(VK_SHIFT);
  InjectKeyDown('A');
  InjectKeyUp('A');
  InjectKeyUp(VK_SHIFT);
  InjectKeyDown('A');
  // Everything is queued: the newest state has Shift up already.
  EXPECT_GE(GetAsyncKeyState(VK_SHIFT), 0);
  Pump();
  EXPECT_EQ(shiftSeen, (std::vector<bool>{true, false}));
  EXPECT_LT(GetKeyState('A'), 0);
}

TEST_F(Windows, RepeatedKeyDownsCarryThePreviousStateBit) {
  TProbe w(nullptr, {0, 0, 100, 50});
  SetFocus(&w);
  std::vector<bool> repeats;
  w.hook = [&](TMessage& m) {
    if (m.Msg == WM_KEYDOWN) repeats.push_back((m.LParam >> 30) & 1);
    return false;
  };
  InjectKeyDown(VK_DOWN);
  InjectKeyDown(VK_DOWN, true);
  InjectKeyUp(VK_DOWN);
  InjectKeyDown(VK_DOWN);
  Pump();
  EXPECT_EQ(repeats, (std::vector<bool>{false, true, false}));
}

TEST_F(Windows, FocusMovesWithKillAndSetFocusMessages) {
  TProbe a(nullptr, {0, 0, 50, 50});
  TProbe b(nullptr, {60, 0, 110, 50});
  EXPECT_EQ(SetFocus(&a), nullptr);
  a.seen.clear();
  EXPECT_EQ(SetFocus(&b), &a);
  EXPECT_EQ(a.seen, std::vector<UINT>{WM_KILLFOCUS});
  EXPECT_EQ(b.seen, std::vector<UINT>{WM_SETFOCUS});
  EXPECT_EQ(GetFocus(), &b);
  b.seen.clear();
  SetFocus(&b);
  EXPECT_TRUE(b.seen.empty());
}

TEST_F(Windows, MouseGoesToTheCaptureWindowInItsClientCoordinates) {
  TProbe top(nullptr, {100, 100, 300, 200});
  TProbe child(&top, {10, 10, 60, 60});
  std::vector<std::pair<HWND, TPoint>> downs;
  auto record = [&](TProbe& w) {
    w.hook = [&downs, &w](TMessage& m) {
      if (m.Msg == WM_LBUTTONDOWN || m.Msg == WM_LBUTTONUP)
        downs.push_back({w.Handle(), {GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)}});
      return false;
    };
  };
  record(top);
  record(child);
  InjectMouseDown(VK_LBUTTON, {115, 115});
  Pump();
  SetCapture(&child);
  InjectMouseUp(VK_LBUTTON, {250, 150});
  Pump();
  ReleaseCapture();
  ASSERT_EQ(downs.size(), 2u);
  EXPECT_EQ(downs[0].first, child.Handle());
  EXPECT_EQ(downs[0].second, (TPoint{5, 5}));
  EXPECT_EQ(downs[1].first, child.Handle());
  EXPECT_EQ(downs[1].second, (TPoint{140, 40}));
}

TEST_F(Windows, MessagesOfADestroyedWindowAreDropped) {
  auto w = std::make_unique<TProbe>(nullptr, TRect{0, 0, 10, 10});
  PostMessage(w.get(), WM_USER, 0, 0);
  HWND h = w->Handle();
  w.reset();
  EXPECT_EQ(WindowSystem().Find(h), nullptr);
  Pump();
  EXPECT_EQ(WindowSystem().QueueSize(), 0u);
}

TEST_F(Windows, PaintHandsOutTheBoundsOfTheInvalidArea) {
  TProbe w(nullptr, {0, 0, 100, 80});
  Pump();
  std::vector<TRect> painted;
  w.hook = [&](TMessage& m) {
    if (m.Msg != WM_PAINT) return false;
    TPaintStruct ps;
    TDeviceContext dc = w.BeginPaint(ps);
    painted.push_back(ps.rcPaint);
    dc.FillRect({0, 0, 100, 80}, clRed);
    w.EndPaint(ps);
    return true;
  };
  TRect a{10, 10, 20, 20};
  TRect b{30, 5, 40, 15};
  w.InvalidateRect(&a);
  w.InvalidateRect(&b);
  Pump();
  ASSERT_EQ(painted.size(), 1u);
  EXPECT_EQ(painted[0], (TRect{10, 5, 40, 20}));
  // Painting is clipped to that rectangle.
  EXPECT_EQ(PixelToRgb(w.Framebuffer()->Pixel(10, 5)), clRed);
  EXPECT_NE(PixelToRgb(w.Framebuffer()->Pixel(9, 5)), clRed);
  EXPECT_NE(PixelToRgb(w.Framebuffer()->Pixel(40, 19)), clRed);
  // UpdateWindow paints at once; nothing when nothing is invalid.
  w.InvalidateRect(&a);
  w.Update();
  EXPECT_EQ(painted.size(), 2u);
  w.Update();
  EXPECT_EQ(painted.size(), 2u);
}

TEST_F(Windows, ValidatingPartOfTheInvalidAreaKeepsTheRest) {
  TProbe w(nullptr, {0, 0, 100, 80});
  w.ValidateRect(nullptr);
  TRect a{0, 0, 100, 40};
  w.InvalidateRect(&a);
  TRect top{0, 0, 100, 30};
  w.ValidateRect(&top);
  TRect r;
  ASSERT_TRUE(w.GetUpdateRect(r));
  EXPECT_EQ(r, (TRect{0, 30, 100, 40}));
  TRect rest{0, 25, 100, 45};
  w.ValidateRect(&rest);
  EXPECT_FALSE(w.GetUpdateRect(r));
}

TEST_F(Windows, SetRedrawOffSuspendsDrawingAndInvalidation) {
  TProbe w(nullptr, {0, 0, 40, 40});
  Pump();
  w.Perform(WM_SETREDRAW, 0, 0);
  w.InvalidateRect(nullptr);
  TRect r;
  EXPECT_FALSE(w.GetUpdateRect(r));
  TDeviceContext dc = w.GetDC();
  dc.FillRect({0, 0, 40, 40}, clRed);
  EXPECT_NE(PixelToRgb(w.Framebuffer()->Pixel(5, 5)), clRed);
  w.Perform(WM_SETREDRAW, 1, 0);
  w.GetDC().FillRect({0, 0, 40, 40}, clRed);
  EXPECT_EQ(PixelToRgb(w.Framebuffer()->Pixel(5, 5)), clRed);
}

// A window striped by rows: row y has colour y.
class TStriped : public TWindow {
 public:
  using TWindow::TWindow;
  int paints = 0;
  TRect lastPaint;
  void WndProc(TMessage& m) override {
    if (m.Msg != WM_PAINT) return DefaultHandler(m);
    TPaintStruct ps;
    TDeviceContext dc = BeginPaint(ps);
    ++paints;
    lastPaint = ps.rcPaint;
    dc.FillRect(ps.rcPaint, clBlack);
    EndPaint(ps);
  }
};

TEST_F(Windows, ScrollWindowMovesPixelsAndInvalidatesTheUncoveredStrip) {
  TStriped w(nullptr, {0, 0, 20, 30}, WS_VISIBLE);
  TDeviceContext dc = w.GetDC();
  for (int y = 0; y < 30; ++y) dc.FillRect({0, y, 20, y + 1}, y);
  w.ValidateRect(nullptr);
  TRect area{0, 10, 20, 30};
  TRect uncovered;
  EXPECT_EQ(w.ScrollWindowEx(0, -4, &area, &area, &uncovered, SW_INVALIDATE), SIMPLEREGION);
  const TSurface& fb = *w.Framebuffer();
  EXPECT_EQ(PixelToRgb(fb.Pixel(3, 9)), 9);    // outside the area: untouched
  EXPECT_EQ(PixelToRgb(fb.Pixel(3, 10)), 14);  // moved up by four
  EXPECT_EQ(PixelToRgb(fb.Pixel(3, 25)), 29);
  EXPECT_EQ(uncovered, (TRect{0, 26, 20, 30}));
  TRect invalid;
  ASSERT_TRUE(w.GetUpdateRect(invalid));
  EXPECT_EQ(invalid, uncovered);

  // Scrolling down uncovers the top; a jump larger than the area uncovers all.
  w.ValidateRect(nullptr);
  EXPECT_EQ(w.ScrollWindowEx(0, 3, &area, &area, &uncovered, SW_INVALIDATE), SIMPLEREGION);
  EXPECT_EQ(uncovered, (TRect{0, 10, 20, 13}));
  EXPECT_EQ(PixelToRgb(fb.Pixel(3, 13)), 14);
  w.ValidateRect(nullptr);
  w.ScrollWindowEx(0, 50, &area, &area, &uncovered, SW_INVALIDATE);
  EXPECT_EQ(uncovered, area);
}

TEST_F(Windows, ScrollWindowCarriesAPendingInvalidArea) {
  TStriped w(nullptr, {0, 0, 20, 30}, WS_VISIBLE);
  w.ValidateRect(nullptr);
  TRect pending{0, 20, 20, 22};
  w.InvalidateRect(&pending);
  w.ScrollWindowEx(0, -10, nullptr, nullptr, nullptr, SW_INVALIDATE);
  bool moved = false;
  for (const TRect& r : w.UpdateRegion().Rects()) moved |= r == TRect{0, 10, 20, 12};
  EXPECT_TRUE(moved);
}

TEST_F(Windows, CaretIsComposedOnTopAndNeverPaintedIntoTheFramebuffer) {
  TStriped w(nullptr, {0, 0, 20, 30}, WS_VISIBLE);
  w.GetDC().FillRect({0, 0, 20, 30}, clWhite);
  CreateCaret(&w, 0, 2, 12);
  SetCaretPos(4, 14);
  EXPECT_FALSE(CaretVisible());  // a new caret starts hidden
  ShowCaret(&w);
  EXPECT_TRUE(CaretVisible());
  TSurface screen = *w.Framebuffer();
  EXPECT_EQ(ComposeCaret(&w, screen), (TRect{4, 14, 6, 26}));
  EXPECT_EQ(screen.Pixel(4, 14), kBlackPixel);
  EXPECT_EQ(screen.Pixel(6, 14), kWhitePixel);

  w.ScrollWindowEx(0, -10, nullptr, nullptr, nullptr, SW_INVALIDATE);
  w.ScrollWindowEx(3, 0, nullptr, nullptr, nullptr, SW_INVALIDATE);
  for (uint32_t p : w.Framebuffer()->Pixels()) ASSERT_EQ(p, kWhitePixel);
}

TEST_F(Windows, CaretHidingNestsAndBelongsToItsOwner) {
  TProbe w(nullptr, {0, 0, 20, 20});
  TProbe other(nullptr, {30, 0, 50, 20});
  CreateCaret(&w, 0, 2, 10);
  ShowCaret(&w);
  EXPECT_FALSE(HideCaret(&other));
  HideCaret(&w);
  HideCaret(&w);
  ShowCaret(&w);
  EXPECT_FALSE(CaretVisible());
  ShowCaret(&w);
  EXPECT_TRUE(CaretVisible());
  EXPECT_FALSE(ShowCaret(&w));  // showing a shown caret changes nothing
  HideCaret(&w);
  ShowCaret(&w);
  EXPECT_TRUE(CaretVisible());
  CreateCaret(&other, 0, 1, 1);  // a new caret replaces the old one
  EXPECT_EQ(CaretState().owner, other.Handle());
  EXPECT_FALSE(CaretVisible());
}

TEST_F(Windows, ScrollInfoIsClampedAndShowsOrHidesTheBar) {
  TProbe w(nullptr, {0, 0, 200, 100}, WS_VISIBLE | WS_VSCROLL);
  EXPECT_TRUE(w.ScrollBarVisible(SB_VERT));
  EXPECT_EQ(w.ClientRect().Width(), 200 - GetSystemMetrics(SM_CXVSCROLL));
  TScrollInfo si;
  si.fMask = SIF_ALL;
  si.nMin = 0;
  si.nMax = 40;
  si.nPage = 10;
  si.nPos = 99;
  EXPECT_EQ(w.SetScrollInfo(SB_VERT, si, true), 31);  // max − page + 1
  TScrollInfo got;
  got.fMask = SIF_ALL;
  w.GetScrollInfo(SB_VERT, got);
  EXPECT_EQ(got.nPos, 31);
  EXPECT_EQ(got.nPage, 10);
  EXPECT_EQ(got.nTrackPos, 31);
  EXPECT_EQ(w.SetScrollPos(SB_VERT, -5, true), 31);
  EXPECT_EQ(w.GetScrollPos(SB_VERT), 0);

  w.seen.clear();
  si.nMax = 5;  // everything fits: the bar goes and the client grows
  w.SetScrollInfo(SB_VERT, si, true);
  EXPECT_FALSE(w.ScrollBarVisible(SB_VERT));
  EXPECT_EQ(w.ClientRect().Width(), 200);
  EXPECT_NE(std::find(w.seen.begin(), w.seen.end(), WM_SIZE), w.seen.end());
  si.fMask = SIF_ALL | SIF_DISABLENOSCROLL;
  w.ShowScrollBar(SB_VERT, true);
  w.SetScrollInfo(SB_VERT, si, true);
  EXPECT_TRUE(w.ScrollBarVisible(SB_VERT));
}

TEST_F(Windows, ChildWindowsPaintIntoTheirTopLevelFramebuffer) {
  TStriped top(nullptr, {0, 0, 100, 100}, WS_VISIBLE);
  TStriped child(&top, {10, 20, 50, 60}, WS_VISIBLE | WS_BORDER);
  EXPECT_EQ(child.ClientRect(), (TRect{0, 0, 38, 38}));
  EXPECT_EQ(child.ClientOffsetInTop(), (TPoint{11, 21}));
  EXPECT_EQ(child.ClientToScreen({0, 0}), (TPoint{11, 21}));
  TDeviceContext dc = child.GetDC();
  dc.FillRect({-5, -5, 100, 100}, clRed);
  const TSurface& fb = *top.Framebuffer();
  EXPECT_EQ(PixelToRgb(fb.Pixel(11, 21)), clRed);
  EXPECT_EQ(PixelToRgb(fb.Pixel(48, 58)), clRed);
  EXPECT_NE(PixelToRgb(fb.Pixel(49, 59)), clRed);  // the border
  EXPECT_NE(PixelToRgb(fb.Pixel(10, 21)), clRed);
}

}  // namespace
}  // namespace corvida

namespace corvida {
namespace {

TEST(WindowsClipped, ScrollingAChildPartlyOutsideItsParentRepaintsWhatCameFromHiddenPixels) {
  TWindow top(nullptr, {0, 0, 40, 40});
  TWindow child(&top, {0, 20, 40, 60});  // its lower half lies outside the parent
  child.ValidateRect(nullptr);
  TRect uncovered;
  child.ScrollWindowEx(0, -10, nullptr, nullptr, &uncovered, SW_INVALIDATE);
  // Rows 10-19 of the child would show pixels from rows 20-29, which were
  // never visible: they are invalidated, not copied.
  EXPECT_EQ(uncovered.top, 10);
  TRect invalid;
  ASSERT_TRUE(child.GetUpdateRect(invalid));
  EXPECT_LE(invalid.top, 10);
}

}  // namespace
}  // namespace corvida

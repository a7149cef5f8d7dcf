#pragma once
// Points and rectangles as the window system uses them: a rectangle's right
// and bottom edges are exclusive.
#include <algorithm>
#include <vector>

namespace corvida {

struct TPoint {
  int x = 0;
  int y = 0;
  bool operator==(const TPoint&) const = default;
};

struct TSize {
  int cx = 0;
  int cy = 0;
  bool operator==(const TSize&) const = default;
};

struct TRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool IsEmpty() const { return right <= left || bottom <= top; }
  bool Contains(TPoint p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
  TRect Offset(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
  bool operator==(const TRect&) const = default;
};

inline TRect Bounds(int left, int top, int width, int height) {
  return {left, top, left + width, top + height};
}

// The common part of a and b; an empty rectangle at (0, 0) when none.
inline TRect IntersectRect(const TRect& a, const TRect& b) {
  TRect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
          std::min(a.bottom, b.bottom)};
  return r.IsEmpty() ? TRect{} : r;
}

// The smallest rectangle holding both; an empty one does not count.
inline TRect UnionRect(const TRect& a, const TRect& b) {
  if (a.IsEmpty()) return b;
  if (b.IsEmpty()) return a;
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
          std::max(a.bottom, b.bottom)};
}

// An update region: the rectangles invalidated since the last paint. The
// paint message hands out their bounding box as the clip rectangle.
class TRegion {
 public:
  void Add(const TRect& r) {
    if (r.IsEmpty()) return;
    for (const TRect& have : rects_)
      if (IntersectRect(have, r) == r) return;
    std::erase_if(rects_, [&](const TRect& have) { return IntersectRect(have, r) == have; });
    rects_.push_back(r);
    bounds_ = UnionRect(bounds_, r);
  }
  void Clear() {
    rects_.clear();
    bounds_ = {};
  }
  bool IsEmpty() const { return rects_.empty(); }
  const TRect& Bounds() const { return bounds_; }
  const std::vector<TRect>& Rects() const { return rects_; }
  void Offset(int dx, int dy) {
    bounds_ = {};
    for (TRect& r : rects_) {
      r = r.Offset(dx, dy);
      bounds_ = UnionRect(bounds_, r);
    }
  }
  // Keeps only the parts inside clip.
  void Intersect(const TRect& clip) {
    std::vector<TRect> old;
    old.swap(rects_);
    bounds_ = {};
    for (const TRect& r : old) Add(IntersectRect(r, clip));
  }

 private:
  std::vector<TRect> rects_;
  TRect bounds_;
};

}  // namespace corvida

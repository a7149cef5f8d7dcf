#pragma once
// TImageList: a component holding equal-sized images, drawn with one
// colour left transparent.
#include "platform/rtl/component.h"
#include "platform/toolkit/graphics.h"
#include "platform/winsys/image_list.h"

namespace corvida {

class TImageList : public TComponent {
 public:
  CORVIDA_CLASS_NAME(TImageList)
  explicit TImageList(TComponent* owner);

  int Width() const { return handle_.Width(); }
  int Height() const { return handle_.Height(); }
  // Changing the size empties the list.
  void SetSize(int width, int height);
  int Count() const { return handle_.Count(); }
  // Cuts bitmap into images of the list's width; answers the first index.
  int AddMasked(const TSurface& bitmap, TColor transparent) { return handle_.AddMasked(bitmap, transparent); }
  void Clear() { handle_.Clear(); }
  // Draws image index at (x, y); nothing for an index out of range.
  void Draw(TCanvas* canvas, int x, int y, int index) const;
  const TImageListHandle& Handle() const { return handle_; }

 private:
  TImageListHandle handle_{16, 16};
};

}  // namespace corvida

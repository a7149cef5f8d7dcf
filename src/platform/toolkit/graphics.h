#pragma once
// Fonts, brushes, pens and the canvas that draws with them on a device
// context. The objects are published persistents, so forms store them.
#include <memory>
#include <string>
#include <string_view>

#include "platform/rtl/colors.h"
#include "platform/rtl/events.h"
#include "platform/rtl/font.h"
#include "platform/rtl/object.h"
#include "platform/rtl/typeinfo.h"
#include "platform/winsys/device_context.h"
#include "platform/winsys/font.h"

namespace corvida {

// The realised font of a font description; EFontError when no face can
// serve it.
const TFontHandle* FontHandle(const TFont& font);

enum TBrushStyle { bsSolid, bsClear };
enum TPenStyle { psSolid, psDot = 2, psClear = 5 };

struct TBrush {
  TColor color = clWhite;
  TBrushStyle style = bsSolid;
};

struct TPen {
  TColor color = clBlack;
  int width = 1;
  TPenStyle style = psSolid;
};

// Draws on a device context with the canvas's font, brush and pen, which
// are applied before each operation. The context comes from a source the
// owner sets: a paint cycle's context, or a fresh one on demand.
class TCanvas : public TObject {
 public:
  CORVIDA_CLASS_NAME(TCanvas)
  TCanvas();

  TFont* Font() { return &font_; }
  TBrush& Brush() { return brush_; }
  TPen& Pen() { return pen_; }

  // The context with the canvas's objects applied; it keeps its own state
  // (pen position, text colours, raster mode) between calls.
  TDeviceContext& Handle();
  bool HandleAllocated() const { return allocated_; }
  void SetHandle(const TDeviceContext& dc);
  void FreeHandle() { allocated_ = false; }

  void FillRect(const TRect& r);
  void FrameRect(const TRect& r);
  void Rectangle(int x1, int y1, int x2, int y2);
  void MoveTo(int x, int y);
  void LineTo(int x, int y);
  void TextOut(int x, int y, std::string_view text);
  // Text clipped to r, the brush filling r behind it.
  void TextRect(const TRect& r, int x, int y, std::string_view text);
  int TextWidth(std::string_view text);
  int TextHeight(std::string_view text);
  TColor Pixels(int x, int y);
  void SetPixels(int x, int y, TColor c);

 protected:
  // Called when an operation needs a context and none is set.
  virtual void CreateHandle() {}

 private:
  void Realize();
  TDeviceContext dc_;
  bool allocated_ = false;
  TFont font_;
  TBrush brush_;
  TPen pen_;
};

// Draws a 3D frame: top and left in topColor, bottom and right in
// bottomColor, width pixels deep; r shrinks to the inside.
void Frame3D(TDeviceContext& dc, TRect& r, TColor topColor, TColor bottomColor, int width);

}  // namespace corvida

#pragma once
// The resources the editor needs from program start to end: the box
// clipboard format, two pointer shapes in the cursor table, the digit and
// mark image lists and the dot-line cache. Created on first use (the
// program touches them at start), in that order, and released at exit.
#include <memory>

#include "platform/winsys/image_list.h"
#include "platform/winsys/win_defs.h"
#include "support/dot_lines.h"

namespace corvida {

inline constexpr const char* kBoxClipboardFormatName = "TEditor Box Type";
inline constexpr int crRightArrow = 1958;
inline constexpr int crDragSelCopy = 1959;

class TSupportResources {
 public:
  TSupportResources();
  ~TSupportResources();

  // The registered box format (a 16-bit id).
  UINT BoxClipboardFormat() const { return boxFormat_; }
  const TImageListHandle& DigitImages() const { return *digitImages_; }
  const TImageListHandle& MarkImages() const { return *markImages_; }
  TDotLineCollection& DotLineCache() { return *dotLineCache_; }

 private:
  UINT boxFormat_ = 0;
  std::unique_ptr<TImageListHandle> digitImages_;
  std::unique_ptr<TImageListHandle> markImages_;
  std::unique_ptr<TDotLineCollection> dotLineCache_;
};

TSupportResources& SupportResources();

}  // namespace corvida

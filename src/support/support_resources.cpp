#include "support/support_resources.h"

#include "platform/winsys/clipboard.h"
#include "platform/winsys/cursors.h"
#include "support/builtin_images.h"

namespace corvida {

TSupportResources::TSupportResources() {
  boxFormat_ = RegisterClipboardFormat(kBoxClipboardFormatName);
  Cursors().Set(crRightArrow, RightArrowCursor());
  Cursors().Set(crDragSelCopy, DragSelCopyCursor());
  digitImages_ = std::make_unique<TImageListHandle>(kDigitImageWidth, kDigitImageHeight);
  digitImages_->AddMasked(DigitImagesBitmap(), clRed);
  markImages_ = std::make_unique<TImageListHandle>(kMarkImageWidth, kMarkImageHeight);
  markImages_->AddMasked(MarkImagesBitmap(), clWhite);
  dotLineCache_ = std::make_unique<TDotLineCollection>();
}

TSupportResources::~TSupportResources() = default;

TSupportResources& SupportResources() {
  static TSupportResources resources;
  return resources;
}

}  // namespace corvida

#include "editor/highlight/fountain.h"

#include "platform/rtl/exceptions.h"
#include "platform/rtl/format.h"
#include "support/prop_walker.h"
#include "support/published_assign.h"

namespace corvida {

namespace {

const std::vector<const char*> kFontStyleNames = {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};

TCollectionItem* NewBracketItem(TCollection* collection) {
  if (collection->Count() >= TFountainBracketCollection::kMaxBracketItems) {
    throw EFountainError(
        Format("TFountainBracketCollection\r\nYou can not add item over %d", {TFountainBracketCollection::kMaxBracketItems}));
  }
  return new TFountainBracketItem(collection);
}

}  // namespace

// TFountainColor

void TFountainColor::SetBkColor(TColor value) { StoreSetting(*this, bkColor_, value); }
void TFountainColor::SetColor(TColor value) { StoreSetting(*this, color_, value); }
void TFountainColor::SetStyle(TFontStyles value) { StoreSetting(*this, style_, value); }

void TFountainColor::Assign(const TPersistent* source) {
  if (!AssignSettings(*this, source)) TNotifyPersistent::Assign(source);
}

const TClassInfo* TFountainColor::StaticInfo() {
  static const TClassInfo info{"TFountainColor", nullptr, {
      IdentIntProp<TFountainColor, &TFountainColor::BkColor, &TFountainColor::SetBkColor>("BkColor", &ColorToIdent,
                                                                                         &IdentToColor),
      IdentIntProp<TFountainColor, &TFountainColor::Color, &TFountainColor::SetColor>("Color", &ColorToIdent,
                                                                                       &IdentToColor),
      SetProp<TFountainColor, &TFountainColor::Style, &TFountainColor::SetStyle>("Style", kFontStyleNames),
  }};
  return &info;
}

// TFountainColorItem

TFountainColorItem::TFountainColorItem(TCollection* collection) : TFountainColorItem(TDeferJoin{}) {
  Join(collection);
}

TFountainColorItem::TFountainColorItem(TDeferJoin)
    : TCollectionItem(nullptr), itemColor_(std::make_unique<TFountainColor>()) {}

TFountainColorItem::~TFountainColorItem() {
  // Leave the collection while the colour still exists.
  SetCollection(nullptr);
}

void TFountainColorItem::Join(TCollection* collection) {
  if (auto* notify = dynamic_cast<TNotifyCollection*>(collection))
    itemColor_->SetOnChange(TNotifyEvent::Of<&TNotifyCollection::ChangedProc>(notify));
  SetCollection(collection);
}

void TFountainColorItem::Assign(const TPersistent* source) {
  if (auto* other = dynamic_cast<const TFountainColorItem*>(source)) {
    itemColor_->Assign(other->itemColor_.get());
    return;
  }
  TCollectionItem::Assign(source);
}

const TClassInfo* TFountainColorItem::StaticInfo() {
  static const TClassInfo info{"TFountainColorItem", nullptr, {
      ObjectProp<TFountainColorItem, &TFountainColorItem::ItemColor>("ItemColor", TFountainColor::StaticInfo()),
  }};
  return &info;
}

// TFountainBracketItem

TFountainBracketItem::TFountainBracketItem(TCollection* collection) : TFountainColorItem(TDeferJoin{}) {
  Join(collection);
}

void TFountainBracketItem::Assign(const TPersistent* source) {
  if (auto* other = dynamic_cast<const TFountainBracketItem*>(source)) {
    leftBracket_ = other->leftBracket_;
    rightBracket_ = other->rightBracket_;
  }
  TFountainColorItem::Assign(source);
}

const TClassInfo* TFountainBracketItem::StaticInfo() {
  static const TClassInfo info{"TFountainBracketItem", TFountainColorItem::StaticInfo(), {
      StrProp<TFountainBracketItem, &TFountainBracketItem::LeftBracket, &TFountainBracketItem::SetLeftBracket>(
          "LeftBracket"),
      StrProp<TFountainBracketItem, &TFountainBracketItem::RightBracket, &TFountainBracketItem::SetRightBracket>(
          "RightBracket"),
  }};
  return &info;
}

// TFountainBracketCollection

TFountainBracketCollection::TFountainBracketCollection(TPersistent* owner)
    : TNotifyCollection(&NewBracketItem, owner) {}

// TFountain

void TFountain::AfterConstruction() {
  notifyEventList_ = std::make_unique<TNotifyEventList>(this);
  brackets_ = CreateBrackets();
  InitBracketItems();
  reserveWordList_ = CreateFileExtList();
  InitReserveWordList();
  reserve_ = CreateReserve();
}

TFountain::~TFountain() {
  notifyEventList_.reset();
  brackets_.reset();
  reserveWordList_.reset();
  reserve_.reset();
}

TNotifyEvent TFountain::BroadcastEvent() const {
  return TNotifyEvent::Of<&TNotifyPersistent::ChangedProc>(static_cast<TNotifyPersistent*>(notifyEventList_.get()));
}

std::unique_ptr<TFountainColor> TFountain::CreateFountainColor() {
  auto color = std::make_unique<TFountainColor>();
  color->SetOnChange(BroadcastEvent());
  return color;
}

std::unique_ptr<TFountainColor> TFountain::CreateReserve() { return CreateFountainColor(); }

std::unique_ptr<TFountainBracketCollection> TFountain::CreateBrackets() {
  auto brackets = std::make_unique<TFountainBracketCollection>(this);
  brackets->SetOnChange(BroadcastEvent());
  return brackets;
}

void TFountain::SetReserveWordList(const TStrings* value) {
  reserveWordList_->Assign(value);
  notifyEventList_->Changed();
}

std::unique_ptr<TFountainParser> TFountain::CreateParser() { return ParserClass()(this); }

bool TFountain::HasItalic(TPersistent* root) {
  italicFound_ = false;
  WalkProperties(root, PropKindBit(pkObject), TPropWalkEvent::Of<&TFountain::ItalicProbe>(this));
  return italicFound_;
}

void TFountain::SetColors(TPersistent* root, const TFountainColor* source, int mask) {
  colorSource_ = source;
  colorMask_ = mask;
  WalkProperties(root, PropKindBit(pkObject), TPropWalkEvent::Of<&TFountain::ColorSetter>(this));
  colorSource_ = nullptr;
}

void TFountain::ItalicProbe(TPersistent* instance, const TPropInfo* prop, const TClassInfo*) {
  if (auto* color = dynamic_cast<TFountainColor*>(prop->getObject(instance)))
    if ((color->Style() & fsItalic) != 0) italicFound_ = true;
}

void TFountain::ColorSetter(TPersistent* instance, const TPropInfo* prop, const TClassInfo*) {
  if (colorSource_ == nullptr) return;
  auto* color = dynamic_cast<TFountainColor*>(prop->getObject(instance));
  if (color == nullptr) return;
  if ((colorMask_ & 1) != 0) color->SetBkColor(colorSource_->BkColor());
  if ((colorMask_ & 2) != 0) color->SetColor(colorSource_->Color());
  if ((colorMask_ & 4) != 0) color->SetStyle(colorSource_->Style());
}

const TClassInfo* TFountain::StaticInfo() {
  static const TClassInfo info{"TFountain", TFileExtComponent::StaticInfo(), {
      ObjectProp<TFountain, &TFountain::Brackets>("Brackets", nullptr),
      ObjectProp<TFountain, &TFountain::Reserve>("Reserve", TFountainColor::StaticInfo()),
      ObjectProp<TFountain, &TFountain::ReserveWordList>("ReserveWordList", nullptr),
  }};
  return &info;
}

}  // namespace corvida

#pragma once
// The fountain framework: the colour record of a token, the multi-line
// bracket definitions, and the abstract fountain component that names its
// tokenizer and broadcasts every change of its settings to its listeners.
#include <memory>
#include <string>

#include "editor/highlight/fountain_parser.h"
#include "platform/rtl/colors.h"
#include "platform/rtl/font_style.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/typeinfo.h"
#include "support/notify_classes.h"
#include "support/store_components.h"

namespace corvida {

class TFountainColor : public TNotifyPersistent {
 public:
  CORVIDA_CLASS_NAME(TFountainColor)

  // clNone: the editor's background.
  TColor BkColor() const { return bkColor_; }
  void SetBkColor(TColor value);
  // clNone: the editor's font colour.
  TColor Color() const { return color_; }
  void SetColor(TColor value);
  TFontStyles Style() const { return style_; }
  void SetStyle(TFontStyles value);

  void Assign(const TPersistent* source) override;

  static const TClassInfo* StaticInfo();
  const TClassInfo* ClassInfo() const override { return StaticInfo(); }

 private:
  TColor bkColor_ = clNone;
  TColor color_ = clNone;
  TFontStyles style_ = 0;
};

class TFountainColorItem : public TCollectionItem {
 public:
  CORVIDA_CLASS_NAME(TFountainColorItem)
  // Inside a TNotifyCollection a change of the colour is a change of the
  // collection.
  explicit TFountainColorItem(TCollection* collection);
  ~TFountainColorItem() override;

  TFountainColor* ItemColor() const { return itemColor_.get(); }
  void SetItemColor(const TFountainColor* value) { itemColor_->Assign(value); }

  void Assign(const TPersistent* source) override;

  static const TClassInfo* StaticInfo();
  const TClassInfo* ClassInfo() const override { return StaticInfo(); }

 protected:
  struct TDeferJoin {};
  // For descendants: the item joins its collection through Join once the
  // descendant's own fields exist, so that no listener sees half an item.
  explicit TFountainColorItem(TDeferJoin);
  void Join(TCollection* collection);

 private:
  std::unique_ptr<TFountainColor> itemColor_;
};

// A region from LeftBracket to the next RightBracket, over any number of
// lines, drawn as one token in the item's colour.
class TFountainBracketItem : public TFountainColorItem {
 public:
  CORVIDA_CLASS_NAME(TFountainBracketItem)
  explicit TFountainBracketItem(TCollection* collection);

  const std::string& LeftBracket() const { return leftBracket_; }
  void SetLeftBracket(const std::string& value) { leftBracket_ = value; }
  const std::string& RightBracket() const { return rightBracket_; }
  void SetRightBracket(const std::string& value) { rightBracket_ = value; }

  void Assign(const TPersistent* source) override;

  static const TClassInfo* StaticInfo();
  const TClassInfo* ClassInfo() const override { return StaticInfo(); }

 private:
  std::string leftBracket_;
  std::string rightBracket_;
};

// At most kMaxBracketItems items: a row keeps its bracket index in 4 bits
// biased by 2. Every way of adding an item (Add, Insert, Assign, a reader)
// refuses the one too many with EFountainError and leaves the items as they
// were.
class TFountainBracketCollection : public TNotifyCollection {
 public:
  CORVIDA_CLASS_NAME(TFountainBracketCollection)
  static constexpr int kMaxBracketItems = 14;

  explicit TFountainBracketCollection(TPersistent* owner);

  TFountainBracketItem* Add() { return static_cast<TFountainBracketItem*>(TCollection::Add()); }
  TFountainBracketItem* Items(int index) const { return static_cast<TFountainBracketItem*>(TCollection::Items(index)); }
};

class TFountain : public TFileExtComponent {
 public:
  CORVIDA_CLASS_NAME(TFountain)

  // Makes a fountain of class T with every part made by T's factories. The
  // owner frees it; with no owner the caller does.
  template <class T>
  static T* Create(TComponent* owner) {
    std::unique_ptr<T> fountain(new T(owner));
    fountain->AfterConstruction();
    return fountain.release();
  }
  ~TFountain() override;

  TFountainBracketCollection* Brackets() const { return brackets_.get(); }
  void SetBrackets(const TFountainBracketCollection* value) { brackets_->Assign(value); }
  TFountainColor* Reserve() const { return reserve_.get(); }
  void SetReserve(const TFountainColor* value) { reserve_->Assign(value); }
  // Sorted, duplicates ignored, searched without regard to case. Editing its
  // strings directly broadcasts nothing; the setter broadcasts once.
  TStringList* ReserveWordList() const { return reserveWordList_.get(); }
  void SetReserveWordList(const TStrings* value);
  // Listeners register here; each change of a setting calls them all with
  // the fountain as sender.
  TNotifyEventList* NotifyEventList() const { return notifyEventList_.get(); }

  virtual TFountainParser::TParserClass ParserClass() const = 0;
  // A new tokenizer of ParserClass for this fountain.
  virtual std::unique_ptr<TFountainParser> CreateParser();
  // Some colour record reachable from root's published properties is italic.
  virtual bool HasItalic(TPersistent* root);
  // Copies BkColor (mask 1), Color (mask 2) and Style (mask 4) of source into
  // every colour record reachable from root, each through its own setter.
  void SetColors(TPersistent* root, const TFountainColor* source, int mask);

  static const TClassInfo* StaticInfo();
  const TClassInfo* ClassInfo() const override { return StaticInfo(); }

 protected:
  explicit TFountain(TComponent* owner) : TFileExtComponent(owner) {}
  // The second step of construction, where the factories and hooks of the
  // descendant are reached.
  virtual void AfterConstruction();

  virtual std::unique_ptr<TFountainColor> CreateFountainColor();
  virtual std::unique_ptr<TFountainColor> CreateReserve();
  virtual std::unique_ptr<TFountainBracketCollection> CreateBrackets();
  virtual void InitBracketItems() {}
  virtual void InitReserveWordList() {}
  // The per-property callbacks of HasItalic and SetColors.
  virtual void ItalicProbe(TPersistent* instance, const TPropInfo* prop, const TClassInfo* nested);
  virtual void ColorSetter(TPersistent* instance, const TPropInfo* prop, const TClassInfo* nested);

  // The change handler of the parts: broadcasts through NotifyEventList.
  TNotifyEvent BroadcastEvent() const;

 private:
  std::unique_ptr<TNotifyEventList> notifyEventList_;
  std::unique_ptr<TFountainBracketCollection> brackets_;
  std::unique_ptr<TStringList> reserveWordList_;
  std::unique_ptr<TFountainColor> reserve_;
  // Working state of a property walk.
  bool italicFound_ = false;
  const TFountainColor* colorSource_ = nullptr;
  int colorMask_ = 0;
};

}  // namespace corvida

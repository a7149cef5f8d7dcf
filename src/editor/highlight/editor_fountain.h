#pragma once
// The fountain every editor carries and uses when no other is attached: a
// line-comment opener, a string quote, an optional hex prefix, control codes,
// mail addresses and URLs on top of the framework's tokens, and a table of
// eleven named colours.
#include <memory>
#include <string>

#include "editor/highlight/fountain.h"
#include "editor/highlight/fountain_parser.h"

namespace corvida {

class TEditorColor : public TFountainColor {
 public:
  CORVIDA_CLASS_NAME(TEditorColor)
};

class TEditorColors : public TNotifyPersistent {
 public:
  CORVIDA_CLASS_NAME(TEditorColors)
  explicit TEditorColors(TFountain* fountain);
  ~TEditorColors() override;

  TEditorColor* Ank() const { return ank_.get(); }
  void SetAnk(const TFountainColor* value) { ank_->Assign(value); }
  TEditorColor* Comment() const { return comment_.get(); }
  void SetComment(const TFountainColor* value) { comment_->Assign(value); }
  TEditorColor* DBCS() const { return dbcs_.get(); }
  void SetDBCS(const TFountainColor* value) { dbcs_->Assign(value); }
  TEditorColor* Hit() const { return hit_.get(); }
  void SetHit(const TFountainColor* value) { hit_->Assign(value); }
  TEditorColor* Int() const { return int_.get(); }
  void SetInt(const TFountainColor* value) { int_->Assign(value); }
  TEditorColor* Mail() const { return mail_.get(); }
  void SetMail(const TFountainColor* value) { mail_->Assign(value); }
  // The owning fountain's Reserve colour.
  TFountainColor* Reserve() const;
  void SetReserve(const TFountainColor* value);
  TEditorColor* Select() const { return select_.get(); }
  void SetSelect(const TFountainColor* value) { select_->Assign(value); }
  TEditorColor* Str() const { return str_.get(); }
  void SetStr(const TFountainColor* value) { str_->Assign(value); }
  TEditorColor* Symbol() const { return symbol_.get(); }
  void SetSymbol(const TFountainColor* value) { symbol_->Assign(value); }
  TEditorColor* Url() const { return url_.get(); }
  void SetUrl(const TFountainColor* value) { url_->Assign(value); }

  // One change for the whole table.
  void Assign(const TPersistent* source) override;

  static const TClassInfo* StaticInfo();
  const TClassInfo* ClassInfo() const override { return StaticInfo(); }

 private:
  std::unique_ptr<TEditorColor> NewColor();

  std::unique_ptr<TEditorColor> ank_;
  std::unique_ptr<TEditorColor> comment_;
  std::unique_ptr<TEditorColor> dbcs_;
  std::unique_ptr<TEditorColor> hit_;
  std::unique_ptr<TEditorColor> int_;
  std::unique_ptr<TEditorColor> mail_;
  std::unique_ptr<TEditorColor> select_;
  std::unique_ptr<TEditorColor> str_;
  std::unique_ptr<TEditorColor> symbol_;
  std::unique_ptr<TEditorColor> url_;
  TFountain* fountain_;
};

class TEditorBracketCollection : public TFountainBracketCollection {
 public:
  CORVIDA_CLASS_NAME(TEditorBracketCollection)
  using TFountainBracketCollection::TFountainBracketCollection;

  // Each sets one attribute of every item's colour, as one change.
  virtual void SetAllBkColor(TColor value);
  virtual void SetAllColor(TColor value);
  virtual void SetAllStyle(TFontStyles value);
};

class TEditorFountain : public TFountain {
 public:
  CORVIDA_CLASS_NAME(TEditorFountain)
  ~TEditorFountain() override;

  TEditorColors* Colors() const { return colors_.get(); }
  void SetColors(const TEditorColors* value) { colors_->Assign(value); }
  using TFountain::SetColors;
  // The settings below are plain fields: setting them broadcasts nothing.
  // Line-comment opener; empty turns comments off.
  const std::string& Commenter() const { return commenter_; }
  void SetCommenter(const std::string& value) { commenter_ = value; }
  bool ControlCode() const { return controlCode_; }
  void SetControlCode(bool value) { controlCode_ = value; }
  const std::string& HexPrefix() const { return hexPrefix_; }
  void SetHexPrefix(const std::string& value) { hexPrefix_ = value; }
  bool Mail() const { return mail_; }
  void SetMail(bool value) { mail_ = value; }
  // String quote: only the first byte counts; empty turns strings off.
  const std::string& Quotation() const { return quotation_; }
  void SetQuotation(const std::string& value) { quotation_ = value; }
  bool Url() const { return url_; }
  void SetUrl(bool value) { url_ = value; }

  TFountainParser::TParserClass ParserClass() const override;
  // Each sets one attribute of every colour of the table (Reserve included,
  // Select and Hit left alone) and broadcasts one change.
  virtual void SetAllBkColor(TColor value);
  virtual void SetAllColor(TColor value);
  virtual void SetAllStyle(TFontStyles value);

  static const TClassInfo* StaticInfo();
  const TClassInfo* ClassInfo() const override { return StaticInfo(); }

 protected:
  friend class TFountain;
  explicit TEditorFountain(TComponent* owner) : TFountain(owner) {}
  void AfterConstruction() override;
  std::unique_ptr<TFountainBracketCollection> CreateBrackets() override;
  void ColorSetter(TPersistent* instance, const TPropInfo* prop, const TClassInfo* nested) override;
  virtual std::unique_ptr<TEditorColors> CreateEditorColors();

 private:
  void SetAll(const TFountainColor& value, int mask);

  std::unique_ptr<TEditorColors> colors_;
  std::string commenter_;
  bool controlCode_ = false;
  std::string hexPrefix_;
  bool mail_ = false;
  std::string quotation_;
  bool url_ = false;
};

class TEditorParser : public TFountainParser {
 public:
  CORVIDA_CLASS_NAME(TEditorParser)
  TFountainColor* TokenColor() override;
  TTokenKinds CarriedKinds() const override;

 protected:
  friend class TFountainParser;
  explicit TEditorParser(TFountain* fountain);

  void InitTables() override;
  void ScanDefault() override;
  virtual bool MatchQuotation();
  virtual void ScanQuotation();
  virtual bool MatchCommenter();
  virtual bool MatchHexPrefix();
  virtual bool MatchControlHex();
  virtual void ScanControlHex();
  virtual bool MatchControlCode();
  virtual void ScanControlCode();

 private:
  // The fountain's settings, when the fountain is an editor fountain.
  TEditorFountain* editorFountain_;
  // Its hex prefix upper-cased once: a parser lives for one scan or paint,
  // and the prefix is tried before nearly every token.
  std::string hexPrefix_;
};

}  // namespace corvida

#include "editor/highlight/editor_fountain.h"

#include "platform/rtl/cp932.h"
#include "platform/rtl/scope_guard.h"
#include "support/published_assign.h"

namespace corvida {

// TEditorColors

TEditorColors::TEditorColors(TFountain* fountain)
    : ank_(NewColor()),
      comment_(NewColor()),
      dbcs_(NewColor()),
      hit_(NewColor()),
      int_(NewColor()),
      mail_(NewColor()),
      select_(NewColor()),
      str_(NewColor()),
      symbol_(NewColor()),
      url_(NewColor()),
      fountain_(fountain) {
  // Set before the change handler matters: nobody listens yet.
  select_->SetBkColor(clNavy);
  select_->SetColor(clWhite);
}

TEditorColors::~TEditorColors() = default;

std::unique_ptr<TEditorColor> TEditorColors::NewColor() {
  auto color = std::make_unique<TEditorColor>();
  color->SetOnChange(TNotifyEvent::Of<&TNotifyPersistent::ChangedProc>(static_cast<TNotifyPersistent*>(this)));
  return color;
}

TFountainColor* TEditorColors::Reserve() const { return fountain_ != nullptr ? fountain_->Reserve() : nullptr; }

void TEditorColors::SetReserve(const TFountainColor* value) {
  if (fountain_ != nullptr) fountain_->SetReserve(value);
}

void TEditorColors::Assign(const TPersistent* source) {
  if (!AssignSettings(*this, source)) TNotifyPersistent::Assign(source);
}

const TClassInfo* TEditorColors::StaticInfo() {
  const TClassInfo* color = TFountainColor::StaticInfo();
  static const TClassInfo info{"TEditorColors", nullptr, {
      ObjectProp<TEditorColors, &TEditorColors::Ank>("Ank", color),
      ObjectProp<TEditorColors, &TEditorColors::Comment>("Comment", color),
      ObjectProp<TEditorColors, &TEditorColors::DBCS>("DBCS", color),
      ObjectProp<TEditorColors, &TEditorColors::Hit>("Hit", color),
      ObjectProp<TEditorColors, &TEditorColors::Int>("Int", color),
      ObjectProp<TEditorColors, &TEditorColors::Mail>("Mail", color),
      ObjectProp<TEditorColors, &TEditorColors::Reserve>("Reserve", color),
      ObjectProp<TEditorColors, &TEditorColors::Select>("Select", color),
      ObjectProp<TEditorColors, &TEditorColors::Str>("Str", color),
      ObjectProp<TEditorColors, &TEditorColors::Symbol>("Symbol", color),
      ObjectProp<TEditorColors, &TEditorColors::Url>("Url", color),
  }};
  return &info;
}

// TEditorBracketCollection

void TEditorBracketCollection::SetAllBkColor(TColor value) {
  TUpdateBracket update(*this);
  for (int i = 0; i < Count(); ++i) Items(i)->ItemColor()->SetBkColor(value);
}

void TEditorBracketCollection::SetAllColor(TColor value) {
  TUpdateBracket update(*this);
  for (int i = 0; i < Count(); ++i) Items(i)->ItemColor()->SetColor(value);
}

void TEditorBracketCollection::SetAllStyle(TFontStyles value) {
  TUpdateBracket update(*this);
  for (int i = 0; i < Count(); ++i) Items(i)->ItemColor()->SetStyle(value);
}

// TEditorFountain

void TEditorFountain::AfterConstruction() {
  TFountain::AfterConstruction();
  colors_ = CreateEditorColors();
}

TEditorFountain::~TEditorFountain() { colors_.reset(); }

std::unique_ptr<TFountainBracketCollection> TEditorFountain::CreateBrackets() {
  auto brackets = std::make_unique<TEditorBracketCollection>(this);
  brackets->SetOnChange(BroadcastEvent());
  return brackets;
}

std::unique_ptr<TEditorColors> TEditorFountain::CreateEditorColors() {
  auto colors = std::make_unique<TEditorColors>(this);
  colors->SetOnChange(BroadcastEvent());
  return colors;
}

TFountainParser::TParserClass TEditorFountain::ParserClass() const { return &TFountainParser::Create<TEditorParser>; }

void TEditorFountain::ColorSetter(TPersistent* instance, const TPropInfo* prop, const TClassInfo* nested) {
  // The selection and search-hit colours are not token colours.
  if (AnsiSameText(prop->name, "Select") || AnsiSameText(prop->name, "Hit")) return;
  TFountain::ColorSetter(instance, prop, nested);
}

void TEditorFountain::SetAll(const TFountainColor& value, int mask) {
  TUpdateBracket update(*NotifyEventList());
  SetColors(colors_.get(), &value, mask);
}

void TEditorFountain::SetAllBkColor(TColor value) {
  TFountainColor color;
  color.SetBkColor(value);
  SetAll(color, 1);
}

void TEditorFountain::SetAllColor(TColor value) {
  TFountainColor color;
  color.SetColor(value);
  SetAll(color, 2);
}

void TEditorFountain::SetAllStyle(TFontStyles value) {
  TFountainColor color;
  color.SetStyle(value);
  SetAll(color, 4);
}

const TClassInfo* TEditorFountain::StaticInfo() {
  static const TClassInfo info{"TEditorFountain", TFountain::StaticInfo(), {
      ObjectProp<TEditorFountain, &TEditorFountain::Colors>("Colors", TEditorColors::StaticInfo()),
      StrProp<TEditorFountain, &TEditorFountain::Commenter, &TEditorFountain::SetCommenter>("Commenter"),
      BoolProp<TEditorFountain, &TEditorFountain::ControlCode, &TEditorFountain::SetControlCode>("ControlCode"),
      StrProp<TEditorFountain, &TEditorFountain::HexPrefix, &TEditorFountain::SetHexPrefix>("HexPrefix"),
      BoolProp<TEditorFountain, &TEditorFountain::Mail, &TEditorFountain::SetMail>("Mail"),
      StrProp<TEditorFountain, &TEditorFountain::Quotation, &TEditorFountain::SetQuotation>("Quotation"),
      BoolProp<TEditorFountain, &TEditorFountain::Url, &TEditorFountain::SetUrl>("Url"),
  }, [](TComponent* owner) -> TComponent* { return TFountain::Create<TEditorFountain>(owner); }};
  return &info;
}

// TEditorParser

TEditorParser::TEditorParser(TFountain* fountain)
    : TFountainParser(fountain),
      editorFountain_(dynamic_cast<TEditorFountain*>(fountain)),
      hexPrefix_(editorFountain_ != nullptr ? AnsiUpperCase(editorFountain_->HexPrefix()) : std::string()) {}

void TEditorParser::InitTables() {
  TFountainParser::InitTables();
  kindTable_[ttQuotation] = static_cast<TScanProc>(&TEditorParser::ScanQuotation);
  kindTable_[ttControlCode] = static_cast<TScanProc>(&TEditorParser::ScanControlCode);
  kindTable_[ttControlHex] = static_cast<TScanProc>(&TEditorParser::ScanControlHex);
}

TTokenKinds TEditorParser::CarriedKinds() const { return TFountainParser::CarriedKinds().set(ttQuotation); }

void TEditorParser::ScanDefault() {
  const TEditorFountain* f = editorFountain_;
  if (bracketIndex_ == -1 && MatchLeftBracket()) {
    ScanBracket();
  } else if (f != nullptr && f->Mail() && MatchMail()) {
    ScanMail();
  } else if (f != nullptr && f->Url() && MatchUrl()) {
    ScanUrl();
  } else if (MatchCommenter()) {
    ScanComment();
  } else if (MatchQuotation()) {
    ScanQuotation();
  } else if (MatchControlHex()) {
    ScanControlHex();
  } else if (MatchControlCode()) {
    ScanControlCode();
  } else if (MatchHexPrefix()) {
    ScanHex();
  } else {
    ScanByCharTable();
  }
}

bool TEditorParser::MatchCommenter() {
  if (editorFountain_ == nullptr) return false;
  const std::string& commenter = editorFountain_->Commenter();
  if (commenter.empty() || !LooksAt(commenter)) return false;
  p_ += commenter.size();
  return true;
}

bool TEditorParser::MatchQuotation() {
  if (editorFountain_ == nullptr) return false;
  const std::string& quotation = editorFountain_->Quotation();
  if (quotation.empty() || *p_ != static_cast<unsigned char>(quotation[0])) return false;
  ++p_;
  return true;
}

void TEditorParser::ScanQuotation() {
  const std::string empty;
  const std::string& quotation = editorFountain_ != nullptr ? editorFountain_->Quotation() : empty;
  if (quotation.empty()) {
    tokenKind_ = ttEnd;
    return;
  }
  const auto quote = static_cast<unsigned char>(quotation[0]);
  tokenKind_ = ttQuotation;
  while (!AtRowEnd(*p_)) {
    if (*p_ == quote) {
      ++p_;
      if (*p_ != quote) return;
      ++p_;  // a doubled quote stands for one quote
    } else {
      StepChar();
    }
  }
}

bool TEditorParser::MatchHexPrefix() {
  const std::string& prefix = hexPrefix_;
  if (prefix.empty()) return false;
  if (static_cast<size_t>(end_ - p_) < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    unsigned char c = p_[i];
    if (c >= 'a' && c <= 'z') c = static_cast<unsigned char>(c - 'a' + 'A');
    if (c != static_cast<unsigned char>(prefix[i])) return false;
  }
  p_ += prefix.size();
  return true;
}

bool TEditorParser::MatchControlHex() {
  if (editorFountain_ == nullptr || !editorFountain_->ControlCode()) return false;
  if (p_[0] != '#' || p_[1] != '$') return false;
  p_ += 2;
  return true;
}

void TEditorParser::ScanControlHex() {
  tokenKind_ = ttControlHex;
  while (IsHexDigit(*p_)) ++p_;
}

bool TEditorParser::MatchControlCode() {
  if (editorFountain_ == nullptr || !editorFountain_->ControlCode() || *p_ != '#') return false;
  ++p_;
  return true;
}

void TEditorParser::ScanControlCode() {
  tokenKind_ = ttControlCode;
  while (IsDigit(*p_)) ++p_;
}

TFountainColor* TEditorParser::TokenColor() {
  if (IsReserved()) return fountain_->Reserve();
  if (tokenKind_ == ttBracket) {
    const TFountainBracketCollection* brackets = fountain_->Brackets();
    if (tokenBracketIndex_ < 0 || tokenBracketIndex_ >= brackets->Count()) return nullptr;
    return brackets->Items(tokenBracketIndex_)->ItemColor();
  }
  if (tokenKind_ == ttReserve) return fountain_->Reserve();
  if (editorFountain_ == nullptr) return nullptr;
  const TEditorColors* colors = editorFountain_->Colors();
  switch (tokenKind_) {
    case ttAnk:
      return colors->Ank();
    case ttComment:
      return colors->Comment();
    case ttWideSymbol: case ttWideDigit: case ttWideAlpha: case ttHiragana:
    case ttKatakana: case ttKanji: case ttKanaSymbol: case ttKana:
      return colors->DBCS();
    case ttInteger: case ttFloat: case ttHex:
      return colors->Int();
    case ttMail:
      return colors->Mail();
    case ttQuotation: case ttControlCode: case ttControlHex:
      return colors->Str();
    case ttSymbol:
      return colors->Symbol();
    case ttUrl:
      return colors->Url();
    default:
      return nullptr;
  }
}

}  // namespace corvida

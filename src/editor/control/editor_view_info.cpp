#include "editor/control/editor_view_info.h"

#include "platform/rtl/cp932.h"
#include "platform/rtl/scope_guard.h"
#include "support/published_assign.h"

namespace corvida {

void TEditorViewInfo::AfterConstruction() {
  fountain_ = CreateViewFountain();
  fountain_->NotifyEventList()->Add(FountainListener());
}

TEditorViewInfo::~TEditorViewInfo() {
  if (fountain_ != nullptr) fountain_->NotifyEventList()->Remove(FountainListener());
}

std::unique_ptr<TEditorFountain> TEditorViewInfo::CreateViewFountain() {
  return std::unique_ptr<TEditorFountain>(TFountain::Create<TEditorFountain>(nullptr));
}

TNotifyEvent TEditorViewInfo::FountainListener() {
  return TNotifyEvent::Of<&TNotifyPersistent::ChangedProc>(static_cast<TNotifyPersistent*>(this));
}

// The fountain's own broadcasts arrive inside the bracket, so a whole
// assignment is one change.
void TEditorViewInfo::SetBrackets(const TFountainBracketCollection* value) {
  TUpdateBracket update(*this);
  fountain_->SetBrackets(value);
}

void TEditorViewInfo::SetColors(const TEditorColors* value) {
  TUpdateBracket update(*this);
  fountain_->SetColors(value);
}

void TEditorViewInfo::SetCommenter(const std::string& value) {
  if (value == fountain_->Commenter()) return;
  fountain_->SetCommenter(value);
  Changed();
}

void TEditorViewInfo::SetControlCode(bool value) {
  if (value == fountain_->ControlCode()) return;
  fountain_->SetControlCode(value);
  Changed();
}

void TEditorViewInfo::SetHexPrefix(const std::string& value) {
  if (value == fountain_->HexPrefix()) return;
  fountain_->SetHexPrefix(value);
  Changed();
}

void TEditorViewInfo::SetMail(bool value) {
  if (value == fountain_->Mail()) return;
  fountain_->SetMail(value);
  Changed();
}

void TEditorViewInfo::SetQuotation(const std::string& value) {
  // The tokenizer compares single bytes: half a double-byte character as the
  // quote would cut characters apart.
  const bool usable = !value.empty() && !IsLeadByte(static_cast<unsigned char>(value[0]));
  const std::string quote = usable ? value.substr(0, 1) : std::string();
  if (quote == fountain_->Quotation()) return;
  fountain_->SetQuotation(quote);
  Changed();
}

void TEditorViewInfo::SetUrl(bool value) {
  if (value == fountain_->Url()) return;
  fountain_->SetUrl(value);
  Changed();
}

void TEditorViewInfo::SetReserveWordList(const TStrings* value) {
  if (value != nullptr && fountain_->ReserveWordList()->Equals(*value)) return;
  fountain_->SetReserveWordList(value);
}

void TEditorViewInfo::Assign(const TPersistent* source) {
  if (!AssignSettings(*this, source)) TNotifyPersistent::Assign(source);
}

const TClassInfo* TEditorViewInfo::StaticInfo() {
  using C = TEditorViewInfo;
  static const TClassInfo info{"TEditorViewInfo", nullptr, {
      ObjectProp<C, &C::Brackets>("Brackets", nullptr),
      ObjectProp<C, &C::Colors>("Colors", TEditorColors::StaticInfo()),
      StrProp<C, &C::Commenter, &C::SetCommenter>("Commenter"),
      BoolProp<C, &C::ControlCode, &C::SetControlCode>("ControlCode"),
      StrProp<C, &C::HexPrefix, &C::SetHexPrefix>("HexPrefix"),
      BoolProp<C, &C::Mail, &C::SetMail>("Mail"),
      StrProp<C, &C::Quotation, &C::SetQuotation>("Quotation"),
      BoolProp<C, &C::Url, &C::SetUrl>("Url"),
  }};
  return &info;
}

}  // namespace corvida

#include "editor/model/editor_wrap_option.h"

#include <algorithm>

#include "platform/rtl/scope_guard.h"

namespace corvida {
namespace {

// "、。，．・？！゛゜ヽヾゝゞ々ー）］｝」』!),.:;?]}｡｣､･ｰﾞﾟ"
constexpr const char* kDefaultFollowStr =
    "\x81\x41\x81\x42\x81\x43\x81\x44\x81\x45\x81\x48\x81\x49\x81\x4a\x81\x4b\x81\x52\x81\x53\x81\x54"
    "\x81\x55\x81\x58\x81\x5b\x81\x6a\x81\x6e\x81\x70\x81\x76\x81\x78!),.:;?]}\xa1\xa3\xa4\xa5\xb0\xde\xdf";
// "（［｛「『([{｢"
constexpr const char* kDefaultLeadStr = "\x81\x69\x81\x6d\x81\x6f\x81\x75\x81\x77([{\xa2";
// "、。，．,.｡､"
constexpr const char* kDefaultPunctuationStr = "\x81\x41\x81\x42\x81\x43\x81\x44,.\xa1\xa4";

}  // namespace

TEditorWrapOption::TEditorWrapOption()
    : followStr_(kDefaultFollowStr), leadStr_(kDefaultLeadStr), punctuationStr_(kDefaultPunctuationStr) {}

template <typename T>
void TEditorWrapOption::Store(T& field, const T& value) {
  if (field == value) return;
  field = value;
  Changed();
}

void TEditorWrapOption::SetFollowRetMark(bool value) { Store(followRetMark_, value); }
void TEditorWrapOption::SetFollowPunctuation(bool value) { Store(followPunctuation_, value); }
void TEditorWrapOption::SetFollowStr(const std::string& value) { Store(followStr_, value); }
void TEditorWrapOption::SetLeading(bool value) { Store(leading_, value); }
void TEditorWrapOption::SetLeadStr(const std::string& value) { Store(leadStr_, value); }
void TEditorWrapOption::SetPunctuationStr(const std::string& value) { Store(punctuationStr_, value); }
void TEditorWrapOption::SetWordBreak(bool value) { Store(wordBreak_, value); }
void TEditorWrapOption::SetWrapByte(int value) { Store(wrapByte_, std::clamp(value, kMinWrapByte, kMaxWrapByte)); }

void TEditorWrapOption::Assign(const TPersistent* source) {
  const auto* other = dynamic_cast<const TEditorWrapOption*>(source);
  if (!other) {
    TNotifyPersistent::Assign(source);
    return;
  }
  TUpdateBracket update(*this);
  followRetMark_ = other->followRetMark_;
  followPunctuation_ = other->followPunctuation_;
  followStr_ = other->followStr_;
  leading_ = other->leading_;
  leadStr_ = other->leadStr_;
  punctuationStr_ = other->punctuationStr_;
  wordBreak_ = other->wordBreak_;
  wrapByte_ = other->wrapByte_;
}

const TClassInfo* TEditorWrapOption::StaticInfo() {
  using W = TEditorWrapOption;
  static const TClassInfo info{"TEditorWrapOption", nullptr, {
      BoolProp<W, &W::FollowRetMark, &W::SetFollowRetMark>("FollowRetMark"),
      BoolProp<W, &W::FollowPunctuation, &W::SetFollowPunctuation>("FollowPunctuation"),
      StrProp<W, &W::FollowStr, &W::SetFollowStr>("FollowStr"),
      BoolProp<W, &W::Leading, &W::SetLeading>("Leading"),
      StrProp<W, &W::LeadStr, &W::SetLeadStr>("LeadStr"),
      StrProp<W, &W::PunctuationStr, &W::SetPunctuationStr>("PunctuationStr"),
      BoolProp<W, &W::WordBreak, &W::SetWordBreak>("WordBreak"),
      IntProp<W, &W::WrapByte, &W::SetWrapByte>("WrapByte"),
  }};
  return &info;
}

}  // namespace corvida

#include "editor/model/editor_wrap_option.h"

#include <algorithm>

#include "support/published_assign.h"

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

void TEditorWrapOption::SetFollowRetMark(bool value) { StoreSetting(*this, followRetMark_, value); }
void TEditorWrapOption::SetFollowPunctuation(bool value) { StoreSetting(*this, followPunctuation_, value); }
void TEditorWrapOption::SetFollowStr(const std::string& value) { StoreSetting(*this, followStr_, value); }
void TEditorWrapOption::SetLeading(bool value) { StoreSetting(*this, leading_, value); }
void TEditorWrapOption::SetLeadStr(const std::string& value) { StoreSetting(*this, leadStr_, value); }
void TEditorWrapOption::SetPunctuationStr(const std::string& value) { StoreSetting(*this, punctuationStr_, value); }
void TEditorWrapOption::SetWordBreak(bool value) { StoreSetting(*this, wordBreak_, value); }
void TEditorWrapOption::SetWrapByte(int value) { StoreSetting(*this, wrapByte_, std::clamp(value, kMinWrapByte, kMaxWrapByte)); }

void TEditorWrapOption::Assign(const TPersistent* source) {
  if (!AssignSettings(*this, source)) TNotifyPersistent::Assign(source);
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

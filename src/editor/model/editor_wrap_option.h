#pragma once
// TEditorWrapOption: how word wrap cuts a line into rows: the row width and
// the Japanese line-breaking rules (characters that may hang past the
// margin, that may not start or end a row, and breaks moved back to a word
// boundary). Option strings are CP932; a double-byte character is one entry.
#include <string>

#include "platform/rtl/typeinfo.h"
#include "support/notify_classes.h"

namespace corvida {

class TEditorWrapOption : public TNotifyPersistent {
 public:
  CORVIDA_CLASS_NAME(TEditorWrapOption)

  static constexpr int kMinWrapByte = 20;
  static constexpr int kMaxWrapByte = 250;

  TEditorWrapOption();

  bool FollowRetMark() const { return followRetMark_; }
  void SetFollowRetMark(bool value);
  bool FollowPunctuation() const { return followPunctuation_; }
  void SetFollowPunctuation(bool value);
  const std::string& FollowStr() const { return followStr_; }
  void SetFollowStr(const std::string& value);
  bool Leading() const { return leading_; }
  void SetLeading(bool value);
  const std::string& LeadStr() const { return leadStr_; }
  void SetLeadStr(const std::string& value);
  const std::string& PunctuationStr() const { return punctuationStr_; }
  void SetPunctuationStr(const std::string& value);
  bool WordBreak() const { return wordBreak_; }
  void SetWordBreak(bool value);
  int WrapByte() const { return wrapByte_; }
  // Kept within 20..250.
  void SetWrapByte(int value);

  // From another wrap option: all fields, one change.
  void Assign(const TPersistent* source) override;

  static const TClassInfo* StaticInfo();
  const TClassInfo* ClassInfo() const override { return StaticInfo(); }

 private:
  bool followRetMark_ = false;
  bool followPunctuation_ = false;
  std::string followStr_;
  bool leading_ = false;
  std::string leadStr_;
  std::string punctuationStr_;
  bool wordBreak_ = false;
  int wrapByte_ = 80;
};

}  // namespace corvida

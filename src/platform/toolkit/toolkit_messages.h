#pragma once
// The toolkit's fixed texts, CP932 bytes written as escapes.
namespace corvida::msg {

// "無効または不可視のウィンドウにはフォーカスを設定できません"
inline constexpr const char* kCannotFocus =
    "\x96\xb3\x8c\xf8\x82\xdc\x82\xbd\x82\xcd\x95\x73\x89\xc2\x8e\x8b\x82\xcc\x83\x45\x83\x42\x83\x93\x83\x68"
    "\x83\x45\x82\xc9\x82\xcd\x83\x74\x83\x48\x81\x5b\x83\x4a\x83\x58\x82\xf0\x90\xdd\x92\xe8\x82\xc5\x82\xab"
    "\x82\xdc\x82\xb9\x82\xf1";
// Message dialog captions: "警告", "エラー", "情報", "確認".
inline constexpr const char* kWarningCaption = "\x8c\x78\x8d\x90";
inline constexpr const char* kErrorCaption = "\x83\x47\x83\x89\x81\x5b";
inline constexpr const char* kInformationCaption = "\x8f\xee\x95\xf1";
inline constexpr const char* kConfirmCaption = "\x8a\x6d\x94\x46";

}  // namespace corvida::msg

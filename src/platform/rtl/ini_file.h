#pragma once
// Private-profile (INI) files: `[section]` headers and `key=value` lines.
// Section and key names compare without case, names and values are trimmed,
// and every line the program does not change (comments, foreign lines,
// line ends) is written back exactly as it was read.
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/rtl/object.h"

namespace corvida {

// The text of an INI file as lines, each with its own line end.
class TIniText {
 public:
  TIniText() = default;
  explicit TIniText(std::string_view content);

  // The stored value of key in the first section of that name, trimmed and
  // otherwise untouched; none when the section or key is missing.
  std::optional<std::string> Value(std::string_view section, std::string_view key) const;
  // The names of the keys of the first section of that name, in file order.
  std::vector<std::string> Keys(std::string_view section) const;
  // The names of all sections, in file order.
  std::vector<std::string> Sections() const;

  // Replaces the key's value in place, or adds the key at the end of the
  // section, or adds the section at the end of the text. Returns whether the
  // text changed.
  bool SetValue(std::string_view section, std::string_view key, std::string_view value);
  // Removes the key's line. Returns whether the text changed.
  bool DeleteKey(std::string_view section, std::string_view key);
  // Removes a section with all its lines. Returns whether the text changed.
  bool DeleteSection(std::string_view section);

  std::string Content() const;

  // Whether the names and value survive a write and a read unchanged: no
  // line breaks or NUL bytes anywhere, no '=' in the key, and a key that does
  // not look like a section header or a comment.
  static bool CanStore(std::string_view section, std::string_view key, std::string_view value);

 private:
  enum TLineKind { lkOther, lkSection, lkKey };
  struct TLine {
    std::string text;
    std::string end;  // the line's own CR LF, LF or CR; empty on a last line without one
    TLineKind kind = lkOther;
    std::string name;
    std::string value;
  };
  static TLine ParseLine(std::string text, std::string end);
  // The first section header of that name, or npos.
  size_t FindSection(std::string_view section) const;
  // The end of the section whose header is at index: the next header or the end.
  size_t SectionEnd(size_t header) const;
  size_t FindKey(size_t header, std::string_view key) const;
  void InsertLine(size_t at, std::string text);

  std::vector<TLine> lines_;
  std::string newLine_ = "\r\n";  // the file's first line end, used for added lines
};

// The profile functions' read buffer: longer values are cut to one byte less.
inline constexpr size_t kProfileBufferSize = 2048;

// The system's profile read of a key in text: the value with one pair of
// surrounding quotes (' or ") dropped, ending at a NUL byte, cut to 2,047
// bytes; the default (its trailing spaces dropped) when the key is missing.
std::string ProfileString(const TIniText& text, std::string_view section, std::string_view key,
                          std::string_view defaultValue);

// One INI file, read and written as the system's profile functions do. Every
// call reads the file afresh; every write replaces it atomically.
class TIniFile : public TObject {
 public:
  CORVIDA_CLASS_NAME(TIniFile)
  explicit TIniFile(std::string fileName) : fileName_(std::move(fileName)) {}
  const std::string& FileName() const { return fileName_; }

  // ProfileString of the file's text; a missing or unreadable file reads as
  // empty.
  std::string ReadString(std::string_view section, std::string_view key, std::string_view defaultValue) const;
  // The names of the section's keys, in file order.
  std::vector<std::string> ReadKeys(std::string_view section) const;
  // The file's text as it is now; a missing or unreadable file gives none.
  TIniText ReadText() const;

  // Writes one key, creating the file and the section when missing. Raises
  // EIniFileException "%s に書き込めません" naming the file when the system
  // refuses the write, when the existing file cannot be read (it would be
  // lost), or when the names or value cannot be stored as one line.
  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  // Removes one key; nothing happens when it is missing. Errors as above.
  void DeleteKey(std::string_view section, std::string_view key);
  // Applies several edits with one read and one atomic write. The edit
  // returns whether it changed the text.
  void Update(const std::function<bool(TIniText&)>& edit);
  // Raises the write error naming this file.
  [[noreturn]] void WriteError() const;

 private:
  std::string fileName_;
};

}  // namespace corvida

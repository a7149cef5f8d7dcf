#pragma once
// Private-profile (INI) files: `[section]` headers and `key=value` lines.
// Section and key names compare without case, names and values are trimmed,
// and every line the program does not change (comments, foreign lines,
// line ends) is written back exactly as it was read.
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/rtl/object.h"

namespace corvida {

// The text of an INI file as lines, each with its own line end. A UTF-8
// byte-order mark at the start is set aside and kept. Keys are found through
// an index per section, so that a setting of thousands of keys is written in
// linear time.
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
  // The lines of one section, its header first. The first section holds the
  // lines before the first header and has none.
  struct TSection {
    std::vector<TLine> lines;
    // Built at the first look-up and kept up to date while keys are added at
    // the end; dropped when a removal moves key lines.
    mutable bool indexed = false;
    mutable std::unordered_map<std::string, size_t> firstKey;  // upper-cased name → line
    mutable size_t lastKey = 0;  // the last key line, or the header
  };
  static TLine ParseLine(std::string text, std::string end);
  // The first section of that name, or npos; the first section has no name.
  size_t FindSection(std::string_view section) const;
  // The key's first line in the section, or npos.
  size_t FindKey(const TSection& s, std::string_view key) const;
  void Index(const TSection& s) const;
  // Gives the last line of the text a line end before a line follows it.
  void EndLastLine();

  std::string byteOrderMark_;
  std::vector<TSection> sections_ = std::vector<TSection>(1);
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
// call reads the file afresh, except inside Snapshot and Transaction; every
// write replaces it atomically, holding the file's lock from its read on.
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
  // Calls reader with the file's text: the copy that a Snapshot or
  // Transaction in progress holds, else the file as it is now.
  void Read(const std::function<void(const TIniText&)>& reader) const;

  // Writes one key, creating the file and the section when missing. Raises
  // EIniFileException "%s に書き込めません" naming the file when the file is
  // read-only or the system refuses the write, when the existing file cannot
  // be read (it would be lost), or when the names or value cannot be stored
  // as one line; and "%s は他のプロセスが使用中です" when another writer
  // holds the file for more than a few seconds.
  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  // Removes one key; nothing happens when it is missing. Errors as above.
  void DeleteKey(std::string_view section, std::string_view key);
  // Applies several edits with one read and one atomic write, under the
  // file's lock. The edit returns whether it changed the text.
  void Update(const std::function<bool(TIniText&)>& edit);
  // Runs body with every read and write of this object going to one copy of
  // the file, taken under the file's lock, which is held to the end: other
  // writers see body's accesses as one step. The file is then replaced once
  // if anything changed, and left as it was if body raises. Errors as above.
  void Transaction(const std::function<void()>& body);
  // Runs body with every read of this object going to one copy of the file,
  // so that several reads see one state of it. Only reads belong in body.
  void Snapshot(const std::function<void()>& body);
  // Raises the write error naming this file ("%s に書き込めません"), with
  // the system's reason when there is one.
  [[noreturn]] void WriteError(std::string_view reason = {}) const;

 private:
  std::string fileName_;
  const TIniText* held_ = nullptr;  // the copy of a Snapshot or Transaction
  TIniText* editing_ = nullptr;     // the same copy, during a Transaction
  bool changed_ = false;
};

}  // namespace corvida

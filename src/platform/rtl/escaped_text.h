#pragma once
// Texts from outside (paths, object names) as the program shows them: on a
// terminal, in a file of text for scripts, or in the report pane. A
// character that would move the cursor, start a terminal command, break the
// line or turn the text around is shown as a backslash escape instead, in
// the manner of `ls --quoting-style=escape`, so that one line of output
// stays one line and the text can be read back exactly:
//   \\  a backslash
//   \a \b \t \n \v \f \r, and \ooo (three octal digits) for the other C0
//       controls and DEL, e.g. \033 for ESC
//   \uXXXX or \UXXXXXXXX for C1 controls, line and paragraph separators,
//       bidirectional marks, embeddings, overrides and isolates, and (in
//       the pane) for characters that CP932 lacks
//   \xHH  for a byte that is no character of the text's coding
// Everything else keeps its bytes.
#include <string>
#include <string_view>

namespace corvida {

enum TTextCoding { tcUtf8, tcCp932 };

// Whether c is one of the characters that are escaped wherever shown.
bool IsEscapedCharacter(char32_t c);

// text, coded as from, in the coding to with the escapes above. A last
// CP932 byte that starts no character stays as it is in CP932: the report
// reads names that end in the lead byte of a character cut in half.
std::string EscapedText(std::string_view text, TTextCoding from, TTextCoding to);

}  // namespace corvida

#pragma once
// Moving byte streams between streams and the setting store's backends, and
// the published state of a component through a stream. An INI file holds a
// stream as numbered lines of hexadecimal digits, the registry store as one
// binary value.
#include <string>
#include <string_view>
#include <vector>

#include "platform/rtl/registry_store.h"

namespace corvida {

class TClassRegistry;
class TComponent;
class TMemoryStream;
class TStream;
class TStrings;

// The registry backend used for stored streams.
using TStreamReg = TRegistry;

// Bytes per line of the hexadecimal form (two digits each).
inline constexpr int kHexLineBytes = 32;

// Clears lines and fills them with the stream's bytes from its position to
// its end, two upper-case hexadecimal digits a byte, 32 bytes a line.
void StreamToHexLines(TStream& stream, TStrings& lines);
// Writes the bytes of the lines at the stream's position. Each pair of
// characters is read as a hexadecimal byte; a pair that is not one gives 0,
// and a last single character is read alone.
void HexLinesToStream(const TStrings& lines, TStream& stream);

// Stores the stream's remaining bytes under stem + "_c" (the line count) and
// stem + "_d" + i (line i) in section, with one atomic write of the file;
// lines stored before beyond the new count are removed.
void WriteStreamToIni(TStream& stream, const std::string& iniPath, std::string_view section,
                      std::string_view stem);
// Appends the stored bytes at the stream's position; a missing or
// non-numeric count reads nothing, missing lines read as empty.
void ReadStreamFromIni(TStream& stream, const std::string& iniPath, std::string_view section,
                       std::string_view stem);

// Stores the whole stream as binary value name in subkey section of key path
// keyPath. The stream must be at its start: otherwise the read of its size
// raises EReadError and nothing is written. An empty storePath means the
// user's default store.
void WriteStreamToRegistry(TStream& stream, std::string_view keyPath, std::string_view section,
                           std::string_view name, const std::string& storePath = std::string());
// Appends the stored bytes at the stream's position; nothing when missing.
void ReadStreamFromRegistry(TStream& stream, std::string_view keyPath, std::string_view section,
                            std::string_view name, const std::string& storePath = std::string());

// Writes the component, its published properties and its named owned
// components at the stream's position, in the self-describing text form of
// the component stream.
void WriteComponentToStream(TComponent& component, TMemoryStream& stream);
// Restores control (and its owned components) from the component stream at
// the stream's position; classes names the components the text may create.
// The text must describe an object of control's class. No reading error
// escapes: on failure the control keeps its state and the names of it and of
// its owned components are given back, and false is returned.
bool ReadComponentFromStream(TMemoryStream& stream, TComponent& control, const TClassRegistry& classes);

// One more than the highest index i among keys named prefix + i (i in plain
// decimal, names compared without case); 0 when there is none. Stored counts
// are limited by it, so that a damaged count never means billions of reads
// of keys that are not there.
int StoredIndexLimit(const std::vector<std::string>& keys, std::string_view prefix);

}  // namespace corvida

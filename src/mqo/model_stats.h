#pragma once
// The statistics of one model: per object its faces, triangles, vertices,
// material slots, visibility and mirroring, and per file the totals over the
// visible and over the hidden objects. TStatsTally gathers them from what a
// reader of the chunk structure finds and checks what the file declares
// against what it holds.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "platform/rtl/exceptions.h"

namespace corvida {

// Every count the statistics read or sum stays below 2^53, so that it is
// exact wherever a JSON reader puts it; a larger one is an error, never
// wrapped.
inline constexpr uint64_t kMaxCount = (uint64_t{1} << 53) - 1;

// A model the statistics cannot count: the message names the line.
class EModelError : public EParserError {
 public:
  EModelError(uint64_t line, std::string text);
  uint64_t Line() const { return line_; }
  // The message without the line.
  const std::string& Text() const { return text_; }

 private:
  uint64_t line_;
  std::string text_;
};

// A whole number as the statistics read it: '-' or not, then decimal
// digits. Counts beyond kMaxCount are too large.
struct TWholeNumber {
  enum TKind : uint8_t { wnNone, wnValue, wnTooLarge };
  TKind kind = wnNone;
  int64_t value = 0;
};

struct TStatsWarning {
  uint64_t line;
  std::string text;
  bool operator==(const TStatsWarning&) const = default;
};

// How an object is mirrored when exported (the "mirror" field).
enum TMirrorMode : int64_t { mmNone = 0, mmSeparate = 1, mmConnected = 2 };

struct TObjectStats {
  // The bytes of the name between its quotes, in the file's code page.
  std::string name;
  uint64_t faces = 0;
  uint64_t triangles = 0;
  uint64_t vertices = 0;
  uint64_t materials = 0;
  bool visible = true;
  int64_t mirror = mmNone;
  // The axes of a mirror: X 1, Y 2, Z 4; 0 when the object is not mirrored.
  int64_t mirrorAxis = 0;
  bool subdivided = false;
  bool lathe = false;
  // The triangles an exporter writes: those of the mirrored copies too.
  uint64_t exportedTriangles = 0;
  // A connected mirror also writes the faces that join the halves, which
  // no count here includes.
  bool exportedEstimate = false;
  bool operator==(const TObjectStats&) const = default;
};

struct TStatsTotals {
  // The objects with at least one face.
  uint64_t objects = 0;
  uint64_t faces = 0;
  uint64_t triangles = 0;
  uint64_t vertices = 0;
  // The distinct material slots the objects' faces use.
  uint64_t materials = 0;
  uint64_t exportedTriangles = 0;
  bool operator==(const TStatsTotals&) const = default;
};

struct TModelStats {
  bool utf8 = false;
  std::vector<TObjectStats> objects;
  TStatsTotals visible;
  TStatsTotals hidden;
  uint64_t materialEntries = 0;
  std::vector<TStatsWarning> warnings;
  // Warnings beyond the ones kept.
  uint64_t warningsLeftOut = 0;
  // The model ends with its Eof: a save in progress does not yet.
  bool ended = false;
  bool operator==(const TModelStats&) const = default;
};

// The distinct material indices of some faces; a face without one counts as
// one slot of its own.
class TMaterialSet {
 public:
  TMaterialSet() : low_(kLow / 64) {}
  // index below 0: no material.
  void Insert(int64_t index) {
    if (index == last_) return;
    last_ = index;
    InsertNew(index);
  }
  uint64_t Count() const { return count_; }
  void AddTo(TMaterialSet& other) const;
  void Clear();

 private:
  static constexpr uint64_t kLow = 4096;
  void InsertNew(int64_t index);
  std::vector<uint64_t> low_;
  std::unordered_set<uint64_t> high_;
  bool none_ = false;
  uint64_t count_ = 0;
  int64_t last_ = INT64_MIN;
};

// The fields of an object that the statistics read.
enum TObjectField : uint8_t { ofVisible, ofMirror, ofMirrorAxis, ofPatch, ofLathe };

class TStatsTally {
 public:
  static constexpr size_t kWarningsKept = 100;

  void SetUtf8(bool utf8) { stats_.utf8 = utf8; }
  void BeginObject(std::string name);
  void SetField(TObjectField field, int64_t value);
  // A vertex or BVertex chunk; declared is none when its count is missing
  // or not a count.
  void AddVertices(std::optional<uint64_t> declared, uint64_t line);
  void BeginFaces(std::optional<uint64_t> declared, uint64_t line);
  // One face line: its count of vertices (none when it does not begin with
  // one), the entries of its V(...), its material (below 0: none).
  void Face(std::optional<uint64_t> corners, uint64_t listed, int64_t material, uint64_t line) {
    ++faces_;
    if (corners && *corners == listed) {
      AddTriangles(*corners > 2 ? *corners - 2 : 0, line);
    } else {
      FaceWarning(corners, listed, line);
    }
    materials_.Insert(material);
  }
  void EndFaces(uint64_t line);
  void EndObject(uint64_t line);
  void BeginMaterials(std::optional<uint64_t> declared, uint64_t line);
  void MaterialEntry() { ++entries_; }
  void EndMaterials(uint64_t line);
  void Warn(uint64_t line, std::string text);
  // The totals; a model without Eof gets a warning at lastLine.
  TModelStats Finish(bool sawEof, uint64_t lastLine);

 private:
  void AddTriangles(uint64_t triangles, uint64_t line) {
    object_.triangles += triangles;
    if (object_.triangles > kMaxCount) TooLarge(line);
  }
  [[gnu::cold]] void FaceWarning(std::optional<uint64_t> corners, uint64_t listed, uint64_t line);
  [[noreturn]] static void TooLarge(uint64_t line);
  static void Add(uint64_t& sum, uint64_t value, uint64_t line);

  TModelStats stats_;
  TObjectStats object_;
  int64_t mirrorAxis_ = 1;
  TMaterialSet materials_;
  TMaterialSet visibleMaterials_;
  TMaterialSet hiddenMaterials_;
  // The faces of the face chunk being read, and what it declared.
  uint64_t faces_ = 0;
  std::optional<uint64_t> declaredFaces_;
  uint64_t facesLine_ = 0;
  uint64_t entries_ = 0;
  std::optional<uint64_t> declaredEntries_;
  uint64_t entriesLine_ = 0;
};

}  // namespace corvida

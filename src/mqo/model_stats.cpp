#include "mqo/model_stats.h"

#include <bit>
#include <utility>

namespace corvida {
namespace {

std::string Counted(uint64_t n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace

EModelError::EModelError(uint64_t line, std::string text)
    : EParserError("line " + std::to_string(line) + ": " + text), line_(line), text_(std::move(text)) {}

void TMaterialSet::InsertNew(int64_t index) {
  bool added;
  if (index < 0) {
    added = !none_;
    none_ = true;
  } else if (static_cast<uint64_t>(index) < kLow) {
    uint64_t& word = low_[static_cast<size_t>(index) / 64];
    const uint64_t bit = uint64_t{1} << (index % 64);
    added = (word & bit) == 0;
    word |= bit;
  } else {
    added = high_.insert(static_cast<uint64_t>(index)).second;
  }
  count_ += added;
}

void TMaterialSet::AddTo(TMaterialSet& other) const {
  if (none_) other.Insert(-1);
  for (size_t i = 0; i < low_.size(); ++i)
    for (uint64_t bits = low_[i]; bits != 0; bits &= bits - 1)
      other.Insert(static_cast<int64_t>(i * 64 + static_cast<size_t>(std::countr_zero(bits))));
  for (const uint64_t index : high_) other.Insert(static_cast<int64_t>(index));
}

void TMaterialSet::Clear() {
  std::fill(low_.begin(), low_.end(), 0);
  high_.clear();
  none_ = false;
  count_ = 0;
  last_ = INT64_MIN;
}

void TStatsTally::TooLarge(uint64_t line) {
  throw EModelError(line, "a count beyond " + std::to_string(kMaxCount));
}

void TStatsTally::Add(uint64_t& sum, uint64_t value, uint64_t line) {
  sum += value;
  if (value > kMaxCount || sum > kMaxCount) TooLarge(line);
}

void TStatsTally::BeginObject(std::string name) {
  object_ = TObjectStats{};
  object_.name = std::move(name);
  mirrorAxis_ = 1;
  materials_.Clear();
}

void TStatsTally::SetField(TObjectField field, int64_t value) {
  switch (field) {
    case ofVisible: object_.visible = value != 0; break;
    case ofMirror: object_.mirror = value; break;
    case ofMirrorAxis: mirrorAxis_ = value; break;
    case ofPatch: object_.subdivided = value > 0; break;
    case ofLathe: object_.lathe = value > 0; break;
  }
}

void TStatsTally::AddVertices(std::optional<uint64_t> declared, uint64_t line) {
  if (!declared) {
    Warn(line, "the vertex chunk does not say how many vertices it holds");
    return;
  }
  Add(object_.vertices, *declared, line);
}

void TStatsTally::BeginFaces(std::optional<uint64_t> declared, uint64_t line) {
  faces_ = 0;
  declaredFaces_ = declared;
  facesLine_ = line;
}

void TStatsTally::FaceWarning(std::optional<uint64_t> corners, uint64_t listed, uint64_t line) {
  if (!corners) {
    Warn(line, "the face line does not begin with its count of vertices");
    return;
  }
  Warn(line, "the face line says " + Counted(*corners, "vertex", "vertices") + " and lists " + std::to_string(listed));
  AddTriangles(*corners > 2 ? *corners - 2 : 0, line);
}

void TStatsTally::EndFaces(uint64_t line) {
  if (declaredFaces_ != faces_) {
    Warn(facesLine_, declaredFaces_ ? "the face chunk declares " + Counted(*declaredFaces_, "face", "faces") +
                                          " and holds " + std::to_string(faces_)
                                    : "the face chunk does not say how many faces it holds");
  }
  Add(object_.faces, faces_, line);
}

void TStatsTally::EndObject(uint64_t line) {
  object_.materials = materials_.Count();
  if (object_.mirror != mmNone) {
    object_.mirrorAxis = mirrorAxis_;
    const int copies = std::popcount(static_cast<uint64_t>(mirrorAxis_) & 7);
    if (object_.triangles > (kMaxCount >> copies)) TooLarge(line);
    object_.exportedTriangles = object_.triangles << copies;
    object_.exportedEstimate = object_.mirror == mmConnected;
  } else {
    object_.exportedTriangles = object_.triangles;
  }
  TStatsTotals& totals = object_.visible ? stats_.visible : stats_.hidden;
  totals.objects += object_.faces > 0;
  Add(totals.faces, object_.faces, line);
  Add(totals.triangles, object_.triangles, line);
  Add(totals.vertices, object_.vertices, line);
  Add(totals.exportedTriangles, object_.exportedTriangles, line);
  materials_.AddTo(object_.visible ? visibleMaterials_ : hiddenMaterials_);
  stats_.objects.push_back(std::move(object_));
  object_ = TObjectStats{};
}

void TStatsTally::BeginMaterials(std::optional<uint64_t> declared, uint64_t line) {
  entries_ = 0;
  declaredEntries_ = declared;
  entriesLine_ = line;
}

void TStatsTally::EndMaterials(uint64_t line) {
  if (declaredEntries_ != entries_) {
    Warn(entriesLine_, declaredEntries_ ? "the Material chunk declares " +
                                              Counted(*declaredEntries_, "material", "materials") + " and holds " +
                                              std::to_string(entries_)
                                        : "the Material chunk does not say how many materials it holds");
  }
  Add(stats_.materialEntries, entries_, line);
}

void TStatsTally::Warn(uint64_t line, std::string text) {
  if (stats_.warnings.size() < kWarningsKept) {
    stats_.warnings.push_back({line, std::move(text)});
  } else {
    ++stats_.warningsLeftOut;
  }
}

TModelStats TStatsTally::Finish(bool sawEof, uint64_t lastLine) {
  if (!sawEof) Warn(lastLine, "the file has no Eof at its end");
  stats_.ended = sawEof;
  stats_.visible.materials = visibleMaterials_.Count();
  stats_.hidden.materials = hiddenMaterials_.Count();
  return std::move(stats_);
}

}  // namespace corvida

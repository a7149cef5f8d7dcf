#pragma once
// What changed in a model between two of its reports: per object its faces
// and triangles, objects that came and went, and the totals. Objects are
// matched by name, the n-th of a name with the n-th, as a modeller reads
// the report.
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "mqo/model_stats.h"
#include "platform/rtl/escaped_text.h"

namespace corvida {

enum TObjectChangeKind { ocChanged, ocNew, ocGone };

struct TObjectChange {
  // UTF-8, decoded from the file's code page.
  std::string name;
  TObjectChangeKind kind = ocChanged;
  // After less before; for a new object its figures, for a gone one their
  // negation.
  int64_t faces = 0;
  int64_t triangles = 0;
};

struct TModelChanges {
  // In the order of the later report, the gone ones after.
  std::vector<TObjectChange> objects;
  // Over all objects, visible and hidden.
  int64_t faces = 0;
  int64_t triangles = 0;
};

TModelChanges ModelChanges(const TModelStats& before, const TModelStats& after);

// The changes for people: a comment line naming the file (path, the file
// system's bytes), a line per changed object, the totals and the report's
// separator; in the coding asked for, with the report's escapes.
std::vector<std::string> ChangesLines(const std::string& path, const TModelChanges& changes, TTextCoding coding);
// The same lines for a terminal.
void WriteChangesText(const std::string& path, const TModelChanges& changes, std::ostream& out);
// One JSON line: {"kind":"changes","path":...,"objects":[...],"total":{...}}.
void WriteChangesJsonLine(const std::string& path, const TModelChanges& changes, std::ostream& out);

}  // namespace corvida

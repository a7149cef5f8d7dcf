#include "mqo/model_changes.h"

#include <cinttypes>
#include <cstdio>
#include <map>

#include "mqo/face_report.h"
#include "mqo/text_forms.h"
#include "platform/rtl/escaped_text.h"

namespace corvida {
namespace {

int64_t Signed(uint64_t count) { return static_cast<int64_t>(count); }

std::string Figures(int64_t faces, int64_t triangles) {
  char text[48];
  std::snprintf(text, sizeof text, "%+8" PRId64 " %+8" PRId64, faces, triangles);
  return text;
}

const char* KindWord(TObjectChangeKind kind) {
  return kind == ocNew ? "new" : kind == ocGone ? "gone" : "changed";
}

}  // namespace

TModelChanges ModelChanges(const TModelStats& before, const TModelStats& after) {
  // The objects of before by name, each name's in file order; matched ones
  // are taken out from the front.
  std::map<std::string, std::vector<const TObjectStats*>> earlier;
  for (const TObjectStats& o : before.objects) earlier[DecodeText(o.name, before.utf8).utf8].push_back(&o);
  std::map<std::string, size_t> taken;
  TModelChanges changes;
  for (const TObjectStats& o : after.objects) {
    const std::string name = DecodeText(o.name, after.utf8).utf8;
    const std::vector<const TObjectStats*>& same = earlier[name];
    size_t& used = taken[name];
    if (used == same.size()) {
      changes.objects.push_back({name, ocNew, Signed(o.faces), Signed(o.triangles)});
      continue;
    }
    const TObjectStats& old = *same[used++];
    if (old.faces != o.faces || old.triangles != o.triangles)
      changes.objects.push_back(
          {name, ocChanged, Signed(o.faces) - Signed(old.faces), Signed(o.triangles) - Signed(old.triangles)});
  }
  for (const TObjectStats& o : before.objects) {
    const std::string name = DecodeText(o.name, before.utf8).utf8;
    size_t& used = taken[name];
    // Those of a name beyond the ones matched are gone, in file order.
    if (used < earlier[name].size() && earlier[name][used] == &o) {
      ++used;
      changes.objects.push_back({name, ocGone, -Signed(o.faces), -Signed(o.triangles)});
    }
  }
  changes.faces = Signed(after.visible.faces + after.hidden.faces) - Signed(before.visible.faces + before.hidden.faces);
  changes.triangles = Signed(after.visible.triangles + after.hidden.triangles) -
                      Signed(before.visible.triangles + before.hidden.triangles);
  return changes;
}

std::vector<std::string> ChangesLines(const std::string& path, const TModelChanges& changes, TTextCoding coding) {
  std::vector<std::string> lines{"// changes since the previous report (faces, triangles): " +
                                 EscapedText(path, tcUtf8, coding)};
  for (const TObjectChange& c : changes.objects)
    lines.push_back(Figures(c.faces, c.triangles) + " : \"" + EscapedText(c.name, tcUtf8, coding) + '"' +
                    (c.kind == ocChanged ? "" : std::string(" ") + KindWord(c.kind)));
  lines.push_back(Figures(changes.faces, changes.triangles) + " : Total");
  lines.push_back(kReportSeparator);
  return lines;
}

void WriteChangesText(const std::string& path, const TModelChanges& changes, std::ostream& out) {
  for (const std::string& line : ChangesLines(path, changes, tcUtf8)) out << line << '\n';
}

void WriteChangesJsonLine(const std::string& path, const TModelChanges& changes, std::ostream& out) {
  out << "{\"kind\":\"changes\",\"path\":" << JsonString(ValidUtf8(path)) << ",\"objects\":[";
  const char* separator = "";
  for (const TObjectChange& c : changes.objects) {
    out << separator << "{\"name\":" << JsonString(c.name) << ",\"change\":\"" << KindWord(c.kind)
        << "\",\"faces\":" << c.faces << ",\"triangles\":" << c.triangles << "}";
    separator = ",";
  }
  out << "],\"total\":{\"faces\":" << changes.faces << ",\"triangles\":" << changes.triangles << "}}\n";
}

}  // namespace corvida

#include "mqo/stats_output.h"

#include <algorithm>
#include <bit>
#include <numeric>

#include "mqo/face_report.h"
#include "mqo/text_forms.h"
#include "platform/rtl/escaped_text.h"

namespace corvida {
namespace {

std::string Number(uint64_t n) { return std::to_string(n); }
const char* Bool(bool b) { return b ? "true" : "false"; }

// The parts of a JSON record that the document and the lines share.
std::string JsonTotals(const TStatsTotals& t) {
  return "{\"objects\":" + Number(t.objects) + ",\"faces\":" + Number(t.faces) + ",\"triangles\":" +
         Number(t.triangles) + ",\"vertices\":" + Number(t.vertices) + ",\"materials\":" + Number(t.materials) +
         ",\"exported_triangles\":" + Number(t.exportedTriangles) + "}";
}

std::string JsonName(const std::string& name, bool utf8) {
  const TDecodedText decoded = DecodeText(name, utf8);
  std::string out = "\"name\":" + JsonString(decoded.utf8);
  if (decoded.lossy) out += ",\"name_hex\":\"" + HexBytes(name) + "\"";
  return out;
}

std::string JsonObject(const TObjectStats& o, size_t index, bool utf8) {
  return "\"index\":" + Number(index) + "," + JsonName(o.name, utf8) + ",\"faces\":" + Number(o.faces) +
         ",\"triangles\":" + Number(o.triangles) + ",\"vertices\":" + Number(o.vertices) + ",\"materials\":" +
         Number(o.materials) + ",\"visible\":" + Bool(o.visible) + ",\"mirror\":{\"mode\":" + std::to_string(o.mirror) +
         ",\"axis\":" + std::to_string(o.mirrorAxis) + "},\"subdivided\":" + Bool(o.subdivided) + ",\"lathe\":" +
         Bool(o.lathe) + ",\"exported_triangles\":" + Number(o.exportedTriangles) +
         ",\"exported_estimate\":" + Bool(o.exportedEstimate);
}

// What a file says of itself beside its objects, without the braces.
std::string JsonFileTail(const TStatsFile& file) {
  const TModelStats* s = file.stats ? &*file.stats : nullptr;
  std::string out = "\"totals\":";
  out += s ? "{\"visible\":" + JsonTotals(s->visible) + ",\"hidden\":" + JsonTotals(s->hidden) + "}" : "null";
  out += ",\"material_entries\":" + (s ? Number(s->materialEntries) : "null");
  out += ",\"warnings\":[";
  if (s) {
    for (size_t i = 0; i < s->warnings.size(); ++i) {
      out += (i == 0 ? "{\"line\":" : ",{\"line\":") + Number(s->warnings[i].line) +
             ",\"message\":" + JsonString(s->warnings[i].text) + "}";
    }
  }
  out += "],\"warnings_left_out\":" + Number(s ? s->warningsLeftOut : 0) + ",\"over\":[";
  for (size_t i = 0; i < file.over.size(); ++i) {
    const TOverBudget& o = file.over[i];
    out += (i == 0 ? "{\"figure\":\"" : ",{\"figure\":\"") + std::string(o.figure) + "\",\"value\":" + Number(o.value) +
           ",\"limit\":" + Number(o.limit) + "}";
  }
  out += "],\"error\":" + (file.error.empty() ? std::string("null") : JsonString(file.error));
  out += ",\"error_line\":" + (file.errorLine != 0 ? Number(file.errorLine) : std::string("null"));
  return out;
}

std::string JsonCodePage(const TStatsFile& file) {
  return file.stats ? (file.stats->utf8 ? "\"utf8\"" : "\"cp932\"") : "null";
}

class TJsonWriter : public TStatsWriter {
 public:
  TJsonWriter(std::ostream& out, int sortMode) : out_(out), sortMode_(sortMode) { out_ << "{\"files\":["; }
  void File(const TStatsFile& file) override {
    out_ << (first_ ? "" : ",") << "\n{\"path\":" << JsonString(ValidUtf8(file.path))
         << ",\"codepage\":" << JsonCodePage(file) << ",\"objects\":[";
    first_ = false;
    if (file.stats) {
      bool firstObject = true;
      for (const size_t i : SortedObjects(*file.stats, sortMode_)) {
        out_ << (firstObject ? "\n{" : ",\n{") << JsonObject(file.stats->objects[i], i, file.stats->utf8) << "}";
        firstObject = false;
      }
    }
    out_ << "]," << JsonFileTail(file) << "}";
    out_.flush();
  }
  void End() override { out_ << "\n]}\n"; }

 private:
  std::ostream& out_;
  int sortMode_;
  bool first_ = true;
};

class TJsonLinesWriter : public TStatsWriter {
 public:
  TJsonLinesWriter(std::ostream& out, int sortMode) : out_(out), sortMode_(sortMode) {}
  void File(const TStatsFile& file) override {
    const std::string path = JsonString(ValidUtf8(file.path));
    if (file.stats) {
      for (const size_t i : SortedObjects(*file.stats, sortMode_))
        out_ << "{\"kind\":\"object\",\"path\":" << path << "," << JsonObject(file.stats->objects[i], i, file.stats->utf8)
             << "}\n";
    }
    out_ << "{\"kind\":\"file\",\"path\":" << path << ",\"codepage\":" << JsonCodePage(file) << ","
         << JsonFileTail(file) << "}\n";
    out_.flush();
  }

 private:
  std::ostream& out_;
  int sortMode_;
};

class TCsvWriter : public TStatsWriter {
 public:
  TCsvWriter(std::ostream& out, int sortMode) : out_(out), sortMode_(sortMode) {
    out_ << "path,kind,index,name,name_hex,objects,faces,triangles,vertices,materials,exported_triangles,"
            "exported_estimate,visible,mirror_mode,mirror_axis,subdivided,lathe,over,error\r\n";
  }
  void File(const TStatsFile& file) override {
    const std::string path = CsvField(EscapedText(file.path, tcUtf8, tcUtf8));
    if (!file.stats) {
      out_ << path << ",error,,,,,,,,,,,,,,,,," << CsvField(file.error) << "\r\n";
      out_.flush();
      return;
    }
    const TModelStats& s = *file.stats;
    for (const size_t i : SortedObjects(s, sortMode_)) {
      const TObjectStats& o = s.objects[i];
      const TDecodedText name = ShownName(o.name, s.utf8);
      out_ << path << ",object," << i << "," << CsvField(name.utf8) << "," << (name.lossy ? HexBytes(o.name) : "")
           << ",," << o.faces << "," << o.triangles << "," << o.vertices << "," << o.materials << ","
           << o.exportedTriangles << "," << Bool(o.exportedEstimate) << "," << Bool(o.visible) << "," << o.mirror
           << "," << o.mirrorAxis << "," << Bool(o.subdivided) << "," << Bool(o.lathe) << ",,\r\n";
    }
    std::string over;
    for (const TOverBudget& o : file.over) {
      if (!over.empty()) over += ';';
      over += o.figure;
    }
    Totals(path, "visible_total", s.visible, over);
    Totals(path, "hidden_total", s.hidden, "");
    out_.flush();
  }

 private:
  void Totals(const std::string& path, const char* kind, const TStatsTotals& t, const std::string& over) {
    out_ << path << "," << kind << ",,,," << t.objects << "," << t.faces << "," << t.triangles << "," << t.vertices
         << "," << t.materials << "," << t.exportedTriangles << ",,,,,,," << over << ",\r\n";
  }

  std::ostream& out_;
  int sortMode_;
};

// Rows of cells, each column as wide as its widest cell on a terminal.
class TTable {
 public:
  enum TAlign { alLeft, alRight };
  explicit TTable(std::vector<TAlign> aligns) : aligns_(std::move(aligns)) {}
  void Row(std::vector<std::string> cells) { rows_.push_back(std::move(cells)); }
  void Print(std::ostream& out) const {
    std::vector<size_t> widths(aligns_.size(), 0);
    for (const auto& row : rows_)
      for (size_t c = 0; c < row.size(); ++c) widths[c] = std::max(widths[c], DisplayWidth(row[c]));
    for (const auto& row : rows_) {
      std::string line;
      for (size_t c = 0; c < row.size(); ++c) {
        const std::string pad(widths[c] - DisplayWidth(row[c]), ' ');
        line += c == 0 ? "" : "  ";
        line += aligns_[c] == alRight ? pad + row[c] : row[c] + pad;
      }
      line.erase(line.find_last_not_of(' ') + 1);
      out << line << '\n';
    }
  }

 private:
  std::vector<TAlign> aligns_;
  std::vector<std::vector<std::string>> rows_;
};

std::string Objects(uint64_t n) { return Number(n) + (n == 1 ? " object" : " objects"); }

class TTextWriter : public TStatsWriter {
 public:
  TTextWriter(std::ostream& out, int sortMode, const std::optional<std::string>& budgetName)
      : out_(out), sortMode_(sortMode), budgetName_(budgetName) {}
  void File(const TStatsFile& file) override {
    out_ << (first_ ? "" : "\n") << EscapedText(file.path, tcUtf8, tcUtf8) << '\n';
    first_ = false;
    if (!file.stats) {
      out_.flush();
      return;
    }
    const TModelStats& s = *file.stats;
    using enum TTable::TAlign;
    TTable table({alRight, alLeft, alRight, alRight, alRight, alRight, alRight, alLeft});
    table.Row({"#", "name", "faces", "triangles", "vertices", "materials", "exported", "marks"});
    for (const size_t i : SortedObjects(s, sortMode_)) {
      const TObjectStats& o = s.objects[i];
      table.Row({Number(i), ShownName(o.name, s.utf8).utf8, Number(o.faces), Number(o.triangles),
                 Number(o.vertices), Number(o.materials), Number(o.exportedTriangles), ObjectMarks(o, "\xc3\x97", ", ")});
    }
    const auto totals = [&](const char* what, const TStatsTotals& t) {
      table.Row({"", std::string(what) + ": " + Objects(t.objects), Number(t.faces), Number(t.triangles),
                 Number(t.vertices), Number(t.materials), Number(t.exportedTriangles), ""});
    };
    totals("visible", s.visible);
    totals("hidden", s.hidden);
    table.Print(out_);
    out_ << "material entries: " << s.materialEntries << '\n';
    if (budgetName_) out_ << "budget" << (budgetName_->empty() ? "" : " " + *budgetName_) << ": " << VerdictText(file.over) << '\n';
    out_.flush();
  }

 private:
  std::ostream& out_;
  int sortMode_;
  std::optional<std::string> budgetName_;
  bool first_ = true;
};

}  // namespace

std::vector<size_t> SortedObjects(const TModelStats& stats, int sortMode) {
  std::vector<size_t> order(stats.objects.size());
  std::iota(order.begin(), order.end(), size_t{0});
  const auto faces = [&](size_t i) { return stats.objects[i].faces; };
  if (sortMode == kSortAscending) {
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return faces(a) < faces(b); });
  } else if (sortMode == kSortDescending) {
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return faces(a) > faces(b); });
  }
  return order;
}

std::string ObjectMarks(const TObjectStats& object, std::string_view times, std::string_view separator) {
  std::vector<std::string> marks;
  if (!object.visible) marks.push_back("hidden");
  if (object.mirror != mmNone) {
    const uint64_t copies = uint64_t{1} << std::popcount(static_cast<uint64_t>(object.mirrorAxis) & 7);
    marks.push_back("mirror " + std::string(times) + Number(copies) +
                    (object.exportedEstimate ? " (connected, estimate)" : ""));
  }
  if (object.subdivided) marks.push_back("subdivided");
  if (object.lathe) marks.push_back("lathe");
  std::string out;
  for (const std::string& mark : marks) out += (out.empty() ? "" : std::string(separator)) + mark;
  return out;
}

std::unique_ptr<TStatsWriter> MakeStatsWriter(TOutputForm form, std::ostream& out, int sortMode,
                                              const std::optional<std::string>& budgetName) {
  switch (form) {
    case foCsv: return std::make_unique<TCsvWriter>(out, sortMode);
    case foJson: return std::make_unique<TJsonWriter>(out, sortMode);
    case foJsonLines: return std::make_unique<TJsonLinesWriter>(out, sortMode);
    case foText: break;
  }
  return std::make_unique<TTextWriter>(out, sortMode, budgetName);
}

}  // namespace corvida

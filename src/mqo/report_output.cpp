#include "mqo/report_output.h"

#include "mqo/face_tally.h"
#include "mqo/text_forms.h"
#include "platform/rtl/escaped_text.h"

namespace corvida {
namespace {

std::string JsonLine(const TFaceCounts& counts, size_t i) {
  const TDecodedText name = DecodeText(counts.LineName(i), counts.Utf8Document());
  return "\"index\":" + std::to_string(counts.FileIndex(i)) + ",\"name\":" + JsonString(name.utf8) +
         (name.lossy ? ",\"name_hex\":\"" + HexBytes(counts.LineName(i)) + "\"" : "") +
         ",\"faces\":" + std::to_string(counts.FaceCount(i));
}

std::string JsonTail(const TReportFile& file) {
  return "\"total\":" + (file.counts ? std::to_string(file.counts->Total()) : "null") +
         ",\"error\":" + (file.error.empty() ? std::string("null") : JsonString(file.error));
}

std::string JsonCodePage(const TReportFile& file) {
  return file.counts ? (file.counts->Utf8Document() ? "\"utf8\"" : "\"cp932\"") : "null";
}

class TJsonWriter : public TReportWriter {
 public:
  explicit TJsonWriter(std::ostream& out) : out_(out) { out_ << "{\"files\":["; }
  void File(const TReportFile& file) override {
    out_ << (first_ ? "" : ",") << "\n{\"path\":" << JsonString(ValidUtf8(file.path)) << ",\"codepage\":"
         << JsonCodePage(file) << ",\"objects\":[";
    first_ = false;
    for (size_t i = 0; file.counts && i < file.counts->LineCount(); ++i)
      out_ << (i == 0 ? "\n{" : ",\n{") << JsonLine(*file.counts, i) << "}";
    out_ << "]," << JsonTail(file) << "}";
    out_.flush();
  }
  void End() override { out_ << "\n]}\n"; }

 private:
  std::ostream& out_;
  bool first_ = true;
};

class TJsonLinesWriter : public TReportWriter {
 public:
  explicit TJsonLinesWriter(std::ostream& out) : out_(out) {}
  void File(const TReportFile& file) override {
    const std::string path = JsonString(ValidUtf8(file.path));
    for (size_t i = 0; file.counts && i < file.counts->LineCount(); ++i)
      out_ << "{\"kind\":\"object\",\"path\":" << path << "," << JsonLine(*file.counts, i) << "}\n";
    out_ << "{\"kind\":\"total\",\"path\":" << path << ",\"codepage\":" << JsonCodePage(file) << ","
         << JsonTail(file) << "}\n";
    out_.flush();
  }

 private:
  std::ostream& out_;
};

class TCsvWriter : public TReportWriter {
 public:
  explicit TCsvWriter(std::ostream& out) : out_(out) { out_ << "path,kind,index,name,name_hex,faces,error\r\n"; }
  void File(const TReportFile& file) override {
    const std::string path = CsvField(EscapedText(file.path, tcUtf8, tcUtf8));
    if (!file.counts) {
      out_ << path << ",error,,,,," << CsvField(file.error) << "\r\n";
      out_.flush();
      return;
    }
    const TFaceCounts& counts = *file.counts;
    for (size_t i = 0; i < counts.LineCount(); ++i) {
      const TDecodedText name = ShownName(counts.LineName(i), counts.Utf8Document());
      out_ << path << ",object," << counts.FileIndex(i) << "," << CsvField(name.utf8) << ","
           << (name.lossy ? HexBytes(counts.LineName(i)) : "") << "," << counts.FaceCount(i) << ",\r\n";
    }
    out_ << path << ",total,,,," << counts.Total() << ",\r\n";
    out_.flush();
  }

 private:
  std::ostream& out_;
};

}  // namespace

std::unique_ptr<TReportWriter> MakeReportWriter(TOutputForm form, std::ostream& out) {
  if (form == foCsv) return std::make_unique<TCsvWriter>(out);
  if (form == foJsonLines) return std::make_unique<TJsonLinesWriter>(out);
  return std::make_unique<TJsonWriter>(out);
}

}  // namespace corvida

#include "mqo/report_output.h"

#include "mqo/face_tally.h"
#include "mqo/text_forms.h"

namespace corvida {
namespace {

std::string JsonLine(const TFaceCounts::TLine& line, bool utf8Document) {
  const TDecodedText name = DecodeText(line.name, utf8Document);
  return "\"index\":" + std::to_string(line.fileIndex) + ",\"name\":" + JsonString(name.utf8) +
         (name.lossy ? ",\"name_hex\":\"" + HexBytes(line.name) + "\"" : "") +
         ",\"faces\":" + std::to_string(line.count);
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
    if (file.counts) {
      const char* separator = "\n{";
      file.counts->ForEachLine([&](const TFaceCounts::TLine& line) {
        out_ << separator << JsonLine(line, file.counts->Utf8Document()) << "}";
        separator = ",\n{";
      });
    }
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
    if (file.counts) {
      file.counts->ForEachLine([&](const TFaceCounts::TLine& line) {
        out_ << "{\"kind\":\"object\",\"path\":" << path << "," << JsonLine(line, file.counts->Utf8Document())
             << "}\n";
      });
    }
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
    const std::string path = CsvField(ValidUtf8(file.path));
    if (!file.counts) {
      out_ << path << ",error,,,,," << CsvField(file.error) << "\r\n";
      out_.flush();
      return;
    }
    const TFaceCounts& counts = *file.counts;
    counts.ForEachLine([&](const TFaceCounts::TLine& line) {
      const TDecodedText name = DecodeText(line.name, counts.Utf8Document());
      out_ << path << ",object," << line.fileIndex << "," << CsvField(name.utf8) << ","
           << (name.lossy ? HexBytes(line.name) : "") << "," << line.count << ",\r\n";
    });
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

// The output forms of the statistics and of the report, budgets and their
// profiles, and the spellings of outside texts in them.
#include <gtest/gtest.h>

#include <sstream>

#include "mqo/budget.h"
#include "mqo/face_report.h"
#include "mqo/face_tally.h"
#include "mqo/report_output.h"
#include "mqo/stats_output.h"
#include "mqo/text_forms.h"
#include "platform/rtl/ini_file.h"
#include "stats_outcome.h"

namespace corvida::testing {
namespace {

TModelStats Stats(const std::string& model) {
  const TStatsOutcome outcome = ReferenceStats(model);
  EXPECT_EQ(outcome.error, "");
  return outcome.stats;
}

std::string Write(TOutputForm form, const std::vector<TStatsFile>& files, int sortMode = kSortNone,
                  const std::optional<std::string>& budget = std::nullopt) {
  std::ostringstream out;
  const std::unique_ptr<TStatsWriter> writer = MakeStatsWriter(form, out, sortMode, budget);
  for (const TStatsFile& file : files) writer->File(file);
  writer->End();
  return out.str();
}

// 帽子 in Shift-JIS; a hidden quad, and a visible mirrored triangle whose
// name holds a comma, a quote and a lead byte without its trail.
const std::string kModel =
    "Object \"\x96\x58\x8e\x71\" {\n\tvisible 0\n\tvertex 4 {\n\t}\n\tface 1 {\n\t\t4 V(0 1 2 3) M(0)\n\t}\n}\n"
    "Object \"a,\x81\" {\n\tmirror 1\n\tmirror_axis 6\n\tvertex 3 {\n\t}\n\tface 1 {\n\t\t3 V(0 1 2)\n\t}\n}\nEof\n";

TEST(StatsOutputTest, TheTableAlignsByDisplayWidthWithTotalsMarksAndVerdict) {
  TStatsFile file{"/m/hat.mqo", Stats(kModel), "", 0, {{"exported_triangles", 4, 3}}};
  EXPECT_EQ(Write(foText, {file}, kSortDescending, "tiny"),
            "/m/hat.mqo\n"
            "#  name               faces  triangles  vertices  materials  exported  marks\n"
            "0  \xe5\xb8\xbd\xe5\xad\x90                   1          2         4          1         2  hidden\n"
            "1  a,\xef\xbf\xbd                    1          1         3          1         4  mirror \xc3\x97" "4\n"
            "   visible: 1 object      1          1         3          1         4\n"
            "   hidden: 1 object       1          2         4          1         2\n"
            "material entries: 0\n"
            "budget tiny: over: exported triangles 4 > 3\n");
}

TEST(StatsOutputTest, CsvQuotesNamesAndCarriesTotalsAndErrors) {
  TStatsFile file{"/m/a,b.mqo", Stats(kModel), "", 0, {{"materials", 2, 1}}};
  TStatsFile failed{"/m/bad.mqo", std::nullopt, "a } that closes no chunk", 3, {}};
  const std::string csv = Write(foCsv, {file, failed});
  EXPECT_EQ(csv,
            "path,kind,index,name,name_hex,objects,faces,triangles,vertices,materials,exported_triangles,"
            "exported_estimate,visible,mirror_mode,mirror_axis,subdivided,lathe,over,error\r\n"
            "\"/m/a,b.mqo\",object,0,\xe5\xb8\xbd\xe5\xad\x90,,,1,2,4,1,2,false,false,0,0,false,false,,\r\n"
            "\"/m/a,b.mqo\",object,1,\"a,\xef\xbf\xbd\",612c81,,1,1,3,1,4,false,true,1,6,false,false,,\r\n"
            "\"/m/a,b.mqo\",visible_total,,,,1,1,1,3,1,4,,,,,,,materials,\r\n"
            "\"/m/a,b.mqo\",hidden_total,,,,1,1,2,4,1,2,,,,,,,,\r\n"
            "/m/bad.mqo,error,,,,,,,,,,,,,,,,,a } that closes no chunk\r\n");
}

TEST(StatsOutputTest, JsonKeepsItsKeysInOrderAndStaysValidForAFailedFile) {
  TStatsFile file{"/m/x.mqo", Stats("Object \"q\\\x01\" {\n}"), "", 0, {}};
  TStatsFile failed{"/m/\xff.mqo", std::nullopt, "Permission denied \"x\"", 0, {}};
  EXPECT_EQ(Write(foJson, {file, failed}),
            "{\"files\":[\n"
            "{\"path\":\"/m/x.mqo\",\"codepage\":\"cp932\",\"objects\":[\n"
            "{\"index\":0,\"name\":\"q\\\\\\u0001\",\"faces\":0,\"triangles\":0,\"vertices\":0,\"materials\":0,"
            "\"visible\":true,\"mirror\":{\"mode\":0,\"axis\":0},\"subdivided\":false,\"lathe\":false,"
            "\"exported_triangles\":0,\"exported_estimate\":false}],"
            "\"totals\":{\"visible\":{\"objects\":0,\"faces\":0,\"triangles\":0,\"vertices\":0,\"materials\":0,"
            "\"exported_triangles\":0},\"hidden\":{\"objects\":0,\"faces\":0,\"triangles\":0,\"vertices\":0,"
            "\"materials\":0,\"exported_triangles\":0}},\"material_entries\":0,"
            "\"warnings\":[{\"line\":2,\"message\":\"the file has no Eof at its end\"}],\"warnings_left_out\":0,"
            "\"over\":[],\"error\":null,\"error_line\":null},\n"
            "{\"path\":\"/m/\xef\xbf\xbd.mqo\",\"codepage\":null,\"objects\":[],\"totals\":null,\"material_entries\":null,"
            "\"warnings\":[],\"warnings_left_out\":0,\"over\":[],\"error\":\"Permission denied \\\"x\\\"\","
            "\"error_line\":null}\n"
            "]}\n");
}

TEST(StatsOutputTest, JsonLinesGiveARecordPerObjectAndPerFile) {
  TStatsFile file{"/m/hat.mqo", Stats(kModel), "", 0, {}};
  const std::string lines = Write(foJsonLines, {file}, kSortAscending);
  // Ascending by faces, equal counts in file order.
  EXPECT_EQ(lines.find("{\"kind\":\"object\",\"path\":\"/m/hat.mqo\",\"index\":0,"), 0u) << lines;
  EXPECT_NE(lines.find("\n{\"kind\":\"object\",\"path\":\"/m/hat.mqo\",\"index\":1,\"name\":\"a,\xef\xbf\xbd\","
                       "\"name_hex\":\"612c81\""),
            std::string::npos);
  EXPECT_NE(lines.find("\n{\"kind\":\"file\",\"path\":\"/m/hat.mqo\",\"codepage\":\"cp932\",\"totals\":"),
            std::string::npos);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 3);
}

TEST(ReportOutputTest, TheReportsFiguresAsTheReportReadsThem) {
  TFaceCounts counts(rsFile);
  TStringPieces pieces("Object \"b\" {\nface 5 {\nObject \"a\x82\" {\nface 2 {\n", 0);
  TModelInput input(pieces);
  CountFaces(input, counts);
  counts.Sort(kSortAscending);
  std::ostringstream json, csv, lines;
  for (const auto& [form, out] : {std::pair{foJson, &json}, std::pair{foCsv, &csv}, std::pair{foJsonLines, &lines}}) {
    const std::unique_ptr<TReportWriter> writer = MakeReportWriter(form, *out);
    writer->File({"/m/r.mqo", &counts, ""});
    writer->File({"/m/bad.mqo", nullptr, "1 行で不正な文字列定数."});
    writer->End();
  }
  EXPECT_EQ(json.str(),
            "{\"files\":[\n{\"path\":\"/m/r.mqo\",\"codepage\":\"cp932\",\"objects\":[\n"
            "{\"index\":1,\"name\":\"\\\"a\xef\xbf\xbd\\\"\",\"name_hex\":\"22618222\",\"faces\":2},\n"
            "{\"index\":0,\"name\":\"\\\"b\\\"\",\"faces\":5}],\"total\":7,\"error\":null},\n"
            "{\"path\":\"/m/bad.mqo\",\"codepage\":null,\"objects\":[],\"total\":null,"
            "\"error\":\"1 行で不正な文字列定数.\"}\n]}\n");
  EXPECT_EQ(csv.str(),
            "path,kind,index,name,name_hex,faces,error\r\n/m/r.mqo,object,1,\"\"\"a\xef\xbf\xbd\"\"\",22618222,2,\r\n"
            "/m/r.mqo,object,0,\"\"\"b\"\"\",,5,\r\n/m/r.mqo,total,,,,7,\r\n"
            "/m/bad.mqo,error,,,,,1 行で不正な文字列定数.\r\n");
  EXPECT_EQ(lines.str(),
            "{\"kind\":\"object\",\"path\":\"/m/r.mqo\",\"index\":1,\"name\":\"\\\"a\xef\xbf\xbd\\\"\",\"name_hex\":\"22618222\","
            "\"faces\":2}\n{\"kind\":\"object\",\"path\":\"/m/r.mqo\",\"index\":0,\"name\":\"\\\"b\\\"\",\"faces\":5}\n"
            "{\"kind\":\"total\",\"path\":\"/m/r.mqo\",\"codepage\":\"cp932\",\"total\":7,\"error\":null}\n"
            "{\"kind\":\"total\",\"path\":\"/m/bad.mqo\",\"codepage\":null,\"total\":null,"
            "\"error\":\"1 行で不正な文字列定数.\"}\n");
}

TEST(TextFormsTest, DecodingWidthAndEscapes) {
  struct TCase {
    std::string bytes;
    bool utf8;
    std::string decoded;
    bool lossy;
    size_t width;
  };
  const TCase cases[] = {
      {"\x83\x7b\x83\x62\x83\x4e\x83\x58", false, "ボックス", false, 8},  // a '{' trail byte inside
      {"\xb1\xb2", false, "ｱｲ", false, 2},                                 // half-width katakana
      {"a\x81", false, "a\xef\xbf\xbd", true, 2},                          // a lead byte at the end
      {"\x80\xa0\xfd", false, "\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd", true, 3},
      {"\xed\x95\x9c\xf0\x9f\x98\x80", true, "한😀", false, 4},
      {"\xc0\xaf\xed\xa0\x80", true, "\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd", true, 5},
      {"e\xcc\x81", true, "e\xcc\x81", false, 1},  // a combining accent
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.decoded);
    const TDecodedText decoded = DecodeText(c.bytes, c.utf8);
    EXPECT_EQ(decoded.utf8, c.decoded);
    EXPECT_EQ(decoded.lossy, c.lossy);
    EXPECT_EQ(DisplayWidth(decoded.utf8), c.width);
  }
  EXPECT_EQ(JsonString("a\"\\\n\t\x1f/"), "\"a\\\"\\\\\\n\\t\\u001f/\"");
  EXPECT_EQ(CsvField("plain"), "plain");
  EXPECT_EQ(CsvField("two\nlines, \"quoted\""), "\"two\nlines, \"\"quoted\"\"\"");
}

TEST(BudgetTest, ProfilesComeWithTheProgramAndTheSettingsFileReplacesOrAdds) {
  const TIniText settings(
      "[SortMode]\nSortMode=1\n[Budget PC-GOOD]\nTriangles=50000\nSource=my studio\n"
      "[Budget mine]\nObjects=3\nMaterials=\"2\"\n[Budget broken]\nTriangles=lots\n");
  const std::vector<TBudget> profiles = BudgetProfiles(settings);
  const std::optional<TBudget> shipped = FindBudget(profiles, "pc-excellent");
  ASSERT_TRUE(shipped);
  EXPECT_EQ(shipped->limits.triangles, 32000u);
  EXPECT_EQ(shipped->limits.materials, 4u);
  EXPECT_FALSE(shipped->limits.objects);
  EXPECT_NE(shipped->source.find("https://"), std::string::npos);
  EXPECT_FALSE(shipped->date.empty());
  const std::optional<TBudget> replaced = FindBudget(profiles, "pc-good");
  ASSERT_TRUE(replaced);
  EXPECT_EQ(replaced->limits.triangles, 50000u);
  EXPECT_FALSE(replaced->limits.materials);
  EXPECT_EQ(replaced->source, "my studio");
  EXPECT_EQ(FindBudget(profiles, "mine")->limits.materials, 2u);
  EXPECT_EQ(FindBudget(profiles, "broken")->problem, "Triangles=lots is not a whole number");
  EXPECT_FALSE(FindBudget(profiles, "SortMode"));
  // Every shipped profile says where its limits come from and when.
  for (const TBudget& b : BudgetProfiles(TIniText())) {
    EXPECT_TRUE(b.limits.triangles && b.limits.materials && !b.source.empty() && !b.date.empty()) << b.name;
    EXPECT_EQ(b.problem, "");
  }
}

TEST(BudgetTest, EveryFigureOverItsLimitIsListed) {
  const TModelStats stats = Stats(kModel);  // visible: 1 object, 1 material, 4 exported triangles
  EXPECT_EQ(OverBudget(stats, {3, 0, 0}), (std::vector<TOverBudget>{{"exported_triangles", 4, 3},
                                                                     {"materials", 1, 0},
                                                                     {"objects", 1, 0}}));
  EXPECT_TRUE(OverBudget(stats, {4, 1, 1}).empty());
  EXPECT_TRUE(OverBudget(stats, {}).empty());
}

}  // namespace
}  // namespace corvida::testing

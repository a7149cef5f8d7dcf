// corvida --stats and --budgets from the command line: forms, budgets and
// their exit status, warnings and errors at their lines; and --report's
// forms for scripts.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>

#include "app/report_cli.h"
#include "platform/rtl/ini_file.h"
#include "temp_folder.h"

namespace corvida::testing {
namespace {

struct TRun {
  int status;
  std::string out;
  std::string err;
};

class StatsCommand : public ::testing::Test {
 protected:
  TRun Run(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = RunCommandLine(args, out, err, folder_.File("corvida.ini"));
    return {status, out.str(), err.str()};
  }
  std::string Write(const std::string& name, std::string_view bytes) {
    WriteAll(folder_.File(name), bytes);
    return folder_.File(name);
  }
  TempFolder folder_;
};

// A visible quad mirrored on X and Y (8 exported triangles) with materials 0
// and 1, and a hidden triangle.
const char* const kModel =
    "Metasequoia Document\nMaterial 2 {\n\t\"m0\"\n\t\"m1\"\n}\n"
    "Object \"body\" {\n\tmirror 1\n\tmirror_axis 3\n\tvertex 4 {\n\t}\n\tface 2 {\n\t\t4 V(0 1 2 3) M(0)\n"
    "\t\t4 V(0 1 2 3) M(1)\n\t}\n}\n"
    "Object \"tail\" {\n\tvisible 0\n\tvertex 3 {\n\t}\n\tface 1 {\n\t\t3 V(0 1 2)\n\t}\n}\nEof\n";

TEST_F(StatsCommand, TheTableOfAModel) {
  const std::string model = Write("m.mqo", kModel);
  const TRun run = Run({"--stats", model});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, model +
                         "\n#  name               faces  triangles  vertices  materials  exported  marks\n"
                         "0  body                   2          4         4          2        16  mirror \xc3\x97" "4\n"
                         "1  tail                   1          1         3          1         1  hidden\n"
                         "   visible: 1 object      2          4         4          2        16\n"
                         "   hidden: 1 object       1          1         3          1         1\n"
                         "material entries: 2\n");
  EXPECT_EQ(run.err, "");
}

TEST_F(StatsCommand, BudgetsSetTheExitStatusAndAnErrorOutranksThem) {
  const std::string model = Write("m.mqo", kModel);
  const std::string bad = Write("bad.mqo", "Object \"x\" {\n\tface 1 {\n\t\t3 V(0 1 2)\n");
  WriteAll(folder_.File("corvida.ini"), "[Budget Studio]\nTriangles=10\nMaterials=1\nSource=ours\n"
                                        "[Budget broken]\nObjects=few\n");
  struct TCase {
    std::vector<std::string> args;
    int status;
    std::string verdict;
  };
  const TCase cases[] = {
      {{"--stats", "--budget", "pc-excellent", model}, 0, "budget pc-excellent: within\n"},
      {{"--stats", "--budget=studio", model}, 3, "budget studio: over: exported triangles 16 > 10, materials 2 > 1\n"},
      {{"--stats", "--budget", "studio", "--max-triangles", "16", model}, 3, "budget studio: over: materials 2 > 1\n"},
      {{"--stats", "--max-objects", "0", model}, 3, "budget: over: objects 1 > 0\n"},
      {{"--stats", "--max-objects=0", model, bad}, 1, "budget: over: objects 1 > 0\n"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.args[1] + " " + c.args[2]);
    const TRun run = Run(c.args);
    EXPECT_EQ(run.status, c.status) << run.err;
    EXPECT_NE(run.out.find("material entries: 2\n" + c.verdict), std::string::npos) << run.out;
  }
  for (const auto& [args, err] : std::vector<std::pair<std::vector<std::string>, std::string>>{
           {{"--stats", "--budget", "none-such", model}, "corvida: unknown budget 'none-such': 'corvida --budgets' lists them\n"},
           {{"--stats", "--budget", "broken", model}, "corvida: budget 'broken': Objects=few is not a whole number\n"},
           {{"--stats", "--max-triangles", "-1", model}, "corvida: --max-triangles needs a whole number, not '-1'\n"},
           {{"--stats", "--raw", model}, "corvida: unknown option '--raw'\n"},
           {{"--report", "--raw", "--format", "csv", model}, "corvida: --raw goes with the text format only\n"},
           {{"--report", "--budget", "pc-good", model}, "corvida: unknown option '--budget'\n"},
           {{"--stats", "--format", "xml", model}, "corvida: unknown format 'xml': use text, csv, json or jsonl\n"},
           {{"--stats"}, "corvida: --stats needs at least one FILE\n"},
       }) {
    const TRun run = Run(args);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, err + "Try 'corvida --help'.\n");
    EXPECT_EQ(run.out, "");
  }
}

TEST_F(StatsCommand, BudgetsListTheShippedProfilesAndTheUsersOwn) {
  WriteAll(folder_.File("corvida.ini"), "[Budget mine]\nObjects=3\nSource=my notes\nDate=2026-01-02\n");
  const TRun run = Run({"--budgets"});
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.out.find("pc-good: triangles 70000, materials 8\n  source: https://"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("mobile-excellent: triangles 7500, materials 1\n"), std::string::npos);
  EXPECT_NE(run.out.find("mine: objects 3\n  source: my notes\n  date: 2026-01-02\n"), std::string::npos);
}

TEST_F(StatsCommand, WarningsAndErrorsNameTheirLinesAndTheOtherFilesAreStillRead) {
  const std::string warned = Write("w.mqo", "Object \"o\" {\n\tface 2 {\n\t\t4 V(0 1 2)\n\t}\n}\n");
  const std::string cut = Write("cut.mqo", "Object \"o\" {\n\tface 1 {\n\t\t3 V(0 1 2)\n");
  const std::string good = Write("good.mqo", kModel);
  const TRun run = Run({"--stats", "--format", "jsonl", warned, cut, folder_.File("none.mqo"), good});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "corvida: " + warned + ":3: warning: the face line says 4 vertices and lists 3\n" +
                         "corvida: " + warned + ":2: warning: the face chunk declares 2 faces and holds 1\n" +
                         "corvida: " + warned + ":5: warning: the file has no Eof at its end\n" +
                         "corvida: " + cut + ":3: the file ends inside the chunk \"Object\" begun on line 1\n" +
                         "corvida: " + folder_.File("none.mqo") + ": " + std::strerror(ENOENT) + "\n");
  EXPECT_NE(run.out.find("{\"kind\":\"file\",\"path\":\"" + cut + "\",\"codepage\":null,\"totals\":null,"
                         "\"material_entries\":null,\"warnings\":[],\"warnings_left_out\":0,\"over\":[],"
                         "\"error\":\"the file ends inside the chunk \\\"Object\\\" begun on line 1\",\"error_line\":3}\n"),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("{\"kind\":\"object\",\"path\":\"" + good + "\",\"index\":1,\"name\":\"tail\""), std::string::npos);
}

TEST_F(StatsCommand, TheReportsFiguresForScriptsInFileOrderIndexes) {
  const std::string model = Write("m.mqo", kModel);
  const TRun run = Run({"--report", "--sort", "asc", "--format", "csv", model});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "path,kind,index,name,name_hex,faces,error\r\n" + model + ",object,1,\"\"\"tail\"\"\",,1,\r\n" +
                         model + ",object,0,\"\"\"body\"\"\",,2,\r\n" + model + ",total,,,,3,\r\n");
}

TEST_F(StatsCommand, AnArchiveGivesTheStatisticsOfTheModelInside) {
  const char* source = std::getenv("CORVIDA_SOURCE_DIR");
  const std::string samples = std::string(source != nullptr ? source : ".") + "/samples/";
  const TRun plain = Run({"--stats", "--format", "jsonl", samples + "sjis_names.mqo"});
  const TRun archived = Run({"--stats", "--format", "jsonl", samples + "sjis_names.mqoz"});
  EXPECT_EQ(archived.status, 0) << archived.err;
  std::string expected = plain.out;
  for (size_t at = 0; (at = expected.find(".mqo\"", at)) != std::string::npos; at += 5) expected.insert(at + 4, "z");
  EXPECT_EQ(archived.out, expected);
  EXPECT_NE(plain.out.find("\"name\":\"\xe5\xba\x8a\""), std::string::npos) << plain.out;  // 床
}

// The real executable, as a shell runs it.
TEST_F(StatsCommand, AMalformedModelInAFolderCp932CannotSpellIsNamedExactly) {
  // 한국어😀
  const std::string folder = folder_.File("\xed\x95\x9c\xea\xb5\xad\xec\x96\xb4\xf0\x9f\x98\x80");
  std::filesystem::create_directory(folder);
  WriteAll(folder + "/bad.mqo", "Scene {\n}\n}\n");
  const std::string command =
      "'" CORVIDA_EXECUTABLE "' --stats '" + folder + "/bad.mqo' >'" + folder_.File("out") + "' 2>'" + folder_.File("err") + "'";
  const int status = std::system(command.c_str());
  EXPECT_EQ(WEXITSTATUS(status), 1);
  EXPECT_EQ(ReadAll(folder_.File("out")), folder + "/bad.mqo\n");
  EXPECT_EQ(ReadAll(folder_.File("err")), "corvida: " + folder + "/bad.mqo:3: a } that closes no chunk\n");
}

}  // namespace
}  // namespace corvida::testing

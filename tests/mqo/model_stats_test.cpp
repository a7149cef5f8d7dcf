// The statistics of models: hand-worked figures of small models of our own
// and of the public corpus, warnings and errors with their lines, and the
// fast path against the literal reader.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "mqo/window_scan.h"
#include "stats_outcome.h"

namespace corvida::testing {
namespace {

using namespace std::string_literals;

// One object in a line: name faces/triangles/vertices/materials, then what
// is marked.
std::string Summary(const TObjectStats& o) {
  std::string s = o.name + " " + std::to_string(o.faces) + "/" + std::to_string(o.triangles) + "/" +
                  std::to_string(o.vertices) + "/" + std::to_string(o.materials);
  if (!o.visible) s += " hidden";
  if (o.mirror != 0) s += " mirror " + std::to_string(o.mirror) + " axis " + std::to_string(o.mirrorAxis);
  if (o.exportedTriangles != o.triangles) s += " exported " + std::to_string(o.exportedTriangles);
  if (o.exportedEstimate) s += "~";
  if (o.subdivided) s += " patch";
  if (o.lathe) s += " lathe";
  return s;
}

std::vector<std::string> Summaries(const TModelStats& stats) {
  std::vector<std::string> out;
  for (const TObjectStats& o : stats.objects) out.push_back(Summary(o));
  return out;
}

std::vector<std::string> Warnings(const TModelStats& stats) {
  std::vector<std::string> out;
  for (const TStatsWarning& w : stats.warnings) out.push_back(std::to_string(w.line) + ": " + w.text);
  return out;
}

// The fast path read in windows and pieces of several sizes and with the
// least room agrees with the literal reader fed in pieces; returns the
// reference.
TStatsOutcome ExpectSame(const std::string& model) {
  const TStatsOutcome reference = ReferenceStats(model);
  EXPECT_EQ(ReferenceStats(model, 1), reference) << "the reader fed one byte at a time";
  for (const size_t step : {size_t{0}, size_t{1}, size_t{4095}, size_t{5000}})
    EXPECT_EQ(FastStats(model, step), reference) << "pieces of " << step;
  EXPECT_EQ(FastStats(model, 0, TModelInput::kLeastCapacity), reference) << "least room";
  return reference;
}

std::string Object(const std::string& name, const std::string& fields, const std::string& faces,
                   int declared = -1) {
  int count = 0;
  for (const char c : faces) count += c == '\n';
  return "Object \"" + name + "\" {\n" + fields + "\tvertex 3 {\n\t\t0 0 0\n\t\t1 0 0\n\t\t0 1 0\n\t}\n\tface " +
         std::to_string(declared < 0 ? count : declared) + " {\n" + faces + "\t}\n}\n";
}

const std::string kHeader = "Metasequoia Document\r\nFormat Text Ver 1.1\r\n\r\n";

TEST(ModelStatsTest, FiguresOfSmallModels) {
  struct TCase {
    const char* what;
    std::string model;
    std::vector<std::string> objects;
  };
  const TCase cases[] = {
      {"a triangle, a quad, n-gons of 5 and 8, a line and a point: 1 + 2 + 3 + 6 triangles",
       Object("ngons", "", "\t\t3 V(0 1 2)\n\t\t4 V(0 1 2 0)\n\t\t5 V(0 1 2 0 1)\n\t\t8 V(0 1 2 0 1 2 0 1)\n"
                           "\t\t2 V(0 1)\n\t\t1 V(0)\n"),
       {"ngons 6/12/3/1"}},
      {"materials 0 and 3, and faces without one (none, M(-1)) as one slot",
       Object("mats", "", "\t\t3 V(0 1 2) M(0)\n\t\t3 V(0 1 2) M(3) UV(0 0 1 0 0 1)\n\t\t3 V(0 1 2) M(-1)\n"
                          "\t\t3 V(0 1 2) UV(0 0 1 0 0 1)\n\t\t3 V(0 1 2) M(3)\n"),
       {"mats 5/5/3/3"}},
      {"hidden",
       Object("h", "\tvisible 0\n", "\t\t4 V(0 1 2 0)\n"), {"h 1/2/3/1 hidden"}},
      {"mirrors: X by default, all three axes, a connected mirror is an estimate, an axis without a mirror",
       Object("x", "\tmirror 1\n", "\t\t4 V(0 1 2 0)\n") + Object("xyz", "\tmirror 1\n\tmirror_axis 7\n", "\t\t3 V(0 1 2)\n") +
           Object("xz", "\tmirror 2\n\tmirror_axis 5\n", "\t\t5 V(0 1 2 0 1)\n") +
           Object("none", "\tmirror 0\n\tmirror_axis 3\n", "\t\t3 V(0 1 2)\n"),
       {"x 1/2/3/1 mirror 1 axis 1 exported 4", "xyz 1/1/3/1 mirror 1 axis 7 exported 8",
        "xz 1/3/3/1 mirror 2 axis 5 exported 12~", "none 1/1/3/1"}},
      {"subdivided and lathe objects: the cage's count",
       Object("s", "\tpatch 3\n\tsegment 2\n\tlathe 3\n", "\t\t4 V(0 1 2 0)\n"), {"s 1/2/3/1 patch lathe"}},
      {"two face chunks add up; vertex and BVertex chunks too",
       "Object \"two\" {\n\tvertex 2 {\n\t\t0 0 0\n\t\t1 1 1\n\t}\n\tBVertex 4 {\n\t\tVector 4 [48]\n" +
           std::string("{}\"\0\n[1]\nEof\n}}}\n\n\n", 19) + std::string(29, '\0') +
           "\r\n\t}\n\tface 1 {\n\t\t3 V(0 1 2)\n\t}\n\tface 2 {\n\t\t4 V(0 1 2 3)\n\t\t3 V(0 1 2)\n\t}\n}\n",
       {"two 3/4/6/1"}},
      {"chunks the statistics do not know, strings holding brackets, objects inside them",
       "Scene {\n\tdirlights 1 {\n\t\tlight {\n\t\t\tdir 0 0 1\n\t\t}\n\t}\n}\n"
       "Thumbnail 1 1 24 \"t{humb\" {\n\tFFEEDD\n}\n" +
           Object("a{b}", "\tunknown \"}{\" {\n\t\tObject \"no\" {\n\t\t}\n\t\tface 9 {\n\t\t}\n\t}\n",
                  "\t\t3 V(0 1 2) M(1) COL(\"{\")\n"),
       {"a{b} 1/1/3/1"}},
      {"a face line's statement as the words say, however spaced or glued",
       Object("g", "", "\t\t3V(0 1 2)\n\t\t4   V ( 0  1 2 3 )M ( 2 )\n\t\t3 UV(0 0) V(0 1 2) M(0)\n"
                       "\t\t3 V(0 (9 9) 1 2) X(M(5)) M(7 8)\n\t\t3 V(0 1 2) M(x)\n\t\t3 V(0 1 2) M( )\n"),
       {"g 6/6/3/4"}},
      {"an object without faces", "Object \"empty\" {\n\tvertex 0 {\n\t}\n}\n", {"empty 0/0/0/0"}},
      {"counts beyond 32 bits stay whole",
       "Object \"big\" {\n\tvertex 5000000000 {\n\t}\n\tface 1 {\n\t\t4294967298 V(0)\n\t}\n}\n",
       {"big 1/4294967296/5000000000/1"}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.what);
    const TStatsOutcome outcome = ExpectSame(kHeader + c.model + "Eof\n");
    EXPECT_EQ(outcome.error, "");
    EXPECT_EQ(Summaries(outcome.stats), c.objects);
  }
}

TEST(ModelStatsTest, TotalsOverVisibleAndHiddenObjects) {
  // Visible: a (2 quads, materials 0 1, mirrored in X and Y: 16 exported),
  // e (no faces, 3 vertices). Hidden: b (1 triangle, material 1), c (1 quad
  // without material).
  const std::string model = kHeader + "Material 2 {\n\t\"m0\" col(1 1 1 1)\n\t\"m1\" col(1 1 1 1)\n}\n" +
                            Object("a", "\tmirror 1\n\tmirror_axis 3\n", "\t\t4 V(0 1 2 0) M(0)\n\t\t4 V(0 1 2 0) M(1)\n") +
                            Object("b", "\tvisible 0\n", "\t\t3 V(0 1 2) M(1)\n") +
                            Object("c", "\tvisible 0\n", "\t\t4 V(0 1 2 0)\n") +
                            "Object \"e\" {\n\tvertex 3 {\n\t}\n}\nEof\n";
  const TStatsOutcome outcome = ExpectSame(model);
  ASSERT_EQ(outcome.error, "");
  EXPECT_EQ(outcome.stats.visible, (TStatsTotals{1, 2, 4, 6, 2, 16}));
  EXPECT_EQ(outcome.stats.hidden, (TStatsTotals{2, 2, 3, 6, 2, 3}));
  EXPECT_EQ(outcome.stats.materialEntries, 2u);
  EXPECT_FALSE(outcome.stats.utf8);
}

TEST(ModelStatsTest, CodePageUtf8CountsOnlyBeforeTheFirstChunk) {
  EXPECT_TRUE(ExpectSame(kHeader + "CodePage utf8\nEof\n").stats.utf8);
  EXPECT_FALSE(ExpectSame(kHeader + "CodePage 932\nEof\n").stats.utf8);
  EXPECT_FALSE(ExpectSame(kHeader + "Scene {\n}\nCodePage utf8\nEof\n").stats.utf8);
}

TEST(ModelStatsTest, WarningsNameTheirLines) {
  const std::string model = kHeader +                                        // lines 1-3
                            "Material 3 {\n\t\"m0\"\n}\n" +                   // 4-6
                            "Object \"o\" {\n\tvertex {\n\t}\n\tface 3 {\n" +  // 7-10
                            "\t\t4 V(0 1 2)\n\t\tM(0) V(1)\n\t}\n}\n";          // 11-14
  const TStatsOutcome outcome = ExpectSame(model);
  ASSERT_EQ(outcome.error, "");
  EXPECT_EQ(Warnings(outcome.stats), (std::vector<std::string>{
                                         "4: the Material chunk declares 3 materials and holds 1",
                                         "8: the vertex chunk does not say how many vertices it holds",
                                         "11: the face line says 4 vertices and lists 3",
                                         "12: the face line does not begin with its count of vertices",
                                         "10: the face chunk declares 3 faces and holds 2",
                                         "14: the file has no Eof at its end",
                                     }));
  // The quad still counts 2 triangles as its count says.
  EXPECT_EQ(Summaries(outcome.stats), std::vector<std::string>{"o 2/2/0/2"});
}

TEST(ModelStatsTest, AHundredWarningsAreKeptAndTheRestCounted) {
  std::string faces;
  for (int i = 0; i < 150; ++i) faces += "\t\t3 V(0 1)\n";
  const TStatsOutcome outcome = ExpectSame(kHeader + Object("many", "", faces) + "Eof\n");
  EXPECT_EQ(outcome.stats.warnings.size(), TStatsTally::kWarningsKept);
  EXPECT_EQ(outcome.stats.warningsLeftOut, 50u);
}

TEST(ModelStatsTest, MalformedModelsAreErrorsAtTheirLines) {
  const std::string big = std::to_string(kMaxCount);
  const std::string tooBig = std::to_string(kMaxCount + 1);
  struct TCase {
    std::string model;
    uint64_t line;
    std::string error;
  };
  const TCase cases[] = {
      {"Object \"o\" {\n\tface 1 {\n\t\t3 V(0 1 2)\n", 3, "the file ends inside the chunk \"Object\" begun on line 1"},
      {"Scene {\n\tx 1\n\tsub {\n\t}", 4, "the file ends inside the chunk \"Scene\" begun on line 1"},
      {"{\n", 1, "the file ends inside the chunk begun on line 1"},
      {"Scene {\n}\n\"named\" {\n", 3, "the file ends inside the chunk begun on line 3"},
      {"Object \"o\" {\n\tvertex 1 {\nEof\n", 3, "Eof inside the chunk \"Object\" begun on line 1"},
      {"Scene {\n}\n}\nEof\n", 3, "a } that closes no chunk"},
      {"Object \"o\n\" {\n", 1, "a string that is not closed on its line"},
      {"Object \"o\" {\n}\n\"open", 3, "a string that is not closed on its line"},
      {"Scene {\n\tx "s + '\0' + " 1\n}\n", 2, "a NUL byte in the text"},
      {"Object \"o\" {\n\tBVertex 1 {\n\t\tVector 1 [12]\nabc\n", 5,
       "the file ends inside the binary block of 8 more bytes announced on line 3"},
      {"Object \"o\" {\n\tvertex " + tooBig + " {\n", 2, "a count beyond " + big},
      {"Object \"o\" {\n\tface 2 {\n\t\t" + big + " V(0)\n\t\t" + big + " V(0)\n", 4, "a count beyond " + big},
      {"Object \"o\" {\n\tface 1 {\n\t\t3 V(0 1 2) M(" + tooBig + ")\n", 3, "a number beyond " + big},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.model);
    const TStatsOutcome outcome = ExpectSame(c.model);
    EXPECT_EQ(outcome.error, c.error);
    EXPECT_EQ(outcome.errorLine, c.line);
  }
}

TEST(ModelStatsTest, EofEndsTheModelAndWhatFollowsIsNotRead) {
  const TStatsOutcome outcome = ExpectSame(kHeader + Object("a", "", "\t\t3 V(0 1 2)\n") + "Eof\n}}} \"\0garbage");
  EXPECT_EQ(outcome.error, "");
  EXPECT_TRUE(outcome.stats.warnings.empty());
  EXPECT_EQ(Summaries(outcome.stats), std::vector<std::string>{"a 1/1/3/1"});
}

// Plain lines of numbers, exactly size bytes, the last one ending in a line feed.
std::string Filler(size_t size) {
  std::string out;
  for (int i = 0; out.size() < size; ++i) {
    std::string line = "\t\t" + std::to_string(i % 1000) + " 0.25 -1.5 " + std::to_string(i * 7 % 97) + "\r\n";
    if (size - out.size() < line.size() + 8) line = std::string(size - out.size() - 1, ' ') + "\n";
    out += line;
  }
  return out;
}

TEST(ModelStatsTest, TheFastPathHandsOverAtEveryKindOfLine) {
  // Each text slides over the first window's end, byte by byte, inside a
  // face chunk and inside a vertex chunk.
  const std::string texts[] = {
      "\t\t4 V(0 1 2 3) M(1) UV(0 0 1 0 1 1 0 1)\n",
      "\t}\n\tface 1 {\n\t\t3 V(0 1 2)\n",
      "\t\tEof\n",
      "\t\t  Eof \n",
      "\t\t1E5 0 0\n",
      "\t\t3 V(0 1 2) M(1) X(\"{\")\n",
      "\t\t9999999999999999 V(0)\n",
      "\t\t3 V(0 1 2) M(-12345678901234567)\n",
      "\t\tVector 2 [3]\n{\n}\n",
  };
  for (const std::string& text : texts) {
    for (const char* chunk : {"face 9999", "vertex 9999"}) {
      for (size_t at = 4096 - text.size() - 12; at < 4100; ++at) {
        SCOPED_TRACE(std::string(chunk) + ", at " + std::to_string(at) + ": " + text);
        const std::string head = "Object \"o\" {\n\t" + std::string(chunk) + " {\n";
        const std::string model = head + Filler(at - head.size()) + text + Filler(9000) + "\t}\n}\nEof\n";
        EXPECT_EQ(FastStats(model), ReferenceStats(model));
      }
    }
  }
}

TEST(ModelStatsTest, LongLinesAndNamesGoToTheReader) {
  std::string corners = "\t\t5000 V(";
  for (int i = 0; i < 5000; ++i) corners += std::to_string(i) + " ";
  corners += ") M(2)\n";
  const TStatsOutcome outcome =
      ExpectSame("Object \"" + std::string(3000, 'n') + "\" {\n\tface 1 {\n" + corners + "\t}\n}\nEof\n");
  ASSERT_EQ(outcome.error, "");
  EXPECT_EQ(outcome.stats.objects[0].triangles, 4998u);
  EXPECT_EQ(outcome.stats.objects[0].name, std::string(TStatsReader::kNameLimit, 'n'));
  EXPECT_EQ(Warnings(outcome.stats),
            std::vector<std::string>{"1: the object's name is longer than 1024 bytes; it is cut there"});
}

// The public models beside the project, when they are there.
std::filesystem::path CorpusFolder() {
  const char* source = std::getenv("CORVIDA_SOURCE_DIR");
  return std::filesystem::path(source != nullptr ? source : ".") / ".." / "shared" / "corpus" / "mqo";
}

std::string ReadCorpus(const std::string& name) {
  std::ifstream in(CorpusFolder() / name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(ModelStatsCorpusTest, FiguresWorkedOutByHand) {
  if (!std::filesystem::is_directory(CorpusFolder())) GTEST_SKIP() << "no corpus at " << CorpusFolder();
  struct TCase {
    const char* file;
    TStatsTotals visible;
    TStatsTotals hidden;
    uint64_t entries;
    // Objects worth a look of their own.
    std::vector<std::string> objects;
  };
  const TCase cases[] = {
      // One quad, no material, mirror 2 (connected) on X and Y: 2 triangles
      // exported four times, an estimate.
      {"bm-mirrored-multiple-axes.mqo", {1, 1, 2, 4, 1, 8}, {}, 0, {"obj1 1/2/4/1 mirror 2 axis 3 exported 8~"}},
      // Six quads and two edges (2 V(8 9), 2 V(9 10)) over 11 vertices.
      {"bm-single-object-with-edge.mqo", {1, 8, 12, 11, 1, 12}, {}, 0, {"obj1 8/12/11/1"}},
      // BVertex 8 whose 96 binary bytes hold NULs; six quads.
      {"bm-single-object-with-bvertex.mqo", {1, 6, 12, 8, 1, 12}, {}, 0, {"obj1 6/12/8/1"}},
      // Six quads on materials 0 and 1.
      {"bm-multiple-materials.mqo", {1, 6, 12, 8, 2, 12}, {}, 2, {"obj1 6/12/8/2"}},
      // Visible: body (15 quads, 24 vertices, M(0), mirror 1 on Y and Z:
      // 30 triangles x 4), the eyes (16 triangles and 48 quads each, 58
      // vertices, M(1) and M(2)), the feet (16 + 34 quads, 44), the hands
      // (16 + 64 quads, 74): 403 faces, 710 triangles, 800 exported, 376
      // vertices, materials 0 1 2. Hidden: five anchors of 6 quads over 8
      // vertices and bone:body of 5 triangles over 14, all M(0).
      {"dsan-d-chan2.mqo", {7, 403, 710, 376, 3, 800}, {6, 35, 65, 54, 1, 65}, 3, {}},
      // The same figures without the mirror, every vertex chunk a BVertex
      // with binary data, names in Shift-JIS.
      {"dsan-d-chan3.mqo", {7, 403, 710, 376, 3, 710}, {}, 3, {}},
      // Visible mugcup:SUB: 312 faces from triangles to a 66-gon (64x3,
      // 167x4, 40x5, 10x6, 8x7, 8x8, 4x9, 2x11, 2x16, 2x20, 2x32, 42, 52,
      // 66: 970 triangles) over 488 vertices, M(0) and M(1). Hidden: mug
      // (128 triangles and 54 quads: 236, 120 vertices, M(0)) and ten
      // objects with empty face chunks, which count no object.
      {"jsm-autocsg-sample.mqo", {1, 312, 970, 488, 2, 970}, {1, 182, 236, 120, 1, 236}, 2, {}},
      // "CodePage 932" is Shift-JIS. Visible: でかいほう (291 faces, 758
      // triangles, 381 vertices, M(0)) and obj1 (106 quads, 117, M(3));
      // hidden: obj2 (384 faces, 760 triangles, 382, M(0) M(1)) and obj3
      // (196 quads, 225, M(2)).
      {"shrinkwrap-test.mqo", {2, 397, 970, 498, 2, 970}, {2, 580, 1152, 607, 3, 1152}, 4, {}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.file);
    const TStatsOutcome outcome = ExpectSame(ReadCorpus(c.file));
    ASSERT_EQ(outcome.error, "");
    EXPECT_FALSE(outcome.stats.utf8);
    EXPECT_EQ(outcome.stats.visible, c.visible);
    EXPECT_EQ(outcome.stats.hidden, c.hidden);
    EXPECT_EQ(outcome.stats.materialEntries, c.entries);
    EXPECT_TRUE(outcome.stats.warnings.empty()) << Warnings(outcome.stats).front();
    if (!c.objects.empty()) {
      EXPECT_EQ(Summaries(outcome.stats), c.objects);
    }
  }
  const TStatsOutcome chan2 = ReferenceStats(ReadCorpus("dsan-d-chan2.mqo"));
  ASSERT_EQ(chan2.stats.objects.size(), 13u);
  EXPECT_EQ(Summary(chan2.stats.objects[0]), "sdef:body 15/30/24/1 mirror 1 axis 6 exported 120");
  EXPECT_EQ(Summary(chan2.stats.objects[9]), "bone:body 5/5/14/1 hidden");
}

TEST(ModelStatsCorpusTest, EveryModelReadsAlikeBothWays) {
  if (!std::filesystem::is_directory(CorpusFolder())) GTEST_SKIP() << "no corpus at " << CorpusFolder();
  for (const auto& entry : std::filesystem::directory_iterator(CorpusFolder())) {
    if (entry.path().extension() != ".mqo") continue;
    SCOPED_TRACE(entry.path().filename().string());
    EXPECT_EQ(ExpectSame(ReadCorpus(entry.path().filename().string())).error, "");
  }
}

TEST(StatsWindowScanTest, EveryLevelMarksTheSameBytes) {
  uint32_t seed = 4321;
  auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
  const char alphabet[] = "E\n{}[]\"\x80( a1.\t\0";
  std::string bytes(kMarkedBytes + 64, ' ');
  for (int round = 0; round < 300; ++round) {
    for (char& c : bytes) c = alphabet[next() >> 8 & 7 ? next() % 5 + 9 : next() % (sizeof alphabet - 1)];
    const size_t n = round < 5 ? static_cast<size_t>(round) : next() % (kMarkedBytes + 1);
    TWindowMarks expected{};
    ScanStatsWindow(bytes.data(), n, expected, slScalar);
    for (const TScanLevel level : {slSse2, slAvx2}) {
      TWindowMarks marks{};
      ScanStatsWindow(bytes.data(), n, marks, level);
      EXPECT_EQ(marks.firstUnusual, expected.firstUnusual);
      EXPECT_EQ(std::memcmp(marks.unusual, expected.unusual, (n + 63) / 64 * 8), 0);
      EXPECT_EQ(std::memcmp(marks.lineFeeds, expected.lineFeeds, (n + 63) / 64 * 8), 0);
      EXPECT_EQ(std::memcmp(marks.keywordStarts, expected.keywordStarts, (n + 63) / 64 * 8), 0);
    }
    for (size_t i = 0; i < n; ++i) {
      const char c = bytes[i];
      const bool unusual = c == 0 || c == '"' || c == '[' || c == ']' || c == '{' || c == '}';
      EXPECT_EQ((expected.unusual[i / 64] >> (i % 64) & 1) != 0, unusual) << i;
      EXPECT_EQ((expected.keywordStarts[i / 64] >> (i % 64) & 1) != 0, c == 'E') << i;
    }
  }
}

}  // namespace
}  // namespace corvida::testing

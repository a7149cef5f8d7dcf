#include "mqo/fast_report.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <exception>
#include <thread>

#include "mqo/mqo_parser.h"
#include "mqo/reference_report.h"
#include "mqo/window_scan.h"
#include "report_outcome.h"
#include "temp_folder.h"
#include "zip_builder.h"

namespace corvida::testing {
namespace {

using namespace std::string_literals;

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

// Both readings agree for every sort order and several piece sizes; the
// reference outcome is returned for checks of its own.
TReportOutcome ExpectSame(const std::string& model) {
  for (const int sortMode : {kSortNone, kSortAscending, kSortDescending}) {
    const TReportOutcome reference = ReferenceOutcome(model, sortMode);
    for (const size_t step : {size_t{0}, size_t{3}, size_t{4096}, size_t{5000}}) {
      EXPECT_EQ(FastOutcome(model, sortMode, step), reference) << "sort " << sortMode << ", pieces of " << step;
    }
    EXPECT_EQ(FastOutcome(model, sortMode, 0, TModelInput::kLeastCapacity), reference) << "least room";
  }
  EXPECT_EQ(FastOutcome(model, kSortNone, 0, TModelInput::kCapacity, rsUtf8), ReferenceOutcome(model, kSortNone, rsUtf8))
      << "UTF-8 spelling";
  return ReferenceOutcome(model, kSortNone);
}

// The text slides over the first window's cut, byte by byte.
template <typename Check>
void AcrossTheCut(const std::string& text, Check check) {
  for (size_t at = 4096 - text.size() - 12; at < 4100; ++at) {
    SCOPED_TRACE("text at " + std::to_string(at));
    check(ExpectSame(Filler(at) + text + Filler(9000) + "face 1\n"));
  }
}

TEST(FastReportTest, PlainModelsAgree) {
  std::string model = "Metasequoia Document\r\nMaterial 1 {\r\n\t\"mat1\" col(1 1 1 1)\r\n}\r\n";
  for (int i = 0; i < 12; ++i) {
    model += "Object \"part" + std::to_string(i) + "\" {\r\n\tfacet 59.5\r\n\tvertex 3 {\r\n" + Filler(1500 + i * 97) +
             "\t}\r\n\tface " + std::to_string(i % 4 * 100) + " {\r\n" + Filler(2500) + "\t}\r\n}\r\n";
  }
  const TReportOutcome outcome = ExpectSame(model + "Eof\r\n");
  ASSERT_EQ(outcome.lines.size(), 12u);
  EXPECT_EQ(outcome.lines[5], "     100 : \"part5\"");
}

TEST(FastReportTest, KeywordsGluedToOtherTokensAreCutAsTheScannerCutsThem) {
  const std::string glued = "12face 1\n$face 2\n1.0dface 3\nx_face 4\nfaces 5\n-face 6\n1e5face 7\n"
                            "Objectx 8\n(face 9)\nObject\"n\"{face face 10\nface Object 11\n#5face 12\n";
  const TReportOutcome outcome = ExpectSame(Filler(6000) + glued + Filler(3000));
  EXPECT_EQ(outcome.lines, (std::vector<std::string>{"       1 : ", "       3 : ", "       6 : ",
                                                     "       7 : ", "       9 : ", "       0 : \"n\"",
                                                     "       0 : \"n\"", "      12 : \"n\""}));
}

TEST(FastReportTest, FaceAndItsCountOnEitherSideOfTheCut) {
  AcrossTheCut("face\n  \t 42 and more after it\n", [](const TReportOutcome& outcome) {
    ASSERT_EQ(outcome.lines.size(), 2u);
    EXPECT_EQ(outcome.lines[0], "      42 : ");
  });
}

TEST(FastReportTest, NameRunningOverTheCut) {
  AcrossTheCut("Object \"long\r\n name\" 12\r\n\t{ face 5\n", [](const TReportOutcome& outcome) {
    ASSERT_EQ(outcome.lines.size(), 2u);
    EXPECT_EQ(outcome.lines[0], "       5 : \"longname\"12");
  });
}

TEST(FastReportTest, ShiftJisNamesGoToTheLiteralScannerWhereverTheyStart) {
  // ボ is 0x83 0x7B: its second byte is a '{' that belongs to the name.
  AcrossTheCut("Object \"ab\n\x83\x7b\x83\x62\" {\nface 7\n", [](const TReportOutcome& outcome) {
    ASSERT_EQ(outcome.lines.size(), 2u);
    EXPECT_EQ(outcome.lines[0], "       7 : \"ab\x83\x7b\x83\x62\"");
  });
  // A lead byte ending one window makes the '{' opening the next, plain
  // one part of the name, and the name runs on to the following '{'.
  AcrossTheCut("Object \x83\n{ face 3 {\nface 4\n", [](const TReportOutcome& outcome) {
    ASSERT_EQ(outcome.lines.size(), 2u);
    EXPECT_EQ(outcome.lines[0], "       4 : \x83{face3");
  });
}

TEST(FastReportTest, TheHeaderIsReadByTheLiteralScannerUpToItsEnd) {
  // "名" in UTF-8; the header runs on over the filler, which has no '{'.
  AcrossTheCut("CodePage utf8\nObject \"\xe5\x90\x8d\" {\nface 2\n", [](const TReportOutcome& outcome) {
    ASSERT_EQ(outcome.lines.size(), 2u);
    EXPECT_EQ(outcome.lines[0], "       2 : \"\x96\xbc\"");
  });
  // Past the first '{' the header is over and "CodePage utf8" is a name.
  AcrossTheCut("Scene {\nCodePage utf8\nObject \"\x96\xbc\" {\nface 2\n", [](const TReportOutcome& outcome) {
    ASSERT_EQ(outcome.lines.size(), 2u);
    EXPECT_EQ(outcome.lines[0], "       2 : \"\x96\xbc\"");
  });
}

TEST(FastReportTest, StringsGoToTheLiteralScannerAndTheFastPathTakesOverAfter) {
  AcrossTheCut("Object 'it''s' #65 {\nface 3\n'face' face #52\n", [](const TReportOutcome& outcome) {
    ASSERT_EQ(outcome.lines.size(), 3u);
    EXPECT_EQ(outcome.lines[0], "       3 : it'sA");
    EXPECT_EQ(outcome.lines[1], "       4 : it'sA");
  });
}

TEST(FastReportTest, BinaryBlocksAcrossTheCut) {
  const std::string payload = "face 99\n'\0#[Object\n"s;
  AcrossTheCut("Vector 3 [" + std::to_string(payload.size()) + "]\r\n" + payload + "\nface 8\n",
               [](const TReportOutcome& outcome) {
                 ASSERT_EQ(outcome.lines.size(), 2u);
                 EXPECT_EQ(outcome.lines[0], "       8 : ");
               });
  // The block's "[", count and "]" may stand on lines of their own.
  AcrossTheCut("[\n\n5\n]\n\0\0\0\0\0face 2\n"s, [](const TReportOutcome& outcome) {
    ASSERT_EQ(outcome.lines.size(), 2u);
    EXPECT_EQ(outcome.lines[0], "       2 : ");
  });
}

TEST(FastReportTest, NulBytesEndTheTextOrAreAnError) {
  const std::string model = Filler(20000) + "face 3\n";
  EXPECT_EQ(ExpectSame(model + std::string(5000, '\0')).lines.size(), 1u);
  EXPECT_NE(ExpectSame(model + "\0face 4\n"s).error, "");
  AcrossTheCut("\0"s, [](const TReportOutcome& outcome) { EXPECT_NE(outcome.error, ""); });
}

TEST(FastReportTest, LongLinesNearTheWindowLimit) {
  for (size_t length = 4090; length <= 4098; ++length) {
    for (const size_t before : {size_t{0}, size_t{7000}, size_t{8190}}) {
      SCOPED_TRACE("line of " + std::to_string(length) + " after " + std::to_string(before));
      ExpectSame(Filler(before) + std::string(length - 1, 'x') + "\nface 1\n" + Filler(5000));
      ExpectSame(Filler(before) + "face" + std::string(length - 5, ' ') + "\n2\n" + Filler(5000));
    }
  }
  const TReportOutcome tooLong = ExpectSame(Filler(12000) + std::string(4200, '1') + "\n");
  EXPECT_NE(tooLong.error.find(msg::kLineTooLong), std::string::npos);
}

TEST(FastReportTest, ErrorsCountTheLinesTheFastPathPassed) {
  const std::string filler = Filler(30000);
  const TReportOutcome outcome = ExpectSame(filler + "\n\n'open\n" + Filler(5000));
  const auto line = std::count(filler.begin(), filler.end(), '\n') + 3;
  EXPECT_EQ(outcome.error.rfind(std::to_string(line) + " ", 0), 0u) << outcome.error;
  EXPECT_NE(outcome.error.find(msg::kInvalidString), std::string::npos);
}

TEST(FastReportTest, InputEndingInsideAKeywordRunOrAName) {
  EXPECT_EQ(ExpectSame(Filler(9000) + "face").lines, std::vector<std::string>{"       0 : "});
  EXPECT_EQ(ExpectSame(Filler(9000) + "face\n\n ").lines, std::vector<std::string>{"       0 : "});
  EXPECT_EQ(ExpectSame(Filler(9000) + "face 12").lines, std::vector<std::string>{"      12 : "});
  EXPECT_TRUE(ExpectSame(Filler(9000) + "Object \"x\" face 3").lines.empty());
  EXPECT_TRUE(ExpectSame("").lines.empty());
  EXPECT_EQ(ExpectSame(Filler(4096)).lines.size(), 0u);
}

TEST(WindowScanTest, EveryLevelMarksTheSameBytes) {
  uint32_t seed = 12345;
  auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
  const char alphabet[] = "fO\n\x80\xff#'[ a1.{\t\0";
  std::string bytes(kMarkedBytes + 64, ' ');
  for (int round = 0; round < 300; ++round) {
    for (char& c : bytes) c = alphabet[next() >> 8 & 15 ? next() % 5 + 8 : next() % (sizeof alphabet - 1)];
    const size_t n = round < 5 ? static_cast<size_t>(round) : next() % (kMarkedBytes + 1);
    TWindowMarks expected{};
    ScanWindow(bytes.data(), n, expected, slScalar);
    for (const TScanLevel level : {slSse2, slAvx2}) {
      TWindowMarks marks{};
      ScanWindow(bytes.data(), n, marks, level);
      EXPECT_EQ(marks.firstUnusual, expected.firstUnusual);
      EXPECT_EQ(std::memcmp(marks.lineFeeds, expected.lineFeeds, (n + 63) / 64 * 8), 0);
      EXPECT_EQ(std::memcmp(marks.lineFeedsBefore, expected.lineFeedsBefore, ((n + 63) / 64 + 1) * 4), 0);
      EXPECT_EQ(std::memcmp(marks.keywordStarts, expected.keywordStarts, (n + 63) / 64 * 8), 0);
    }
    const auto unusual = std::find_if(bytes.begin(), bytes.begin() + static_cast<long>(n), [](char c) {
      return c == 0 || c == '\'' || c == '#' || c == '[' || static_cast<unsigned char>(c) >= 0x80;
    });
    EXPECT_EQ(expected.firstUnusual, static_cast<size_t>(unusual - bytes.begin()));
    EXPECT_EQ(expected.lineFeedsBefore[(n + 63) / 64], std::count(bytes.begin(), bytes.begin() + static_cast<long>(n), '\n'));
  }
}

TEST(FaceCountsTest, SortGivesTheOrderOfInsertSorted) {
  uint32_t seed = 777;
  auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
  const int32_t wide[] = {123456789, 123456780, -12345678, -12345670, INT32_MIN, INT32_MAX, 99999999, -9999999};
  // Also lines that repeat one after another (objects named alike, few
  // counts), which are held once with their number.
  for (const bool repeating : {false, true})
  for (const int sortMode : {kSortAscending, kSortDescending}) {
    TFaceCounts counts;
    TStringList expected;
    // Where each line stood in the file, in the order InsertSorted gives.
    std::vector<std::pair<int32_t, uint64_t>> expectedIndexes;
    for (int i = 0; i < 400; ++i) {
      if (i % 3 == 0) {
        counts.BeginName();
        counts.AppendName(repeating ? std::string(next() % 2 ? "a" : "b") : "n" + std::to_string(i));
        counts.EndName();
      }
      const int32_t count = repeating            ? static_cast<int32_t>(next() % 2)
                            : next() % 4 == 0 ? wide[next() % 8]
                                              : static_cast<int32_t>(next() % 20) - 5;
      counts.AwaitCount();
      counts.Count(std::to_string(count));
      InsertSorted(expected, ReportObjectLine(count, counts.Name()), sortMode);
      expectedIndexes.insert(expectedIndexes.begin(), {SortKey(count), i});
    }
    std::stable_sort(expectedIndexes.begin(), expectedIndexes.end(), [&](const auto& a, const auto& b) {
      return sortMode == kSortAscending ? a.first < b.first : a.first > b.first;
    });
    counts.Sort(sortMode);
    ASSERT_EQ(counts.LineCount(), static_cast<uint64_t>(expected.Count()));
    int i = 0;
    counts.ForEachLine([&](const TFaceCounts::TLine& line) {
      EXPECT_EQ(line.fileIndex, expectedIndexes[static_cast<size_t>(i)].second);
      EXPECT_EQ(ReportObjectLine(line.count, line.name), expected.Strings(i++));
    });
  }
}

TEST(ModelInputTest, HoldsBytesAcrossPiecesAndLetsGoOfThoseBefore) {
  const std::string bytes = Filler(20000);
  for (const size_t step : {size_t{1}, size_t{100}, size_t{4096}, size_t{0}}) {
    TStringPieces pieces(bytes, step);
    TModelInput input(pieces);
    for (uint64_t at = 0; at < bytes.size(); at += 777) {
      const std::string_view held = input.Hold(at, 5000);
      ASSERT_GE(held.size(), std::min<size_t>(5000, bytes.size() - at));
      EXPECT_EQ(held.substr(0, 5000), std::string_view(bytes).substr(at, 5000));
    }
  }
}

TEST(ModelInputTest, StreamReadsOnFromAnyOffset) {
  const std::string bytes = Filler(10000);
  TStringPieces pieces(bytes, 333);
  TModelInput input(pieces);
  input.Hold(0, 2000);
  input.Hold(1000, 1);
  TModelInputStream stream(input, 1234);
  std::string read(9000, '\0');
  EXPECT_EQ(stream.Read(read.data(), 4000), 4000);
  EXPECT_EQ(stream.Read(read.data() + 4000, 5000), 10000 - 1234 - 4000);
  EXPECT_EQ(read.substr(0, 10000 - 1234), bytes.substr(1234));
}

// The face lines CountFacesOfFile gives, one string per line.
std::vector<std::string> LinesOfFile(const std::string& path) {
  TFaceCounts counts;
  CountFacesOfFile(path, kSortNone, counts);
  std::vector<std::string> lines;
  counts.ForEachLine([&](const TFaceCounts::TLine& line) { lines.push_back(ReportObjectLine(line.count, line.name)); });
  return lines;
}

// The lines of bytes written into a pipe by another thread.
std::vector<std::string> LinesThroughAPipe(const std::string& bytes) {
  int fds[2];
  if (::pipe(fds) != 0) return {"no pipe"};
  std::thread writer([&] {
    for (size_t done = 0; done < bytes.size();) {
      const ssize_t n = ::write(fds[1], bytes.data() + done, bytes.size() - done);
      if (n <= 0) break;
      done += static_cast<size_t>(n);
    }
    ::close(fds[1]);
  });
  std::vector<std::string> lines;
  std::exception_ptr error;
  try {
    lines = LinesOfFile("/dev/fd/" + std::to_string(fds[0]));
  } catch (...) {
    error = std::current_exception();
  }
  writer.join();
  ::close(fds[0]);
  if (error) std::rethrow_exception(error);
  return lines;
}

TEST(ModelFileTest, FilesPipesAndArchivesAreReadToTheirEnd) {
  TempFolder folder;
  const std::string model = Filler(700000) + "Object \"p\" {\nface 3\n";
  const std::vector<std::string> expected{"       3 : \"p\""};
  WriteAll(folder.File("model.mqo"), model);
  EXPECT_EQ(LinesOfFile(folder.File("model.mqo")), expected);
  EXPECT_EQ(LinesThroughAPipe(model), expected);
  // Models shorter than the bytes looked at to tell an archive.
  EXPECT_EQ(LinesThroughAPipe("face"), std::vector<std::string>{"       0 : "});
  EXPECT_EQ(LinesThroughAPipe("face 12"), std::vector<std::string>{"      12 : "});
  EXPECT_TRUE(LinesThroughAPipe("").empty());

  // An archive is known by its first bytes where its name does not say so.
  const std::string archive = ZipArchive({{"readme.txt", "face 99\n"}, {"m.mqo", model}});
  EXPECT_EQ(LinesThroughAPipe(archive), expected);
  WriteAll(folder.File("renamed.mqo"), archive);
  EXPECT_EQ(LinesOfFile(folder.File("renamed.mqo")), expected);
  EXPECT_THROW(LinesThroughAPipe(archive.substr(0, 100)), EFOpenError);
}

}  // namespace
}  // namespace corvida::testing

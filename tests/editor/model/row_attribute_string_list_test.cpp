#include "editor/model/row_attribute_string_list.h"

#include <gtest/gtest.h>

#include "platform/rtl/exceptions.h"

namespace corvida {
namespace {

TEST(RowAttributeStringList, ANewRowIsAnUnscannedLineEnd) {
  TRowAttributeStringList list;
  list.Add("row");
  EXPECT_EQ(list.RowAttributes(0), raCrlf);
  EXPECT_EQ(list.PrevRowAttributes(0), raCrlf);
  EXPECT_EQ(list.BracketIndexes(0), -2);
  EXPECT_EQ(list.ElementIndexes(0), 0);
  EXPECT_EQ(list.WrappedBytes(0), 0);
  EXPECT_EQ(list.Remains(0), 0);
  EXPECT_EQ(list.PrevTokens(0), 0);
  EXPECT_EQ(list.StartTokens(0), 0);
  EXPECT_TRUE(list.RowMarks(0).Empty());
  EXPECT_EQ(list.DataStrings(0), "");
}

TEST(RowAttributeStringList, FieldsSitAtTheirBitsAndKeepTheirNeighbours) {
  TRowAttributeStringList list;
  list.Add("row");
  list.SetRowAttributes(0, raEof);
  list.SetPrevRowAttributes(0, raWrapped);
  list.SetBracketIndexes(0, 13);
  list.SetElementIndexes(0, 0xAB);
  list.SetWrappedBytes(0, 0xCD);
  list.SetRemains(0, 0xEF);
  EXPECT_EQ(list.Attributes(0), 0xEFCDABF6u);
  list.SetPrevTokens(0, 0x12);
  list.SetStartTokens(0, 0x34);
  list.SetRowMarks(0, TRowMarks{0, 9, 15});
  EXPECT_EQ(list.Attributes2(0), 0x82013412u);

  list.SetRowMarks(0, TRowMarks{1});
  EXPECT_EQ(list.PrevTokens(0), 0x12);
  EXPECT_EQ(list.StartTokens(0), 0x34);
  list.SetPrevTokens(0, 0xFF);
  list.SetStartTokens(0, 0);
  EXPECT_EQ(list.RowMarks(0), TRowMarks{1});

  list.SetBracketIndexes(0, -1);
  EXPECT_EQ(list.BracketIndexes(0), -1);
  EXPECT_EQ(list.RowAttributes(0), raEof);
  EXPECT_EQ(list.PrevRowAttributes(0), raWrapped);
  EXPECT_EQ(list.ElementIndexes(0), 0xAB);
  EXPECT_EQ(list.WrappedBytes(0), 0xCD);
  EXPECT_EQ(list.Remains(0), 0xEF);
}

TEST(RowAttributeStringList, OutOfRangeValuesNeverSpillIntoNeighbours) {
  TRowAttributeStringList list;
  list.Add("row");
  list.SetElementIndexes(0, 5);
  list.SetBracketIndexes(0, 14);  // 16 does not fit four bits
  list.SetRowAttributes(0, static_cast<TRowAttribute>(7));
  list.SetWrappedBytes(0, 0x1FF);
  EXPECT_EQ(list.ElementIndexes(0), 5);
  EXPECT_EQ(list.PrevRowAttributes(0), raCrlf);
  EXPECT_EQ(list.Remains(0), 0);
}

TEST(RowAttributeStringList, TypedAccessorsAreSilentAndCheckTheIndex) {
  TRowAttributeStringList list;
  list.Add("row");
  int events = 0;
  struct Counter {
    int* n;
    void Hit(TObject*) { ++*n; }
  } counter{&events};
  list.SetOnChange(TNotifyEvent::Of<&Counter::Hit>(&counter));
  list.SetOnChanging(TNotifyEvent::Of<&Counter::Hit>(&counter));
  list.SetRowAttributes(0, raWrapped);
  list.SetRowMarks(0, TRowMarks{3});
  EXPECT_EQ(events, 0);
  EXPECT_THROW(list.RowAttributes(1), EStringListError);
  EXPECT_THROW(list.SetRowMarks(-1, TRowMarks{}), EStringListError);
}

TEST(RowMarks, HoldsMarksZeroToFifteen) {
  TRowMarks marks;
  marks.Include(0);
  marks.Include(15);
  marks.Include(16);
  marks.Include(-1);
  EXPECT_EQ(marks.Bits(), 0x8001);
  EXPECT_TRUE(marks.Contains(15));
  EXPECT_FALSE(marks.Contains(16));
  marks.Exclude(0);
  EXPECT_EQ(marks, TRowMarks{15});
}

}  // namespace
}  // namespace corvida

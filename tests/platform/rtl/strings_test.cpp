#include "platform/rtl/strings.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/messages.h"

namespace corvida {
namespace {

struct EventLog {
  std::string events;
  void Changing(TObject*) { events += '<'; }
  void Change(TObject*) { events += '>'; }
  void Watch(TStringList& list) {
    list.SetOnChanging(TNotifyEvent::Of<&EventLog::Changing>(this));
    list.SetOnChange(TNotifyEvent::Of<&EventLog::Change>(this));
  }
};

std::vector<std::string> Lines(const TStrings& list) {
  std::vector<std::string> out;
  for (int i = 0; i < list.Count(); ++i) out.push_back(list.Get(i));
  return out;
}

TEST(StringList, UpdateBracketsAnnounceOnceAtTheOutermostEnds) {
  TStringList list;
  EventLog log;
  log.Watch(list);
  list.Add("a");
  EXPECT_EQ(log.events, "<>");

  log.events.clear();
  list.BeginUpdate();
  list.BeginUpdate();
  list.Add("b");
  list.Delete(0);
  list.Insert(0, "c");
  list.EndUpdate();
  EXPECT_EQ(log.events, "<");
  list.EndUpdate();
  EXPECT_EQ(log.events, "<>");
  EXPECT_EQ(list.UpdateCount(), 0);

  log.events.clear();
  list.SetText("x\ny");
  list.AddStrings(list);
  EXPECT_EQ(log.events, "<><>") << "SetText and AddStrings are one change each";
  EXPECT_EQ(Lines(list), (std::vector<std::string>{"x", "y", "x", "y"}));
}

TEST(StringList, TheBracketClosesWhenAnErrorPassesThrough) {
  TStringList list;
  list.SetSorted(true);
  list.SetDuplicates(dupError);
  list.Add("a");
  TStringList source;
  source.Add("b");
  source.Add("A");
  EventLog log;
  log.Watch(list);
  EXPECT_THROW(list.AddStrings(source), EStringListError);
  EXPECT_EQ(list.UpdateCount(), 0);
  EXPECT_EQ(log.events, "<>");
}

TEST(StringList, SortedFindIgnoresCaseAndDuplicatesAreIgnored) {
  TStringList list;
  list.SetSorted(true);
  for (const char* s : {"delta", "Alpha", "charlie", "Bravo"}) list.Add(s);
  EXPECT_EQ(Lines(list), (std::vector<std::string>{"Alpha", "Bravo", "charlie", "delta"}));

  int index = -1;
  EXPECT_TRUE(list.Find("CHARLIE", index));
  EXPECT_EQ(index, 2);
  EXPECT_FALSE(list.Find("bz", index));
  EXPECT_EQ(index, 2) << "where it would go";
  EXPECT_EQ(list.IndexOf("alpha"), 0);
  EXPECT_EQ(list.IndexOf("echo"), -1);

  EXPECT_EQ(list.Add("BRAVO"), 1);
  EXPECT_EQ(list.Count(), 4);
  EXPECT_EQ(list.Get(1), "Bravo");

  list.SetDuplicates(dupError);
  try {
    list.Add("alpha");
    ADD_FAILURE();
  } catch (const EStringListError& e) {
    EXPECT_EQ(e.Message(), msg::kDuplicateString);
  }
  list.SetDuplicates(dupAccept);
  list.Add("alpha");
  EXPECT_EQ(list.Count(), 5);

  EXPECT_THROW(list.Insert(0, "zulu"), EStringListError);
  EXPECT_THROW(list.Put(0, "zulu"), EStringListError);
}

TEST(StringList, CaseSensitiveSortedListsTellCaseApart) {
  TStringList list;
  list.SetSorted(true);
  list.SetCaseSensitive(true);
  list.Add("b");
  list.Add("B");
  EXPECT_EQ(list.Count(), 2);
  int index = 0;
  EXPECT_FALSE(list.Find("A", index));
  EXPECT_TRUE(list.Find("B", index));
  EXPECT_EQ(list.Get(index), "B");
}

TEST(StringList, TextSplitsAtEveryLineBreakKind) {
  TStringList list;
  list.SetText("one\rtwo\nthree\r\nfour");
  EXPECT_EQ(Lines(list), (std::vector<std::string>{"one", "two", "three", "four"}));
  EXPECT_EQ(list.Text(), "one\r\ntwo\r\nthree\r\nfour\r\n");

  list.SetText("a\r\n");
  EXPECT_EQ(Lines(list), (std::vector<std::string>{"a"})) << "no empty line after a final break";
  list.SetText("a\n\n");
  EXPECT_EQ(Lines(list), (std::vector<std::string>{"a", ""}));
  list.SetText("\r\n");
  EXPECT_EQ(Lines(list), (std::vector<std::string>{""}));
  list.SetText("\n\r");
  EXPECT_EQ(Lines(list), (std::vector<std::string>{"", ""})) << "LF then CR is two breaks";
  list.SetText("");
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.Text(), "");

  const std::string withNul("x\0y", 3);
  list.SetText(withNul);
  EXPECT_EQ(list.Get(0), withNul);
}

TEST(StringList, AssignAddStringsAndEquals) {
  TStringList a;
  a.SetText("1\n2\n3");
  TStringList b;
  b.Add("old");
  b.Assign(&a);
  EXPECT_TRUE(b.Equals(a));
  b.AddStrings(a);
  EXPECT_EQ(b.Count(), 6);
  EXPECT_FALSE(b.Equals(a));

  TStringList c;
  c.SetText("1\n2\nX");
  EXPECT_FALSE(c.Equals(a)) << "same count, other text";
  c.Put(2, "3");
  EXPECT_TRUE(c.Equals(a));
  c.Put(2, "3 ");
  EXPECT_FALSE(c.Equals(a));

  a.Assign(&a);
  EXPECT_EQ(Lines(a), (std::vector<std::string>{"1", "2", "3"})) << "assigning a list to itself keeps it";
}

TEST(StringList, BadIndexesRaiseTheListIndexError) {
  TStringList list;
  list.Add("a");
  for (auto f : std::vector<std::function<void()>>{
           [&] { list.Get(1); }, [&] { list.Get(-1); }, [&] { list.Put(1, "x"); },
           [&] { list.Delete(1); }, [&] { list.Insert(2, "x"); }, [&] { list.Exchange(0, 1); }}) {
    try {
      f();
      ADD_FAILURE();
    } catch (const EStringListError& e) {
      EXPECT_EQ(e.Message(), msg::kListIndexError);
    }
  }
  list.Insert(1, "b");
  EXPECT_EQ(list.Text(), "a\r\nb\r\n");
}

TEST(StringList, MoveAndExchangeKeepTheOtherLines) {
  TStringList list;
  list.SetText("a\nb\nc\nd");
  list.Move(0, 3);
  EXPECT_EQ(Lines(list), (std::vector<std::string>{"b", "c", "d", "a"}));
  list.Exchange(0, 2);
  EXPECT_EQ(Lines(list), (std::vector<std::string>{"d", "c", "b", "a"}));
}

}  // namespace
}  // namespace corvida

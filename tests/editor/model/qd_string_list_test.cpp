#include "editor/model/qd_string_list.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/messages.h"

namespace corvida {
namespace {

// Records the events of a list, in order.
struct EventLog {
  std::string events;
  TObject* sender = nullptr;
  void Changing(TObject* s) {
    events += '<';
    sender = s;
  }
  void Change(TObject* s) {
    events += '>';
    sender = s;
  }
  void Watch(TqdStringList& list) {
    list.SetOnChanging(TNotifyEvent::Of<&EventLog::Changing>(this));
    list.SetOnChange(TNotifyEvent::Of<&EventLog::Change>(this));
  }
};

// Opens the protected row moves, as the row store uses them.
class RowList : public TqdStringList {
 public:
  using TqdStringList::ExtractItems;
  using TqdStringList::InsertItems;
};

std::vector<std::string> Strings(const TqdStringList& list) {
  std::vector<std::string> out;
  for (int i = 0; i < list.Count(); ++i) out.push_back(list.Get(i));
  return out;
}

void ExpectIndexError(const std::function<void()>& f) {
  try {
    f();
    ADD_FAILURE() << "no error raised";
  } catch (const EStringListError& e) {
    EXPECT_EQ(e.Message(), msg::kListIndexError);
  }
}

TEST(QdStringList, NewItemsStartZeroAndPutKeepsTheOtherFields) {
  TqdStringList list;
  EXPECT_EQ(list.Add("a"), 0);
  EXPECT_EQ(list.Add("b"), 1);
  EXPECT_EQ(list.Datas(1), 0);
  EXPECT_EQ(list.DataStrings(1), "");
  EXPECT_EQ(list.Attributes(1), 0u);
  EXPECT_EQ(list.Attributes2(1), 0u);

  list.SetDatas(0, -7);
  list.SetDataStrings(0, "state");
  list.SetAttributes(0, 0xDEADBEEF);
  list.SetAttributes2(0, 0x12345678);
  list.Put(0, "A");
  EXPECT_EQ(list.Get(0), "A");
  EXPECT_EQ(list.Datas(0), -7);
  EXPECT_EQ(list.DataStrings(0), "state");
  EXPECT_EQ(list.Attributes(0), 0xDEADBEEFu);
  EXPECT_EQ(list.Attributes2(0), 0x12345678u);
}

TEST(QdStringList, InsertAndDeleteAnywhereKeepOrderAndFields) {
  TqdStringList list;
  list.Insert(0, "c");
  list.Insert(0, "a");
  list.Insert(1, "b");
  list.Insert(3, "e");
  list.Insert(3, "d");
  for (int i = 0; i < list.Count(); ++i) list.SetDatas(i, i);
  EXPECT_EQ(Strings(list), (std::vector<std::string>{"a", "b", "c", "d", "e"}));

  list.Delete(4);
  list.Delete(0);
  list.Insert(1, "x");
  EXPECT_EQ(Strings(list), (std::vector<std::string>{"b", "x", "c", "d"}));
  EXPECT_EQ(list.Datas(0), 1);
  EXPECT_EQ(list.Datas(1), 0);
  EXPECT_EQ(list.Datas(2), 2);
  EXPECT_EQ(list.Datas(3), 3);
}

TEST(QdStringList, ManyEditsAtScatteredPlacesMatchAPlainVector) {
  TqdStringList list;
  std::vector<std::string> expected;
  unsigned seed = 12345;
  auto next = [&seed](unsigned n) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) % n;
  };
  for (int step = 0; step < 3000; ++step) {
    const int op = static_cast<int>(next(3));
    if (op < 2 || expected.empty()) {
      const int at = static_cast<int>(next(static_cast<unsigned>(expected.size()) + 1));
      // Long enough to live on the heap, so moves are checked under ASan.
      std::string s = "row number " + std::to_string(step) + " with some text";
      list.Insert(at, s);
      expected.insert(expected.begin() + at, s);
    } else {
      const int at = static_cast<int>(next(static_cast<unsigned>(expected.size())));
      list.Delete(at);
      expected.erase(expected.begin() + at);
    }
  }
  EXPECT_EQ(Strings(list), expected);
}

TEST(QdStringList, CapacityGrowsByTheListRule) {
  TqdStringList list;
  std::vector<int> capacities;
  for (int i = 0; i < 120; ++i) {
    list.Add("x");
    if (capacities.empty() || capacities.back() != list.GetCapacity()) capacities.push_back(list.GetCapacity());
  }
  // +4 up to a capacity of 8, +16 up to 64, then a quarter.
  EXPECT_EQ(capacities, (std::vector<int>{4, 8, 12, 28, 44, 60, 76, 95, 118, 147}));

  list.SetCapacity(500);
  EXPECT_EQ(list.GetCapacity(), 500);
  EXPECT_EQ(list.Count(), 120);
  EXPECT_EQ(list.Get(119), "x");
  EXPECT_THROW(list.SetCapacity(119), EStringListError);
  EXPECT_EQ(list.GetCapacity(), 500);

  list.Clear();
  EXPECT_EQ(list.GetCapacity(), 0);
}

TEST(QdStringList, ExchangeSwapsAllFiveFields) {
  TqdStringList list;
  list.Add("one");
  list.Add("two");
  list.SetDatas(0, 1);
  list.SetDataStrings(0, "d1");
  list.SetAttributes(0, 11);
  list.SetAttributes2(0, 111);
  list.SetDatas(1, 2);
  list.SetAttributes(1, 22);
  list.SetAttributes2(1, 222);
  list.Exchange(0, 1);
  EXPECT_EQ(list.Get(0), "two");
  EXPECT_EQ(list.Datas(0), 2);
  EXPECT_EQ(list.DataStrings(0), "");
  EXPECT_EQ(list.Attributes(0), 22u);
  EXPECT_EQ(list.Attributes2(0), 222u);
  EXPECT_EQ(list.Get(1), "one");
  EXPECT_EQ(list.Datas(1), 1);
  EXPECT_EQ(list.DataStrings(1), "d1");
  EXPECT_EQ(list.Attributes(1), 11u);
  EXPECT_EQ(list.Attributes2(1), 111u);
}

TEST(QdStringList, BadIndexesRaiseTheListErrorAndChangeNothing) {
  TqdStringList list;
  EventLog log;
  log.Watch(list);
  list.Add("a");
  log.events.clear();

  list.Insert(list.Count(), "appended");
  EXPECT_EQ(list.Get(1), "appended");
  log.events.clear();

  ExpectIndexError([&] { list.Insert(list.Count() + 1, "x"); });
  ExpectIndexError([&] { list.Insert(-1, "x"); });
  ExpectIndexError([&] { list.Get(-1); });
  ExpectIndexError([&] { list.Datas(list.Count()); });
  ExpectIndexError([&] { list.SetAttributes(2, 1); });
  ExpectIndexError([&] { list.Put(2, "x"); });
  ExpectIndexError([&] { list.Delete(2); });
  ExpectIndexError([&] { list.Exchange(0, 2); });
  ExpectIndexError([&] { list.Exchange(5, 0); });
  EXPECT_EQ(log.events, "");
  EXPECT_EQ(Strings(list), (std::vector<std::string>{"a", "appended"}));
}

TEST(QdStringList, EveryChangeIsAnnouncedBeforeAndAfter) {
  TqdStringList list;
  EventLog log;
  log.Watch(list);
  list.Clear();
  EXPECT_EQ(log.events, "") << "clearing an empty list is no change";

  list.Add("a");
  list.Insert(0, "b");
  list.Put(0, "c");
  list.Exchange(0, 1);
  list.Delete(0);
  EXPECT_EQ(log.events, "<><><><><>");
  EXPECT_EQ(log.sender, &list);

  log.events.clear();
  list.SetDatas(0, 1);
  list.SetDataStrings(0, "s");
  list.SetAttributes(0, 1);
  list.SetAttributes2(0, 1);
  EXPECT_EQ(log.events, "") << "field writes are silent";

  list.Clear();
  EXPECT_EQ(log.events, "<>");
}

TEST(QdStringList, AnUpdateBracketAnnouncesOnceAtEachEnd) {
  TqdStringList list;
  EventLog log;
  log.Watch(list);
  list.BeginUpdate();
  EXPECT_EQ(log.events, "<");
  list.BeginUpdate();
  for (int i = 0; i < 10; ++i) list.Add("x");
  list.EndUpdate();
  EXPECT_EQ(log.events, "<");
  list.EndUpdate();
  EXPECT_EQ(log.events, "<>");

  log.events.clear();
  list.SetText("a\r\nb\nc\rd\r\n");
  EXPECT_EQ(log.events, "<>");
  EXPECT_EQ(Strings(list), (std::vector<std::string>{"a", "b", "c", "d"}));
}

TEST(QdStringList, DestructionFiresNoEvents) {
  EventLog log;
  {
    TqdStringList list;
    log.Watch(list);
    list.Add("a");
    log.events.clear();
  }
  EXPECT_EQ(log.events, "");
}

TEST(QdStringList, RowsMoveBetweenListsWithAllTheirFields) {
  RowList source;
  for (const char* s : {"a", "b", "c", "d", "e"}) source.Add(s);
  source.SetDataStrings(2, "state of c");
  source.SetAttributes(2, 0x33);
  source.SetDatas(3, 4);
  EventLog log;
  log.Watch(source);

  std::vector<TqdStringItem> rows = source.ExtractItems(2, 2);
  EXPECT_EQ(log.events, "<>");
  EXPECT_EQ(Strings(source), (std::vector<std::string>{"a", "b", "e"}));
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].Str(), "c");
  EXPECT_EQ(rows[0].DataStr(), "state of c");

  RowList target;
  target.Add("1");
  target.Add("2");
  target.InsertItems(1, std::move(rows));
  EXPECT_EQ(Strings(target), (std::vector<std::string>{"1", "c", "d", "2"}));
  EXPECT_EQ(target.DataStrings(1), "state of c");
  EXPECT_EQ(target.Attributes(1), 0x33u);
  EXPECT_EQ(target.Datas(2), 4);

  ExpectIndexError([&] { target.ExtractItems(3, 2); });
  ExpectIndexError([&] { target.ExtractItems(-1, 1); });
  ExpectIndexError([&] { target.InsertItems(5, {}); });
  EXPECT_TRUE(target.ExtractItems(4, 0).empty());
}

TEST(QdStringList, BulkInsertGrowsCapacityAsSingleInsertsWould) {
  RowList bulk;
  TqdStringList single;
  std::vector<TqdStringItem> rows(100);
  bulk.InsertItems(0, std::move(rows));
  for (int i = 0; i < 100; ++i) single.Add("");
  EXPECT_EQ(bulk.GetCapacity(), single.GetCapacity());
}

TEST(QdStringList, CopiedItemsOwnTheirSecondString) {
  TqdStringItem a("text");
  a.SetDataStr("state");
  TqdStringItem b = a;
  b.SetDataStr("other");
  EXPECT_EQ(a.DataStr(), "state");
  b.SetDataStr("");
  EXPECT_EQ(b.DataStr(), "");
  b = a;
  EXPECT_EQ(b.DataStr(), "state");
  EXPECT_EQ(b.Str(), "text");
}


// Scanners stop at a NUL after the row, and rows of every length keep their
// second string beside the text through each way a text changes.
TEST(QdStringList, EveryTextIsFollowedByANulAndKeepsItsSecondString) {
  TqdStringList list;
  const std::vector<std::string> texts{"", "a", std::string("n\0l", 3), std::string(7, 'x'), std::string(8, 'y'),
                                       std::string(511, 'z'), std::string(512, 'w'), std::string(70000, 'v')};
  for (const std::string& text : texts) list.Add(text);
  for (int i = 0; i < list.Count(); ++i) list.SetDataStrings(i, i % 2 == 0 ? "state " + std::to_string(i) : "");
  list.Exchange(1, 6);
  list.Put(4, std::string(300, 'p'));
  list.Delete(0);
  const std::vector<std::string> expected{std::string(512, 'w'), std::string("n\0l", 3), std::string(7, 'x'),
                                          std::string(300, 'p'), std::string(511, 'z'), "a", std::string(70000, 'v')};
  const std::vector<std::string> seconds{"state 6", "state 2", "", "state 4", "", "", ""};
  ASSERT_EQ(Strings(list), expected);
  for (int i = 0; i < list.Count(); ++i) {
    EXPECT_EQ(list.StringRef(i).data()[list.StringRef(i).size()], '\0') << i;
    EXPECT_EQ(list.DataStrings(i), seconds[static_cast<size_t>(i)]) << i;
  }
  list.SetDataStrings(0, "");
  list.SetDataStrings(2, "now");
  EXPECT_EQ(list.Get(0), std::string(512, 'w'));
  EXPECT_EQ(list.DataStrings(0), "");
  EXPECT_EQ(list.Get(2), std::string(7, 'x'));
  EXPECT_EQ(list.DataStrings(2), "now");
}

}  // namespace
}  // namespace corvida

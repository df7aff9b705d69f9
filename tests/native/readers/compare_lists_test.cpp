#include "readers/compare_lists.h"

#include <gtest/gtest.h>

#include <random>

namespace tw {
namespace {

// The comparison as every entry against every entry: the reference the
// hashed version must match exactly, order and repeats included.
ChangeReport AllPairs(const ReaderList& fresh, const ReaderList& old) {
  ChangeReport r;
  r.newLineCount = fresh.lineCount;
  for (const auto& n : fresh.entries) {
    bool found = false;
    for (const auto& o : old.entries) found = found || o.ID == n.ID;
    if (!found) r.Subscribed.push_back(n.Nick), r.SubscribedIDs.push_back(n.ID);
  }
  for (const auto& o : old.entries) {
    bool found = false;
    for (const auto& n : fresh.entries) found = found || o.ID == n.ID;
    if (!found) r.Unsubscribed.push_back(o.Nick), r.UnsubscribedIDs.push_back(o.ID);
  }
  for (const auto& o : old.entries) {
    for (const auto& n : fresh.entries) {
      if (o.ID == n.ID && o.Nick != n.Nick)
        r.Renamed.push_back(o.Nick + '\t' + n.Nick), r.ChangedNickIDs.push_back(o.ID);
    }
  }
  return r;
}

void ExpectSame(const ChangeReport& a, const ChangeReport& b) {
  EXPECT_EQ(a.Subscribed, b.Subscribed);
  EXPECT_EQ(a.SubscribedIDs, b.SubscribedIDs);
  EXPECT_EQ(a.Unsubscribed, b.Unsubscribed);
  EXPECT_EQ(a.UnsubscribedIDs, b.UnsubscribedIDs);
  EXPECT_EQ(a.Renamed, b.Renamed);
  EXPECT_EQ(a.ChangedNickIDs, b.ChangedNickIDs);
  EXPECT_EQ(a.newLineCount, b.newLineCount);
}

TEST(ParseReaderList, LinesAndEntries) {
  struct Case {
    std::string text;
    std::size_t lines;
    std::vector<ReaderEntry> entries;
  } cases[] = {
      {"", 0, {}},
      {"1%A\r\n", 1, {{"1", "A"}}},
      {"1%A", 1, {{"1", "A"}}},
      {"1%A%B\r\nno percent\r\n\r\n2%\r\n", 4, {{"1", "A%B"}, {"2", ""}}},
      {"%x\r\n3%a\nb\r\n", 2, {{"", "x"}, {"3", "a\nb"}}},  // a lone LF stays in the line
  };
  for (const Case& c : cases) {
    const ReaderList list = ParseReaderList(c.text);
    EXPECT_EQ(list.lineCount, c.lines) << c.text;
    EXPECT_EQ(list.entries, c.entries) << c.text;
  }
}

TEST(CompareReaderLists, TypicalChanges) {
  const ReaderList old = ParseReaderList("1%A\r\n2%B\r\n3%C\r\n");
  const ReaderList fresh = ParseReaderList("3%C\r\n1%a\r\n4%D\r\nnote\r\n");
  const ChangeReport r = CompareReaderLists(fresh, old);
  EXPECT_EQ(r.Subscribed, std::vector<std::string>{"D"});
  EXPECT_EQ(r.SubscribedIDs, std::vector<std::string>{"4"});
  EXPECT_EQ(r.Unsubscribed, std::vector<std::string>{"B"});
  EXPECT_EQ(r.UnsubscribedIDs, std::vector<std::string>{"2"});
  EXPECT_EQ(r.Renamed, std::vector<std::string>{"A\ta"});  // letter case counts
  EXPECT_EQ(r.ChangedNickIDs, std::vector<std::string>{"1"});
  EXPECT_EQ(r.newLineCount, 4u);
  EXPECT_FALSE(r.NoChanges());
  EXPECT_TRUE(CompareReaderLists(old, old).NoChanges());
}

TEST(CompareReaderLists, RepeatedIdsGiveOneLinePerPair) {
  const ReaderList old = ParseReaderList("1%A\r\n1%A\r\n1%Z\r\n");
  const ReaderList fresh = ParseReaderList("1%B\r\n1%A\r\n1%C\r\n");
  ExpectSame(CompareReaderLists(fresh, old), AllPairs(fresh, old));
  EXPECT_EQ(CompareReaderLists(fresh, old).Renamed.size(), 7u);
}

TEST(CompareReaderLists, MatchesAllPairsOnRandomLists) {
  std::mt19937 rng(20261208);
  for (int round = 0; round < 400; ++round) {
    auto make = [&](int n, int ids, int nicks) {
      ReaderList list;
      list.lineCount = static_cast<std::size_t>(n) + rng() % 3;
      for (int i = 0; i < n; ++i) {
        list.entries.push_back({std::to_string(rng() % ids), "n" + std::to_string(rng() % nicks)});
      }
      return list;
    };
    const int ids = 1 + static_cast<int>(rng() % 30);
    const int nicks = 1 + static_cast<int>(rng() % 4);
    const ReaderList fresh = make(static_cast<int>(rng() % 40), ids, nicks);
    const ReaderList old = make(static_cast<int>(rng() % 40), ids, nicks);
    SCOPED_TRACE(round);
    ExpectSame(CompareReaderLists(fresh, old), AllPairs(fresh, old));
  }
}

TEST(CompareReaderLists, NoLengthLimit) {
  ReaderList old, fresh;
  for (int i = 0; i < 6000; ++i) {
    old.entries.push_back({std::to_string(i), "x"});
    fresh.entries.push_back({std::to_string(i + 3000), i % 2 ? "x" : "y"});
  }
  const ChangeReport r = CompareReaderLists(fresh, old);
  EXPECT_EQ(r.Subscribed.size(), 3000u);
  EXPECT_EQ(r.Unsubscribed.size(), 3000u);
  EXPECT_EQ(r.Renamed.size(), 1500u);
  EXPECT_EQ(r.SubscribedIDs.back(), "8999");
}

}  // namespace
}  // namespace tw

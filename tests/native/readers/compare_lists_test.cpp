#include "readers/compare_lists.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>

#include "temp_folder.h"

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
    if (!found) r.Subscribed.emplace_back(n.Nick), r.SubscribedIDs.emplace_back(n.ID);
  }
  for (const auto& o : old.entries) {
    bool found = false;
    for (const auto& n : fresh.entries) found = found || o.ID == n.ID;
    if (!found) r.Unsubscribed.emplace_back(o.Nick), r.UnsubscribedIDs.emplace_back(o.ID);
  }
  for (const auto& o : old.entries) {
    for (const auto& n : fresh.entries) {
      if (o.ID == n.ID && o.Nick != n.Nick)
        r.Renamed.push_back(std::string(o.Nick) + '\t' + std::string(n.Nick)),
            r.ChangedNickIDs.emplace_back(o.ID);
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
        list.Add(std::to_string(rng() % ids), "n" + std::to_string(rng() % nicks));
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
    old.Add(std::to_string(i), "x");
    fresh.Add(std::to_string(i + 3000), i % 2 ? "x" : "y");
  }
  const ChangeReport r = CompareReaderLists(fresh, old);
  EXPECT_EQ(r.Subscribed.size(), 3000u);
  EXPECT_EQ(r.Unsubscribed.size(), 3000u);
  EXPECT_EQ(r.Renamed.size(), 1500u);
  EXPECT_EQ(r.SubscribedIDs.back(), "8999");
}

// IDs are packed into the table when they have up to eight bytes and
// compared as text when longer: IDs that agree in a prefix or differ only in
// length must stay apart on both sides of that limit.
TEST(CompareReaderLists, IdsOfEveryLengthStayApart) {
  const std::string longId(300, '7');
  std::string text;
  const std::vector<std::string> ids = {
      "1", "01", "10", "12345678", "123456789", "1234567", "123456780", std::string("12\0", 3), "12"};
  for (const std::string& id : ids) {
    text += id + "%" + "n" + id + "\r\n";
  }
  ReaderList old = ParseReaderList(text + "9%nine\r\n");
  old.Add(longId, "long");
  old.Add(longId + "7", "longer");
  ReaderList fresh = ParseReaderList(text + "99%ninety-nine\r\n");
  fresh.Add(longId, "long renamed");
  fresh.Add(longId.substr(1), "shorter");
  const ChangeReport r = CompareReaderLists(fresh, old);
  ExpectSame(r, AllPairs(fresh, old));
  EXPECT_EQ(r.SubscribedIDs, (std::vector<std::string>{"99", longId.substr(1)}));
  EXPECT_EQ(r.UnsubscribedIDs, (std::vector<std::string>{"9", longId + "7"}));
  EXPECT_EQ(r.Renamed, std::vector<std::string>{"long\tlong renamed"});
}

// Long lists with many repeated IDs and nicknames, IDs of one to twelve
// digits, against the all-pairs reference: the table grows past every size
// where probing wraps around, and every group keeps its file order.
TEST(CompareReaderLists, MatchesAllPairsOnLongListsWithRepeats) {
  std::mt19937 rng(4242);
  for (const int n : {700, 2500}) {
    auto make = [&](int ids) {
      std::string text;
      for (int i = 0; i < n; ++i) {
        const std::uint64_t id = rng() % static_cast<unsigned>(ids);
        std::string digits = std::to_string(id * 1000003 % 999999999937ull);
        if (rng() % 5 == 0) digits = "0" + digits;  // another ID that reads the same as a number
        text += digits + "%" + std::string(1 + rng() % 20, static_cast<char>('a' + rng() % 3)) + "\r\n";
      }
      return ParseReaderList(text);
    };
    const ReaderList fresh = make(n / 2);
    const ReaderList old = make(n / 2);
    SCOPED_TRACE(n);
    ExpectSame(CompareReaderLists(fresh, old), AllPairs(fresh, old));
  }
}

// The entries point into text the list holds: they stay valid in copies,
// after the original list, the parsed text and the file are gone.
TEST(ReaderList, EntriesOutliveTheirSource) {
  ReaderList copy;
  {
    std::string text = "1%A\r\n22%" + std::string(40, 'B') + "\r\n";
    const ReaderList list = ParseReaderList(text);
    text.assign(text.size(), 'x');
    copy = list;
  }
  copy.Add(std::string("333"), std::string(50, 'C'));  // temporaries, gone at once
  ASSERT_EQ(copy.entries.size(), 3u);
  EXPECT_EQ(copy.entries[0], (ReaderEntry{"1", "A"}));
  EXPECT_EQ(copy.entries[1].Nick, std::string(40, 'B'));
  EXPECT_EQ(copy.entries[2], (ReaderEntry{"333", std::string(50, 'C')}));
  const ReaderList moved = std::move(copy);
  EXPECT_EQ(moved.entries[1].ID, "22");
}

TEST(ReaderList, FileEntriesOutliveTheFile) {
  test::TempFolder folder;
  test::WriteBytes(folder / "5.id", "5%" + std::string(30, 'n') + "\r\nbad line\r\n6%m");
  const std::optional<ReaderList> list = ReadReaderListFile(folder / "5.id");
  std::filesystem::remove(folder / "5.id");
  ASSERT_TRUE(list.has_value());
  EXPECT_EQ(list->lineCount, 3u);
  EXPECT_EQ(list->entries, (std::vector<ReaderEntry>{{"5", std::string(30, 'n')}, {"6", "m"}}));
  EXPECT_FALSE(ReadReaderListFile(folder / "5.id").has_value());
}

}  // namespace
}  // namespace tw

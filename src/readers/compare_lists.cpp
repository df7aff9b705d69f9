#include "readers/compare_lists.h"

#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace tw {

namespace {

using Positions = std::vector<std::size_t>;

std::unordered_map<std::string_view, Positions> PositionsById(const std::vector<ReaderEntry>& entries) {
  std::unordered_map<std::string_view, Positions> byId;
  byId.reserve(entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i) byId[entries[i].ID].push_back(i);
  return byId;
}

std::unordered_set<std::string_view> IdSet(const std::vector<ReaderEntry>& entries) {
  std::unordered_set<std::string_view> ids;
  ids.reserve(entries.size());
  for (const ReaderEntry& entry : entries) ids.insert(entry.ID);
  return ids;
}

}  // namespace

ChangeReport CompareReaderLists(const ReaderList& newList, const ReaderList& oldList) {
  ChangeReport report;
  report.newLineCount = newList.lineCount;
  const std::vector<ReaderEntry>& fresh = newList.entries;
  const std::vector<ReaderEntry>& old = oldList.entries;

  const std::unordered_set<std::string_view> oldIds = IdSet(old);
  for (const ReaderEntry& entry : fresh) {
    if (oldIds.contains(entry.ID)) continue;
    report.Subscribed.push_back(entry.Nick);
    report.SubscribedIDs.push_back(entry.ID);
  }

  const std::unordered_map<std::string_view, Positions> freshById = PositionsById(fresh);
  for (const ReaderEntry& entry : old) {
    if (freshById.contains(entry.ID)) continue;
    report.Unsubscribed.push_back(entry.Nick);
    report.UnsubscribedIDs.push_back(entry.ID);
  }

  // The new entries an old entry pairs with depend only on its ID and
  // nickname; remembering them per "ID%nickname" (the ID holds no "%") keeps
  // repeated old lines from walking the same positions again.
  std::unordered_map<std::string, Positions> renamedTo;
  for (const ReaderEntry& entry : old) {
    const auto sameId = freshById.find(entry.ID);
    if (sameId == freshById.end()) continue;
    if (sameId->second.size() == 1) {  // the usual case: every ID once
      const ReaderEntry& now = fresh[sameId->second.front()];
      if (now.Nick != entry.Nick) {
        report.Renamed.push_back(entry.Nick + '\t' + now.Nick);
        report.ChangedNickIDs.push_back(entry.ID);
      }
      continue;
    }
    std::string key = entry.ID + '%' + entry.Nick;
    auto cached = renamedTo.find(key);
    if (cached == renamedTo.end()) {
      Positions differing;
      for (const std::size_t i : sameId->second) {
        if (fresh[i].Nick != entry.Nick) differing.push_back(i);
      }
      cached = renamedTo.emplace(std::move(key), std::move(differing)).first;
    }
    for (const std::size_t i : cached->second) {
      report.Renamed.push_back(entry.Nick + '\t' + fresh[i].Nick);
      report.ChangedNickIDs.push_back(entry.ID);
    }
  }
  return report;
}

}  // namespace tw

// The comparison behind the change report: who subscribed, who unsubscribed
// and who changed nickname between the snapshot (old) and the new list.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "readers/reader_list.h"

namespace tw {

struct ChangeReport {
  std::vector<std::string> Subscribed;  // new nicknames (List1)
  std::vector<std::string> SubscribedIDs;
  std::vector<std::string> Unsubscribed;  // old nicknames (List2)
  std::vector<std::string> UnsubscribedIDs;
  std::vector<std::string> Renamed;  // old nickname, TAB, new nickname (List3)
  std::vector<std::string> ChangedNickIDs;
  // Where each Renamed line's old nickname ends, since a nickname may hold a
  // TAB itself.
  std::vector<std::size_t> RenamedOldLength;
  std::size_t newLineCount = 0;

  bool NoChanges() const { return Subscribed.empty() && Unsubscribed.empty() && Renamed.empty(); }
};

// The result is the one of comparing every entry with every entry:
//  - Subscribed: each new entry, in order, whose ID no old entry has;
//  - Unsubscribed: each old entry, in order, whose ID no new entry has;
//  - Renamed: for each old entry in order, each new entry in order with the
//    same ID and another nickname (so repeated IDs give one line per pair).
// IDs and nicknames compare exactly, case included. It runs in time linear
// in the sizes of the lists and of the result, so no list is too long.
ChangeReport CompareReaderLists(const ReaderList& newList, const ReaderList& oldList);

}  // namespace tw

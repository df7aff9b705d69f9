#include "readers/compare_lists.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <unordered_map>

namespace tw {

namespace {

constexpr std::uint32_t kNone = UINT32_MAX;

// How many entries ahead the table slots are fetched. A table for 100,000
// readers is far larger than the processor's caches, and waiting for each
// slot in turn made the comparison slower per reader the longer the list;
// fetching ahead keeps many loads in flight at once.
constexpr std::size_t kLookAhead = 48;

// An ID packed for the table: IDs of up to eight bytes (every member ID the
// service hands out) are compared right in the slot, without touching the
// entry; longer ones are compared against the entry's text. The tag holds the
// upper hash bits and the length (up to 255), so equal tags of inline IDs
// mean equal lengths.
struct PackedId {
  std::uint64_t bytes = 0;
  std::uint32_t hash = 0;
  std::uint32_t tag = 0;

  explicit PackedId(std::string_view id) {
    std::uint64_t h = 14695981039346656037ull;  // FNV-1a
    for (const char c : id) h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    h ^= h >> 33;  // spread the last bytes' effect over the low bits
    h *= 0xff51afd7ed558ccdull;
    h ^= h >> 33;
    hash = static_cast<std::uint32_t>(h);
    tag = static_cast<std::uint32_t>(h >> 32 & 0xFFFFFF00u) |
          static_cast<std::uint32_t>(id.size() < 255 ? id.size() : 255);
    if (Inline()) std::memcpy(&bytes, id.data(), id.size());
  }
  bool Inline() const { return (tag & 0xFF) <= 8; }
};

// A line of List3: old nickname, TAB, new nickname.
std::string Renaming(std::string_view before, std::string_view after) {
  std::string line;
  line.reserve(before.size() + 1 + after.size());
  line.append(before).append(1, '\t').append(after);
  return line;
}

std::vector<PackedId> PackIds(const std::vector<ReaderEntry>& entries) {
  std::vector<PackedId> keys;
  keys.reserve(entries.size());
  for (const ReaderEntry& entry : entries) keys.emplace_back(entry.ID);
  return keys;
}

// The entries of one list grouped by ID, without an allocation per entry: an
// open-addressing table over the distinct IDs (a slot holds the packed ID and
// the first entry with it) and, per entry, the next entry with the same ID,
// so every group is walked in file order.
class IdIndex {
 public:
  explicit IdIndex(const std::vector<ReaderEntry>& entries)
      : entries_(entries), keys_(PackIds(entries)), next_(entries.size(), kNone) {
    const std::size_t size = std::bit_ceil(entries.size() * 2 + 2);
    mask_ = size - 1;
    slots_.assign(size, Slot{});
    // Walking backwards and putting each entry in front of its group leaves
    // every group in file order.
    for (std::size_t i = entries.size(); i-- > 0;) {
      if (i >= kLookAhead) Prefetch(keys_[i - kLookAhead]);
      Slot& slot = slots_[Find(keys_[i], entries[i].ID)];
      if (slot.first == kNone) {
        slot.bytes = keys_[i].bytes;
        slot.tag = keys_[i].tag;
      } else {
        next_[i] = slot.first;
      }
      slot.first = static_cast<std::uint32_t>(i);
    }
  }

  std::size_t size() const { return keys_.size(); }
  const PackedId& Key(std::size_t i) const { return keys_[i]; }
  std::string_view ID(std::size_t i) const { return entries_[i].ID; }

  // The first entry with the ID, or kNone.
  std::uint32_t First(const PackedId& key, std::string_view id) const { return slots_[Find(key, id)].first; }
  std::uint32_t Next(std::uint32_t i) const { return next_[i]; }
  void Prefetch(const PackedId& key) const { __builtin_prefetch(&slots_[key.hash & mask_]); }

 private:
  struct Slot {
    std::uint64_t bytes = 0;
    std::uint32_t tag = 0;
    std::uint32_t first = kNone;
  };

  // The slot that holds the ID, or the free slot where it belongs.
  std::size_t Find(const PackedId& key, std::string_view id) const {
    for (std::size_t at = key.hash & mask_;; at = (at + 1) & mask_) {
      const Slot& slot = slots_[at];
      if (slot.first == kNone) return at;
      if (slot.tag != key.tag) continue;
      if (key.Inline() ? slot.bytes == key.bytes : entries_[slot.first].ID == id) return at;
    }
  }

  const std::vector<ReaderEntry>& entries_;
  std::vector<PackedId> keys_;
  std::vector<std::uint32_t> next_;
  std::vector<Slot> slots_;
  std::size_t mask_ = 0;
};

}  // namespace

ChangeReport CompareReaderLists(const ReaderList& newList, const ReaderList& oldList) {
  ChangeReport report;
  report.newLineCount = newList.lineCount;
  const std::vector<ReaderEntry>& fresh = newList.entries;
  const std::vector<ReaderEntry>& old = oldList.entries;

  const IdIndex oldIds(old);
  const IdIndex freshIds(fresh);

  for (std::size_t i = 0; i < fresh.size(); ++i) {
    if (i + kLookAhead < fresh.size()) oldIds.Prefetch(freshIds.Key(i + kLookAhead));
    if (oldIds.First(freshIds.Key(i), fresh[i].ID) != kNone) continue;
    report.Subscribed.emplace_back(fresh[i].Nick);
    report.SubscribedIDs.emplace_back(fresh[i].ID);
  }

  // The new entries an old entry pairs with depend only on its ID and
  // nickname; remembering them per "ID%nickname" (the ID holds no "%") keeps
  // repeated old lines from walking the same group again.
  std::unordered_map<std::string, std::vector<std::uint32_t>> renamedTo;
  // First the new entry of every old ID, then the nicknames: the second pass
  // can fetch the new entries ahead as the first fetched the slots.
  std::vector<std::uint32_t> firstNew(old.size());
  for (std::size_t o = 0; o < old.size(); ++o) {
    if (o + kLookAhead < old.size()) freshIds.Prefetch(oldIds.Key(o + kLookAhead));
    firstNew[o] = freshIds.First(oldIds.Key(o), old[o].ID);
  }
  for (std::size_t o = 0; o < old.size(); ++o) {
    if (o + kLookAhead < old.size() && firstNew[o + kLookAhead] != kNone) {
      __builtin_prefetch(&fresh[firstNew[o + kLookAhead]]);
    }
    const ReaderEntry& entry = old[o];
    const std::uint32_t first = firstNew[o];
    if (first == kNone) {
      report.Unsubscribed.emplace_back(entry.Nick);
      report.UnsubscribedIDs.emplace_back(entry.ID);
      continue;
    }
    if (freshIds.Next(first) == kNone) {  // the usual case: every ID once
      const ReaderEntry& now = fresh[first];
      if (now.Nick != entry.Nick) {
        report.Renamed.push_back(Renaming(entry.Nick, now.Nick));
        report.ChangedNickIDs.emplace_back(entry.ID);
        report.RenamedOldLength.push_back(entry.Nick.size());
      }
      continue;
    }
    std::string key = std::string(entry.ID) + '%' + std::string(entry.Nick);
    auto cached = renamedTo.find(key);
    if (cached == renamedTo.end()) {
      std::vector<std::uint32_t> differing;
      for (std::uint32_t i = first; i != kNone; i = freshIds.Next(i)) {
        if (fresh[i].Nick != entry.Nick) differing.push_back(i);
      }
      cached = renamedTo.emplace(std::move(key), std::move(differing)).first;
    }
    for (const std::uint32_t i : cached->second) {
      report.Renamed.push_back(Renaming(entry.Nick, fresh[i].Nick));
      report.ChangedNickIDs.emplace_back(entry.ID);
      report.RenamedOldLength.push_back(entry.Nick.size());
    }
  }
  return report;
}

}  // namespace tw

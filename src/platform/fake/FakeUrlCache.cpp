#include "platform/fake/FakeUrlCache.h"
#include <algorithm>

namespace fake {

namespace {

std::string containerOf(const std::string& url) {
  for (const char* prefix : {"Cookie:", "Visited:"})
    if (url.rfind(prefix, 0) == 0) return prefix;
  return "";
}

}  // namespace

bool FakeUrlCache::contains(const std::string& url) const { return find(url) != nullptr; }

std::vector<std::string> FakeUrlCache::urls() const {
  std::vector<std::string> out;
  for (const Entry& e : entries) out.push_back(e.url);
  return out;
}

std::vector<FakeUrlCache::Call> FakeUrlCache::callsOf(const std::string& name) const {
  std::vector<Call> out;
  std::copy_if(calls.begin(), calls.end(), std::back_inserter(out), [&](const Call& c) { return c.name == name; });
  return out;
}

const FakeUrlCache::Entry* FakeUrlCache::find(const std::string& url) const {
  auto it = std::find_if(entries.begin(), entries.end(), [&](const Entry& e) { return e.url == url; });
  return it == entries.end() ? nullptr : &*it;
}

FakeUrlCache::Call& FakeUrlCache::record(const std::string& name, const platform::CacheEntryInfo* entry,
                                         std::uint32_t size) {
  Call call;
  call.name = name;
  call.buffer = entry != nullptr;
  call.size = size;
  calls.push_back(std::move(call));
  return calls.back();
}

bool FakeUrlCache::fail(std::uint32_t error) {
  lastError_ = error;
  return false;
}

bool FakeUrlCache::loadLibrary() {
  record("loadLibrary");
  return libraryPresent;
}

bool FakeUrlCache::hasFunction(const std::string& name) {
  record("hasFunction").text = name;
  return libraryPresent && !missingFunctions.contains(name);
}

platform::CacheSearch FakeUrlCache::start(const std::optional<std::string>& pattern,
                                          std::optional<std::uint32_t> filter, platform::CacheEntryInfo* entry,
                                          std::uint32_t& size) {
  Search s;
  for (const Entry& e : entries)
    if ((!pattern || containerOf(e.url) == *pattern) && (!filter || (e.type & *filter) != 0))
      s.selected.push_back(e.url);
  if (!deliver(s, entry, size)) return 0;
  const platform::CacheSearch handle = nextHandle_++;
  searches_[handle] = std::move(s);
  return handle;
}

bool FakeUrlCache::advance(platform::CacheSearch search, platform::CacheEntryInfo* entry, std::uint32_t& size) {
  auto it = searches_.find(search);
  if (it == searches_.end()) return fail(InvalidHandle);
  if (nextFailure) return fail(*nextFailure);
  return deliver(it->second, entry, size);
}

bool FakeUrlCache::deliver(Search& s, platform::CacheEntryInfo* entry, std::uint32_t& size) {
  // Entries deleted since the search started are passed over, as the real
  // cache does when its index changes under a search.
  while (s.next < s.selected.size() && !contains(s.selected[s.next])) ++s.next;
  if (s.next == s.selected.size()) return fail(NoMoreItems);
  const Entry& e = *find(s.selected[s.next]);
  if (!entry || size < sizeOf(e)) {
    size = sizeOf(e);
    return fail(InsufficientBuffer);
  }
  *entry = {e.url, e.localFile, e.type, e.size};
  ++s.next;
  lastError_ = 0;
  return true;
}

platform::CacheSearch FakeUrlCache::findFirstEx(const std::optional<std::string>& pattern, std::uint32_t flags,
                                                std::uint32_t filter, std::uint64_t group,
                                                platform::CacheEntryInfo* entry, std::uint32_t& size) {
  Call& call = record("findFirstEx", entry, size);
  call.pattern = pattern;
  call.flags = flags;
  call.filter = filter;
  call.group = group;
  if (exFailure) return fail(*exFailure);
  return start(pattern, filter, entry, size);
}

bool FakeUrlCache::findNextEx(platform::CacheSearch search, platform::CacheEntryInfo* entry, std::uint32_t& size) {
  record("findNextEx", entry, size).search = search;
  if (exFailure) return fail(*exFailure);
  return advance(search, entry, size);
}

platform::CacheSearch FakeUrlCache::findFirst(const std::optional<std::string>& pattern,
                                              platform::CacheEntryInfo* entry, std::uint32_t& size) {
  record("findFirst", entry, size).pattern = pattern;
  return start(pattern, std::nullopt, entry, size);
}

bool FakeUrlCache::findNext(platform::CacheSearch search, platform::CacheEntryInfo* entry, std::uint32_t& size) {
  record("findNext", entry, size).search = search;
  return advance(search, entry, size);
}

bool FakeUrlCache::close(platform::CacheSearch search) {
  record("close").search = search;
  if (!searches_.erase(search)) return fail(InvalidHandle);
  lastError_ = 0;
  return true;
}

bool FakeUrlCache::deleteEntry(const std::string& url) {
  record("deleteEntry").text = url;
  const Entry* e = find(url);
  if (!e) return fail(FileNotFound);
  if (e->locked) return fail(SharingViolation);
  entries.erase(entries.begin() + (e - entries.data()));
  lastError_ = 0;
  return true;
}

}  // namespace fake

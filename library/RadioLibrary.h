#pragma once
// The container of the radio library: categories hold radios, radios hold streams.
//
// Three singly linked lists keep the records: all categories, all radios of all categories and
// all streams of all radios. A record is referred to by its address (its handle), which stays
// valid until the record is deleted or replaced (SetRadioInfo, SetStreamInfo give new handles).
// Every operation checks the handles it is given against its lists, so a stale handle gives a
// failure, never a crash. The container copies the records given to it and owns its copies.
//
// Without the append flag the lists stay ordered:
// - categories ascending by name with case; an existing name is returned, not added again;
// - radios ascending by title with case; the same title in the same category is returned, not
//   added again; the same title in another category goes after the radios of equal title;
// - streams descending by bitrate (as a number, an empty bitrate counting as -1), equal bitrates
//   ascending by format without case, the newest first among equals; never merged.
// With the append flag a record goes to the head of its list, without search or merging.
//
// Threads: no locks; the owner uses a container from one thread only (the library of the
// program lives on the user-interface thread).

#include <cstdint>
#include <forward_list>
#include <functional>
#include <map>
#include <memory>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "library/CategoryInfo.h"
#include "library/RadioInfo.h"
#include "library/StreamInfo.h"

namespace orvel {

class RadioLibrary {
 public:
  RadioLibrary();
  virtual ~RadioLibrary();
  RadioLibrary(const RadioLibrary&) = delete;
  RadioLibrary& operator=(const RadioLibrary&) = delete;

  virtual int CategoryCount() const;
  // The category at that position of the list; nullptr when there is none.
  virtual const CategoryInfo* GetCategory(int index) const;
  // The record of the handle; nullptr when the handle is not in the list.
  virtual const CategoryInfo* GetCategoryInfo(const CategoryInfo* category) const;
  // Copies the name; gives the new or the existing category.
  virtual const CategoryInfo* AddCategory(const CategoryInfo& info, bool append);
  // Deletes the category's radios (with their streams), then the category.
  virtual bool DeleteCategory(const CategoryInfo* category);

  // Radios of one category (0 for an unknown handle).
  virtual int RadioCount(const CategoryInfo* category) const;
  // The index-th radio of the category in list order; nullptr when there is none.
  virtual const RadioInfo* GetRadio(const CategoryInfo* category, int index) const;
  virtual const RadioInfo* GetRadioInfo(const RadioInfo* radio) const;
  // Copies title and short title into the category; gives the new or the existing radio.
  virtual const RadioInfo* AddRadio(const CategoryInfo* category, const RadioInfo& info,
                                    bool append);
  // Deletes the radio's streams, then the radio.
  virtual bool DeleteRadio(const RadioInfo* radio);
  // Replaces title and short title by a new record in the same place of the list; the category
  // and the selected stream stay and the radio's streams follow. Gives the new handle.
  virtual const RadioInfo* SetRadioInfo(const RadioInfo* radio, const RadioInfo& info);
  // The stream must be one of the radio's own.
  virtual bool SetSelectedStream(const RadioInfo* radio, const StreamInfo* stream);

  virtual int StreamCount(const RadioInfo* radio) const;
  // The index-th stream of the radio in list order; nullptr when there is none.
  virtual const StreamInfo* GetStream(const RadioInfo* radio, int index) const;
  virtual const StreamInfo* GetStreamInfo(const StreamInfo* stream) const;
  // Copies URL, comment, bitrate, format and origin into the radio; gives the new stream.
  virtual const StreamInfo* AddStream(const RadioInfo* radio, const StreamInfo& info, bool append);
  // Unlinks and deletes the stream. When it was its radio's selected stream, the radio selects
  // its first remaining stream with fixSelection, and none without it.
  virtual bool DeleteStream(const StreamInfo* stream, bool fixSelection);
  // Replaces URL, comment, bitrate, format and origin by a new record in the same place of the
  // list; the radio stays, and keeps it selected when the old one was. Gives the new handle.
  virtual const StreamInfo* SetStreamInfo(const StreamInfo* stream, const StreamInfo& info);

  // All radios of a category, and all streams of a radio, in list order (one pass each).
  std::vector<const RadioInfo*> radiosOf(const CategoryInfo* category) const;
  std::vector<const StreamInfo*> streamsOf(const RadioInfo* radio) const;
  // Every category, and every stream, of the container in list order.
  std::vector<const CategoryInfo*> allCategories() const;
  std::vector<const StreamInfo*> allStreams() const;
  // The same grouped in one pass, for walking the whole tree without a scan per radio.
  std::unordered_map<const CategoryInfo*, std::vector<const RadioInfo*>> radiosByCategory() const;
  std::unordered_map<const RadioInfo*, std::vector<const StreamInfo*>> streamsByRadio() const;

 private:
  struct StreamNode {
    std::unique_ptr<StreamInfo> info;
    int32_t bitrateKbps;  // the bitrate text as a number, kept for ordering
  };
  using CategoryList = std::forward_list<std::unique_ptr<CategoryInfo>>;
  using RadioList = std::forward_list<std::unique_ptr<RadioInfo>>;
  using StreamList = std::forward_list<StreamNode>;

  // A stream's place in the order: higher bitrates first, then formats without case.
  struct StreamKey {
    int32_t bitrateKbps;
    WString format;
  };
  struct StreamKeyBefore {
    bool operator()(const StreamKey& a, const StreamKey& b) const;
  };

  // While a list has only had records added without the append flag, and no record of it was
  // changed in place, it is sorted, and an index finds the place of a new record in it without
  // walking the list. Otherwise the list is walked as it is (and the index dropped).
  template <typename List, typename Key, typename Less = std::less<Key>>
  struct SortedIndex {
    bool sorted = true;
    std::multimap<Key, typename List::iterator, Less> nodes;
    void drop() {
      sorted = false;
      nodes.clear();
    }
    // Forgets the node of `key` for which `matches` holds.
    template <typename Matches>
    void erase(const Key& key, Matches matches) {
      if (!sorted) return;
      auto [it, end] = nodes.equal_range(key);
      for (; it != end; ++it) {
        if (matches(*it->second)) {
          nodes.erase(it);
          return;
        }
      }
    }
  };

  CategoryInfo* findCategory(const CategoryInfo* category) const;
  RadioInfo* findRadio(const RadioInfo* radio) const;
  StreamList::iterator findStreamBefore(const StreamInfo* stream);
  RadioList::iterator radioInsertionPoint(const CategoryInfo* category, const WString& title,
                                          RadioInfo** existing);
  StreamList::iterator streamInsertionPoint(const StreamKey& key);

  CategoryList m_categories;
  RadioList m_radios;
  StreamList m_streams;
  // The records in the lists, so that checking a handle does not walk a list.
  std::unordered_set<const CategoryInfo*> m_liveCategories;
  std::unordered_set<const RadioInfo*> m_liveRadios;
  std::unordered_set<const StreamInfo*> m_liveStreams;
  SortedIndex<CategoryList, WString> m_categoryIndex;
  SortedIndex<RadioList, WString> m_radioIndex;
  SortedIndex<StreamList, StreamKey, StreamKeyBefore> m_streamIndex;
};

}  // namespace orvel

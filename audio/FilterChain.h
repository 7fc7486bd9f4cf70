#pragma once
// The filters a decoder runs over every block it decodes: a singly linked list of nodes. The
// chain owns its nodes, never the filters. It is the second base of every decoder and carries
// the decoder's only virtual destructor.
//
// Used on the thread that owns the decoder; no lock.

#include "audio/AudioFilter.h"

namespace orvel {

class FilterChain {
 public:
  FilterChain() = default;
  FilterChain(const FilterChain&) = delete;
  FilterChain& operator=(const FilterChain&) = delete;
  virtual ~FilterChain();

  // Appends a node; false for a null filter.
  bool addFilter(AudioFilter* filter);
  // Removes the first node that holds `filter`; false when it is null or not in the chain.
  bool removeFilter(AudioFilter* filter);
  // Frees every node; true.
  bool removeAllFilters();
  // Runs each filter's Process in chain order; false at the first one that fails.
  bool runFilters(WaveHeader* block);

 private:
  struct Node {
    AudioFilter* filter;
    Node* next;
  };
  Node* m_head = nullptr;
  Node* m_tail = nullptr;
};

}  // namespace orvel

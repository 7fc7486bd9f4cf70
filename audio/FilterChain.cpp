#include "audio/FilterChain.h"

namespace orvel {

FilterChain::~FilterChain() { removeAllFilters(); }

bool FilterChain::addFilter(AudioFilter* filter) {
  if (filter == nullptr) return false;
  Node* node = new Node{filter, nullptr};
  if (m_tail != nullptr) {
    m_tail->next = node;
  } else {
    m_head = node;
  }
  m_tail = node;
  return true;
}

bool FilterChain::removeFilter(AudioFilter* filter) {
  if (filter == nullptr) return false;
  Node* previous = nullptr;
  for (Node* node = m_head; node != nullptr; previous = node, node = node->next) {
    if (node->filter != filter) continue;
    (previous != nullptr ? previous->next : m_head) = node->next;
    if (m_tail == node) m_tail = previous;
    delete node;
    return true;
  }
  return false;
}

bool FilterChain::removeAllFilters() {
  while (m_head != nullptr) {
    Node* next = m_head->next;
    delete m_head;
    m_head = next;
  }
  m_tail = nullptr;
  return true;
}

bool FilterChain::runFilters(WaveHeader* block) {
  for (Node* node = m_head; node != nullptr; node = node->next) {
    if (node->filter->Process(block) != 0) return false;
  }
  return true;
}

}  // namespace orvel

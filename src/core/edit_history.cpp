#include "core/edit_history.h"

#include <utility>

namespace quillan {

size_t CEditStep::StoredElements() const {
  size_t total = m_codeBook.size() * 2;
  for (const CStringChange &change : m_strings)
    total += change.m_before.size() + change.m_after.size();
  return total;
}

void CEditHistory::Record(CEditStep step) {
  if (step.Empty()) return;
  ++m_generation;
  m_steps.resize(m_position); // the redo steps go
  if (m_savedAt != kNoSavePoint && m_savedAt > m_position) m_savedAt = kNoSavePoint;

  if (step.m_merge == CEditMerge::Typing && m_position > 0 && m_savedAt != m_position) {
    CEditStep &last = m_steps.back();
    bool sameEntry = last.m_strings.size() == 1 && step.m_strings.size() == 1 &&
                     last.m_strings[0].m_index == step.m_strings[0].m_index;
    if (last.m_merge == CEditMerge::Typing && last.m_name == step.m_name && sameEntry && last.m_codeBook.empty() &&
        step.m_codeBook.empty() && last.m_cursorAfter == step.m_cursorBefore) {
      last.m_strings[0].m_after = std::move(step.m_strings[0].m_after);
      last.m_cursorAfter = step.m_cursorAfter;
      return;
    }
  }
  m_steps.push_back(std::move(step));
  m_position = m_steps.size();
}

void CEditHistory::Clear(bool saved) {
  ++m_generation;
  m_steps.clear();
  m_position = 0;
  m_savedAt = saved ? 0 : kNoSavePoint;
}

} // namespace quillan

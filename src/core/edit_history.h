#pragma once
// The undo history of the translation document.
//
// A change of the English text or of the code book is one CEditStep: a name
// the Edit menu shows ("Typing", "Fill from Text"), the strings it changed
// with their elements before and after, the code book entries it changed, and
// the cursor before and after. A step stores only what it changed, so a page
// fill costs one page of strings and a key press one string.
//
// The history is a list of steps and a position in it: steps before the
// position can be undone, steps after it redone. A new step drops the steps
// that could be redone. The save point is the position at the last save;
// the text is unsaved exactly when the position differs from it.
//
// Steps are made through CTextEdit (core/document.h), never by hand.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quillan {

using EnglishString = std::vector<uint16_t>;

// Where the cursor stands: the entry shown and the cursor window on it.
struct CEditCursor {
  int32_t m_page = 0;
  int32_t m_line = 0;
  int32_t m_viewTopRow = 0;
  int32_t m_cursorOffset = 0;
  bool operator==(const CEditCursor &) const = default;
};

struct CStringChange {
  size_t m_index = 0; // page * 256 + line
  EnglishString m_before;
  EnglishString m_after;
};

struct CCodeBookChange {
  size_t m_index = 0; // kanji code - 0x100
  uint16_t m_before = 0;
  uint16_t m_after = 0;
};

// How a step may join the step before it.
enum class CEditMerge {
  None,   // always a step of its own
  Typing, // joins a Typing step of the same entry that ended where it starts
};

struct CEditStep {
  std::string m_name;
  CEditMerge m_merge = CEditMerge::None;
  std::vector<CStringChange> m_strings;
  std::vector<CCodeBookChange> m_codeBook;
  CEditCursor m_cursorBefore;
  CEditCursor m_cursorAfter;

  bool Empty() const { return m_strings.empty() && m_codeBook.empty(); }
  // The bytes the step holds, for tests of the memory bound.
  size_t StoredElements() const;
};

class CEditHistory {
public:
  // Adds a step after the position (dropping the redo steps), or joins it
  // to the last one when both are Typing steps of the same entry, the last
  // step ended where this one starts and no save lies between them.
  void Record(CEditStep step);

  bool CanUndo() const { return m_position > 0; }
  bool CanRedo() const { return m_position < m_steps.size(); }
  // The step Undo would take back / Redo would repeat; call only when possible.
  const CEditStep &UndoStep() const { return m_steps[m_position - 1]; }
  const CEditStep &RedoStep() const { return m_steps[m_position]; }
  // Moves the position; returns the step to apply backwards / forwards.
  const CEditStep &StepBack() {
    ++m_generation;
    return m_steps[--m_position];
  }
  const CEditStep &StepForward() {
    ++m_generation;
    return m_steps[m_position++];
  }

  // The save point is the current position.
  void MarkSaved() { m_savedAt = m_position; }
  // True while the position is the save point.
  bool AtSavePoint() const { return m_savedAt == m_position; }
  // Forgets every step; the current state is the saved one when saved is true.
  void Clear(bool saved);

  size_t StepCount() const { return m_steps.size(); }
  size_t Position() const { return m_position; }
  // Counts every change of the history's state (record, undo, redo, clear):
  // a reader compares it with the value it saw last.
  uint64_t Generation() const { return m_generation; }

private:
  std::vector<CEditStep> m_steps;
  size_t m_position = 0;
  // The position of the save; npos when the saved state is no longer in
  // the history (a new step replaced the steps leading to it).
  size_t m_savedAt = 0;
  uint64_t m_generation = 0;
  static constexpr size_t kNoSavePoint = size_t(-1);
};

} // namespace quillan

#pragma once
// Progress of a long job (copying a disc, building an image). The job calls
// the callback now and then; the callback returns false to cancel, and the
// job then stops at the next safe point, cleans up and fails with an error
// that says it was cancelled. The core never draws anything itself: the
// window shows a progress dialog, the command line prints lines.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace quillan {

struct CProgress {
  std::string m_step;   // short fixed name of the step ("collect", "build", ...)
  std::string m_text;   // what is being done, for people ("X5ABC.BIN")
  uint64_t m_done = 0;  // units done within the step
  uint64_t m_total = 0; // units of the whole step; 0 when unknown
};

using CProgressCallback = std::function<bool(const CProgress &)>;

// Calls the callback when there is one; true means "go on".
inline bool ReportProgress(const CProgressCallback &callback, const CProgress &progress) {
  return !callback || callback(progress);
}

// A message on one line, for line-based output: line ends between lines
// become " | ", carriage returns and a final line end are dropped.
inline std::string OneLine(std::string_view text) {
  std::string line;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') continue;
    if (text[i] == '\n') {
      if (i + 1 < text.size()) line += " | ";
      continue;
    }
    line += text[i];
  }
  return line;
}

} // namespace quillan

#pragma once
// Runs a long job of the core (copying a disc, building an image) on a
// worker thread while a modal progress dialog shows how far it got. The
// calling thread keeps handling events meanwhile, so the window repaints and
// its timers run; the dialog's Cancel (or Escape, or closing it) asks the job
// to stop through its progress callback, and Run returns once the job ended.

#include <functional>

#include <QString>

#include "cdimage/progress.h"
#include "core/result.h"

class QWidget;

namespace quillan {

struct CRunOutcome {
  CStatus m_status;
  bool m_cancelled = false; // the user cancelled and the job stopped with an error
};

class CProgressRunner {
public:
  using CJob = std::function<CStatus(const CProgressCallback &)>;
  using CDescriber = std::function<QString(const CProgress &)>;

  // describe turns a report into the dialog's text; without one the text is
  // "step: text".
  static CRunOutcome Run(QWidget *parent, const QString &title, const CJob &job, const CDescriber &describe = {});
};

} // namespace quillan

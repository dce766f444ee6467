#pragma once
// The Suggestions panel: a dock listing, for the current entry, the
// translations of identical lines of the project (how often, where), those
// of similar lines (similarity, the differing Japanese codes in brackets)
// and the glossary terms of the entry. Ctrl+1 ... Ctrl+9 take the numbered
// suggestions; a double click takes the one clicked.

#include <functional>
#include <vector>

#include <QDockWidget>

#include "workbench/team_tools.h"

class QListWidget;

namespace quillan {

class CSuggestionsDock : public QDockWidget {
  Q_OBJECT

public:
  explicit CSuggestionsDock(QWidget *parent = nullptr);

  void ShowRows(const std::vector<CSuggestionRow> &rows);
  QListWidget *List() const { return m_list; }
  // Called with a suggestion's number when it is double-clicked.
  std::function<void(int)> m_onTake;

private:
  QListWidget *m_list = nullptr;
};

} // namespace quillan

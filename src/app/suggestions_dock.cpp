#include "app/suggestions_dock.h"

#include <QListWidget>

namespace quillan {

CSuggestionsDock::CSuggestionsDock(QWidget *parent) : QDockWidget(QStringLiteral("Suggestions"), parent) {
  setObjectName(QStringLiteral("suggestions"));
  m_list = new QListWidget(this);
  m_list->setWordWrap(true);
  m_list->setMinimumWidth(280);
  setWidget(m_list);
  connect(m_list, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem *item) {
    int number = item->data(Qt::UserRole).toInt();
    if (number > 0 && m_onTake) m_onTake(number);
  });
}

void CSuggestionsDock::ShowRows(const std::vector<CSuggestionRow> &rows) {
  m_list->clear();
  if (rows.empty()) {
    m_list->addItem(QStringLiteral("(no suggestions for this entry)"));
    return;
  }
  for (const CSuggestionRow &row : rows) {
    QString text;
    switch (row.m_kind) {
    case CSuggestionRow::CKind::Exact:
    case CSuggestionRow::CKind::Fuzzy:
      text = row.m_number ? QStringLiteral("Ctrl+%1  ").arg(row.m_number) : QStringLiteral("        ");
      text += QString::fromStdString(row.m_text) + QStringLiteral("\n    ") + QString::fromStdString(row.m_detail);
      if (!row.m_japanese.empty()) text += QStringLiteral("\n    ") + QString::fromStdString(row.m_japanese);
      break;
    case CSuggestionRow::CKind::Glossary:
      text = QStringLiteral("Glossary: ") + QString::fromStdString(row.m_text);
      if (!row.m_detail.empty()) text += QStringLiteral(" (") + QString::fromStdString(row.m_detail) + ")";
      break;
    }
    auto *item = new QListWidgetItem(text, m_list);
    item->setData(Qt::UserRole, row.m_number);
  }
}

} // namespace quillan

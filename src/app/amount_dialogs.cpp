#include "app/amount_dialogs.h"

#include "app/title_width.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/spin_arrows.h"

namespace quillan {

int StepAmount(int value, int step, CAmountRange range) {
  value -= step;
  if (value < range.m_minimum) return range.m_maximum;
  if (value > range.m_maximum) return range.m_minimum;
  return value;
}

std::pair<int, int> StepTab(int high, int low, int step) {
  low -= step;
  if (low < kTabLowRange.m_minimum) {
    low = kTabLowRange.m_maximum;
    high = StepAmount(high, 1, kTabHighRange);
  } else if (low > kTabLowRange.m_maximum) {
    low = kTabLowRange.m_minimum;
    high = StepAmount(high, -1, kTabHighRange);
  }
  return {high, low};
}

std::optional<long long> FieldNumber(const QLineEdit *field, long long minimum, long long maximum) {
  QString text = field->text().trimmed();
  if (text.isEmpty() || text.size() > 18) return std::nullopt;
  for (QChar c : text)
    if (c < QLatin1Char('0') || c > QLatin1Char('9')) return std::nullopt;
  long long value = text.toLongLong();
  if (value < minimum || value > maximum) return std::nullopt;
  return value;
}

QString RangeMessageText(long long minimum, long long maximum) {
  return QStringLiteral("Please enter an integer between %1 and %2.").arg(minimum).arg(maximum);
}

void ShowRangeMessage(QWidget *parent, const QString &text) {
  QMessageBox::warning(parent, QStringLiteral("Quillan"), text);
}

CAmountDlg::CAmountDlg(CKind kind, QWidget *parent) : QDialog(parent), m_kind(kind) {
  auto *row = new QHBoxLayout;
  auto addField = [this, row](CAmountRange range, int start) {
    auto *field = new QLineEdit(QString::number(start), this);
    field->setMaxLength(3);
    field->setFixedWidth(56);
    field->setAlignment(Qt::AlignRight);
    row->addWidget(field);
    m_fields.push_back(field);
    m_ranges.push_back(range);
  };
  switch (kind) {
  case CKind::Tilt:
    setWindowTitle(QStringLiteral("Bubble Tilting Effect Amount"));
    addField(kTiltRange, 1);
    break;
  case CKind::Zoom:
    setWindowTitle(QStringLiteral("Bubble Zooming Effect Amount"));
    addField(kZoomRange, 1);
    break;
  case CKind::Tab:
    setWindowTitle(QStringLiteral("Tabbing Effect Amount"));
    addField(kTabHighRange, kTabHighRange.m_minimum);
    addField(kTabLowRange, 1);
    break;
  }
  m_spin = new CSpinArrows(this);
  m_spin->setFixedHeight(m_fields.front()->sizeHint().height());
  row->addWidget(m_spin);
  if (kind == CKind::Tilt) row->addWidget(new QLabel(QStringLiteral("x10\u00B0"), this));
  row->addStretch();
  connect(m_spin, &CSpinArrows::Stepped, this, &CAmountDlg::Step);

  auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &CAmountDlg::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &CAmountDlg::reject);
  auto *layout = new QVBoxLayout(this);
  layout->addLayout(row);
  layout->addWidget(buttons);
  m_fields.front()->selectAll();
  m_fields.front()->setFocus();
  FitTitle(this);
}

std::optional<std::vector<int>> CAmountDlg::Values() const {
  std::vector<int> values;
  for (size_t i = 0; i < m_fields.size(); ++i) {
    auto value = FieldNumber(m_fields[i], m_ranges[i].m_minimum, m_ranges[i].m_maximum);
    if (!value) return std::nullopt;
    values.push_back(int(*value));
  }
  return values;
}

void CAmountDlg::Step(int step) {
  auto values = Values();
  if (!values) return;
  if (m_kind == CKind::Tab) {
    auto [high, low] = StepTab((*values)[0], (*values)[1], step);
    (*values)[0] = high;
    (*values)[1] = low;
  } else {
    (*values)[0] = StepAmount((*values)[0], step, m_ranges[0]);
  }
  for (size_t i = 0; i < m_fields.size(); ++i)
    m_fields[i]->setText(QString::number((*values)[i]));
}

void CAmountDlg::accept() {
  for (size_t i = 0; i < m_fields.size(); ++i) {
    if (FieldNumber(m_fields[i], m_ranges[i].m_minimum, m_ranges[i].m_maximum)) continue;
    m_rangeMessage(this, RangeMessageText(m_ranges[i].m_minimum, m_ranges[i].m_maximum));
    m_fields[i]->setFocus();
    m_fields[i]->selectAll();
    return;
  }
  QDialog::accept();
}

std::optional<std::vector<int>> CAmountDlg::Ask(CKind kind, QWidget *parent) {
  CAmountDlg dialog(kind, parent);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.Values();
}

} // namespace quillan

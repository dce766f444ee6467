#include "app/small_dialogs.h"

#include "app/title_width.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>

namespace quillan {

namespace {

constexpr long long kLargestLine = 4294967295LL;
constexpr int kChartSide = 512;
constexpr int kChartCell = 32;

QDialogButtonBox *OkCancel(QDialog *dialog) {
  auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  return buttons;
}

} // namespace

CGotoLineDlg::CGotoLineDlg(uint32_t current, QWidget *parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Goto Line...."));
  m_field = new QLineEdit(QString::number(current), this);
  m_field->setMaxLength(10);
  m_field->selectAll();
  auto *layout = new QVBoxLayout(this);
  layout->addWidget(m_field);
  layout->addWidget(OkCancel(this));
  m_field->setFocus();
  FitTitle(this);
}

std::optional<uint32_t> CGotoLineDlg::Value() const {
  auto value = FieldNumber(m_field, 1, kLargestLine);
  if (!value) return std::nullopt;
  return uint32_t(*value);
}

void CGotoLineDlg::accept() {
  if (!Value()) {
    m_rangeMessage(this, RangeMessageText(1, kLargestLine));
    m_field->setFocus();
    m_field->selectAll();
    return;
  }
  QDialog::accept();
}

CTextFieldDlg::CTextFieldDlg(const QString &title, int maxLength, QWidget *parent) : QDialog(parent) {
  setWindowTitle(title);
  m_field = new QLineEdit(this);
  if (maxLength > 0) m_field->setMaxLength(maxLength);
  auto *layout = new QVBoxLayout(this);
  layout->addWidget(m_field);
  layout->addWidget(OkCancel(this));
  m_field->setFocus();
  FitTitle(this);
}

CTextCharChartDlg::CTextCharChartDlg(QImage chart, QWidget *parent) : QDialog(parent), m_chart(std::move(chart)) {
  setWindowTitle(QString());
  setFixedSize(kChartSide, kChartSide);
}

void CTextCharChartDlg::paintEvent(QPaintEvent *) {
  QPainter painter(this);
  if (!m_chart.isNull()) {
    painter.drawImage(QRect(0, 0, kChartSide, kChartSide), m_chart);
    return;
  }
  // Without the picture, a plain grid with the codes keeps the chart usable.
  painter.fillRect(rect(), QColor(192, 192, 192));
  QFont font = painter.font();
  font.setPixelSize(11);
  painter.setFont(font);
  for (int row = 0; row < 16; ++row) {
    for (int column = 0; column < 16; ++column) {
      QRect cell(column * kChartCell, row * kChartCell, kChartCell, kChartCell);
      painter.drawRect(cell.adjusted(0, 0, -1, -1));
      painter.drawText(cell, Qt::AlignCenter, QStringLiteral("%1").arg(16 * row + column, 2, 16, QLatin1Char('0')));
    }
  }
}

void CTextCharChartDlg::mouseDoubleClickEvent(QMouseEvent *event) {
  if (event->button() != Qt::LeftButton) return;
  QPoint at = event->position().toPoint();
  if (at.x() < 0 || at.y() < 0 || at.x() >= kChartSide || at.y() >= kChartSide) return;
  m_code = 16 * (at.y() / kChartCell) + at.x() / kChartCell;
  accept();
}

} // namespace quillan

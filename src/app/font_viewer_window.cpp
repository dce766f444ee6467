#include "app/font_viewer_window.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/canvas_image.h"
#include "extras/font_viewer.h"

namespace quillan {

CFontGlyphView::CFontGlyphView(CFontViewerDlg &dialog, QWidget *parent) : QWidget(parent), m_dialog(dialog) {
  setFixedSize(CFontViewerDlg::kViewWidth, dialog.ViewHeight());
  setCursor(Qt::CrossCursor);
}

void CFontGlyphView::paintEvent(QPaintEvent *) {
  QPainter painter(this);
  painter.drawImage(0, 0, ImageFromCanvas(m_dialog.Paint()));
}

void CFontGlyphView::mousePressEvent(QMouseEvent *event) {
  if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
  QPoint at = event->position().toPoint();
  if (m_dialog.OnLButtonDown(at.x(), at.y())) update();
}

CFontViewerWindow::CFontViewerWindow(CFontViewerDlg &dialog, QWidget *parent) : QDialog(parent), m_dialog(dialog) {
  setWindowTitle(QStringLiteral("copy"));
  m_view = new CFontGlyphView(dialog, this);
  auto *ok = new QPushButton(QStringLiteral("OK"), this);
  m_previous = new QPushButton(QStringLiteral("/\\"), this);
  m_next = new QPushButton(QStringLiteral("\\/"), this);
  m_loadFont = new QPushButton(QStringLiteral("Load Font"), this);
  m_glyphLabel = new QLabel(this);
  m_glyphLabel->setAlignment(Qt::AlignCenter);
  m_glyphLabel->setMinimumWidth(m_glyphLabel->fontMetrics().horizontalAdvance(QStringLiteral("Glyph 000")));
  for (QPushButton *button : {m_previous, m_next, m_loadFont})
    button->setAutoDefault(false);
  ok->setDefault(true);

  auto *buttons = new QVBoxLayout;
  buttons->addWidget(ok);
  buttons->addSpacing(12);
  buttons->addWidget(m_previous);
  buttons->addWidget(m_glyphLabel);
  buttons->addWidget(m_next);
  buttons->addStretch(1);
  buttons->addWidget(m_loadFont);
  auto *layout = new QHBoxLayout(this);
  layout->addWidget(m_view, 0, Qt::AlignTop);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(m_previous, &QPushButton::clicked, this, [this] {
    m_dialog.OnPreviousGlyph();
    Refresh();
  });
  connect(m_next, &QPushButton::clicked, this, [this] {
    m_dialog.OnNextGlyph();
    Refresh();
  });
  connect(m_loadFont, &QPushButton::clicked, this, [this] {
    m_dialog.OnLoadFont();
    Refresh();
  });
  Refresh();
}

void CFontViewerWindow::Refresh() {
  m_glyphLabel->setText(QStringLiteral("Glyph %1").arg(m_dialog.GlyphIndex()));
  m_view->update();
}

} // namespace quillan

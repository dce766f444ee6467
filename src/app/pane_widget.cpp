#include "app/pane_widget.h"

#include <cmath>

#include <QKeyEvent>
#include <QPainter>

#include "view/pane_renderer.h"

namespace quillan {

namespace {

constexpr QColor kEmptyGrey{128, 128, 128};

} // namespace

CPaneWidget::CPaneWidget(QWidget *parent) : QWidget(parent) {
  setFocusPolicy(Qt::StrongFocus);
  setContextMenuPolicy(Qt::PreventContextMenu); // the right button identifies kanji
  setAttribute(Qt::WA_OpaquePaintEvent);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void CPaneWidget::SetImage(QImage image) {
  m_image = std::move(image);
  update();
}

int CPaneWidget::Factor() const { return std::max(1, int(std::lround(devicePixelRatioF()))) * m_zoom; }

void CPaneWidget::SetZoom(int zoom) {
  zoom = std::max(1, zoom);
  if (zoom == m_zoom) return;
  m_zoom = zoom;
  updateGeometry();
  update();
}

double CPaneWidget::Scale() const { return Factor() / devicePixelRatioF(); }

QPoint CPaneWidget::ToPicture(QPointF point) const {
  double scale = Scale();
  return QPoint(int(std::floor(point.x() / scale)), int(std::floor(point.y() / scale)));
}

QSize CPaneWidget::sizeHint() const {
  double scale = Scale();
  return QSize(int(std::ceil(kClientWidth * scale)), int(std::ceil(kClientHeight * scale)));
}

void CPaneWidget::paintEvent(QPaintEvent *) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().window());
  double scale = Scale();
  QRectF area(0, 0, kClientWidth * scale, kClientHeight * scale);
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  if (m_image.isNull()) {
    painter.fillRect(QRectF(0, 20 * scale, kClientWidth * scale, 160 * scale), kEmptyGrey);
    painter.fillRect(QRectF(0, 220 * scale, kClientWidth * scale, 160 * scale), kEmptyGrey);
  } else {
    painter.drawImage(QRectF(0, 0, m_image.width() * scale, m_image.height() * scale), m_image);
  }
  // The labels and the rule between the panes sit in the gaps above them.
  painter.setPen(palette().windowText().color());
  painter.drawText(QRectF(2 * scale, 0, 100 * scale, 20 * scale), Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("Jap"));
  painter.drawText(QRectF(2 * scale, 200 * scale, 100 * scale, 20 * scale), Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("English"));
  painter.setPen(palette().mid().color());
  painter.drawLine(QPointF(2 * scale, 195 * scale), QPointF(area.right() - 2 * scale, 195 * scale));
}

void CPaneWidget::keyPressEvent(QKeyEvent *event) { emit KeyPressed(event); }
void CPaneWidget::keyReleaseEvent(QKeyEvent *event) { emit KeyReleased(event); }

void CPaneWidget::mouseReleaseEvent(QMouseEvent *event) {
  emit ButtonReleased(event->button(), ToPicture(event->position()));
}

void CPaneWidget::focusInEvent(QFocusEvent *event) {
  QWidget::focusInEvent(event);
  emit FocusChanged(true);
}

void CPaneWidget::focusOutEvent(QFocusEvent *event) {
  QWidget::focusOutEvent(event);
  emit FocusChanged(false);
}

bool CPaneWidget::event(QEvent *event) {
  // Moved to a screen of another density: the picture's size changes.
  if (event->type() == QEvent::ScreenChangeInternal) updateGeometry();
  return QWidget::event(event);
}

} // namespace quillan

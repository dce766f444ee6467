#pragma once
// The client area of the main window where both text panes are drawn: the
// picture the dialog presents (480 x 380 pixels, the Japanese pane at
// (0, 20), the English pane at (0, 220)) with the labels "Jap" and
// "English". The picture is enlarged by a whole factor (the user's zoom, and
// the screen's density), without smoothing, so every glyph pixel stays
// square. The widget
// holds the keyboard focus of the window and reports keys, clicks (in
// picture coordinates) and focus changes.

#include <QImage>
#include <QWidget>

namespace quillan {

class CPaneWidget : public QWidget {
  Q_OBJECT

public:
  explicit CPaneWidget(QWidget *parent = nullptr);

  void SetImage(QImage image);
  const QImage &Image() const { return m_image; }

  // Device pixels per picture pixel: the device pixel ratio rounded to a
  // whole number (at least 1) times the zoom.
  int Factor() const;
  // The user's enlargement, a whole factor of 1 or more (View > Zoom).
  int Zoom() const { return m_zoom; }
  void SetZoom(int zoom);
  // The picture pixel under a point of the widget.
  QPoint ToPicture(QPointF point) const;

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

signals:
  void KeyPressed(QKeyEvent *event);
  void KeyReleased(QKeyEvent *event);
  void ButtonReleased(Qt::MouseButton button, QPoint picturePoint);
  void FocusChanged(bool focused);

protected:
  void paintEvent(QPaintEvent *event) override;
  void keyPressEvent(QKeyEvent *event) override;
  void keyReleaseEvent(QKeyEvent *event) override;
  void mouseReleaseEvent(QMouseEvent *event) override;
  void focusInEvent(QFocusEvent *event) override;
  void focusOutEvent(QFocusEvent *event) override;
  bool focusNextPrevChild(bool) override { return false; } // Tab is a key like any other
  bool event(QEvent *event) override;

private:
  double Scale() const; // logical pixels per picture pixel

  QImage m_image;
  int m_zoom = 1;
};

} // namespace quillan

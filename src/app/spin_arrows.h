#pragma once
// An up-down control: two arrow buttons, one above the other, that report a
// step of -1 (the upper arrow) or +1 (the lower one) and leave the value
// itself to whoever listens. Holding an arrow repeats the step. The arrows
// never take the keyboard focus.

#include <QWidget>

class QToolButton;

namespace quillan {

class CSpinArrows : public QWidget {
  Q_OBJECT

public:
  explicit CSpinArrows(QWidget *parent = nullptr);

  QToolButton *UpButton() const { return m_up; }
  QToolButton *DownButton() const { return m_down; }

signals:
  void Stepped(int step);

private:
  QToolButton *m_up = nullptr;
  QToolButton *m_down = nullptr;
};

} // namespace quillan

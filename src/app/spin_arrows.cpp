#include "app/spin_arrows.h"

#include <QToolButton>
#include <QVBoxLayout>

namespace quillan {

CSpinArrows::CSpinArrows(QWidget *parent) : QWidget(parent) {
  auto *layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  auto make = [this, layout](Qt::ArrowType arrow, int step) {
    auto *button = new QToolButton(this);
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    connect(button, &QToolButton::clicked, this, [this, step] { emit Stepped(step); });
    layout->addWidget(button);
    return button;
  };
  m_up = make(Qt::UpArrow, -1);
  m_down = make(Qt::DownArrow, +1);
  setFixedWidth(18);
}

} // namespace quillan

#pragma once
// Small dialogs are laid out by their fields, which can make them narrower
// than their title: the window manager then cuts the title ("Bubbl... mount").
// FitTitle makes a dialog wide enough to show its whole title beside the
// title bar's icon and buttons.

#include <algorithm>

#include <QFontMetrics>
#include <QGuiApplication>
#include <QWidget>

namespace quillan {

// Room for the title bar's icon and its buttons, in pixels.
inline constexpr int kTitleBarExtra = 150;

inline int TitleWidth(const QString &title) {
  // Title bars often use a larger or bold face: a quarter more than the text.
  QFont font = QGuiApplication::font();
  font.setBold(true);
  return QFontMetrics(font).horizontalAdvance(title) * 5 / 4 + kTitleBarExtra;
}

inline void FitTitle(QWidget *dialog) {
  dialog->setMinimumWidth(std::max(dialog->minimumWidth(), TitleWidth(dialog->windowTitle())));
}

} // namespace quillan

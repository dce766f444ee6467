#pragma once
// Answers the modal dialogs and message boxes that a test's action opens, in
// the order they appear: each step gets the next modal widget that no step
// has had yet. A step that is never used fails the test.

#include <deque>
#include <functional>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <gtest/gtest.h>

namespace quillan::testing {

class CModalScript {
public:
  using CStep = std::function<void(QWidget *modal)>;

  CModalScript() {
    QObject::connect(&m_timer, &QTimer::timeout, [this] { Check(); });
    m_timer.start(5);
  }
  ~CModalScript() { EXPECT_TRUE(m_steps.empty()) << m_steps.size() << " modal step(s) never ran"; }

  CModalScript &Then(CStep step) {
    m_steps.push_back(std::move(step));
    return *this;
  }
  // A message box: remembers its text and presses the given button.
  CModalScript &Answer(QMessageBox::StandardButton button, QString *text = nullptr) {
    return Then([button, text](QWidget *modal) {
      auto *box = qobject_cast<QMessageBox *>(modal);
      ASSERT_NE(box, nullptr) << "expected a message box, got " << modal->metaObject()->className();
      if (text) *text = box->text();
      box->button(button)->click();
    });
  }
  size_t Remaining() const { return m_steps.size(); }

private:
  void Check() {
    QWidget *modal = QApplication::activeModalWidget();
    if (!modal || m_steps.empty() || modal->property("quillanTestHandled").toBool()) return;
    modal->setProperty("quillanTestHandled", true);
    CStep step = std::move(m_steps.front());
    m_steps.pop_front();
    step(modal);
  }

  QTimer m_timer;
  std::deque<CStep> m_steps;
};

} // namespace quillan::testing

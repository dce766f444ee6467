#pragma once
// Answers the modal dialogs and message boxes that a test's action opens, in
// the order they appear: each step gets the next modal widget that no step
// has had yet (a message box step waits for a message box, passing over
// progress dialogs and the like). A step that is never used fails the test.

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
    m_steps.push_back({std::move(step), false});
    return *this;
  }
  // A message box: remembers its text and presses the given button.
  CModalScript &Answer(QMessageBox::StandardButton button, QString *text = nullptr) {
    m_steps.push_back({[button, text](QWidget *modal) {
                         auto *box = static_cast<QMessageBox *>(modal);
                         if (text) *text = box->text();
                         ASSERT_NE(box->button(button), nullptr) << box->text().toStdString();
                         box->button(button)->click();
                       },
                       true});
    return *this;
  }
  size_t Remaining() const { return m_steps.size(); }

private:
  void Check() {
    QWidget *modal = QApplication::activeModalWidget();
    if (!modal || m_steps.empty() || modal->property("quillanTestHandled").toBool()) return;
    if (m_steps.front().m_messageBox && !qobject_cast<QMessageBox *>(modal)) return;
    modal->setProperty("quillanTestHandled", true);
    CStep step = std::move(m_steps.front().m_step);
    m_steps.pop_front();
    step(modal);
  }

  struct CEntry {
    CStep m_step;
    bool m_messageBox;
  };
  QTimer m_timer;
  std::deque<CEntry> m_steps;
};

} // namespace quillan::testing

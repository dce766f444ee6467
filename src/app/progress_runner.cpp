#include "app/progress_runner.h"

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

#include <QCloseEvent>
#include <QEventLoop>
#include <QProgressDialog>

namespace quillan {

namespace {

constexpr int kScale = 1000;
constexpr auto kUpdateInterval = std::chrono::milliseconds(50);

// A progress dialog that stays up after Cancel until the job has stopped:
// Cancel, Escape and the close button only ask for the stop.
class CJobProgressDialog : public QProgressDialog {
public:
  explicit CJobProgressDialog(QWidget *parent) : QProgressDialog(parent) {
    // The default reaction to canceled(), cancel(), resets and hides the dialog.
    disconnect(this, &QProgressDialog::canceled, this, nullptr);
    connect(this, &QProgressDialog::canceled, this, [this] {
      m_cancelRequested = true;
      setLabelText(QStringLiteral("Cancelling..."));
    });
  }

  bool CancelRequested() const { return m_cancelRequested; }
  void Finish() { m_finished = true; }

protected:
  void reject() override {
    if (!m_finished) emit canceled();
  }
  void closeEvent(QCloseEvent *event) override {
    if (m_finished) return QProgressDialog::closeEvent(event);
    event->ignore();
    emit canceled();
  }

private:
  std::atomic<bool> m_cancelRequested{false};
  bool m_finished = false;
};

QString DefaultText(const CProgress &progress) {
  QString text = QString::fromStdString(progress.m_step);
  if (!progress.m_text.empty()) text += ": " + QString::fromStdString(progress.m_text);
  return text;
}

} // namespace

CRunOutcome CProgressRunner::Run(QWidget *parent, const QString &title, const CJob &job, const CDescriber &describe) {
  CJobProgressDialog dialog(parent);
  dialog.setWindowTitle(title);
  dialog.setWindowModality(Qt::WindowModal);
  dialog.setAutoClose(false);
  dialog.setAutoReset(false);
  dialog.setMinimumDuration(0);
  dialog.setRange(0, 0);
  dialog.setLabelText(title);
  dialog.setMinimumWidth(420);

  QEventLoop loop;
  CStatus status;
  std::thread worker([&] {
    std::string lastStep;
    auto lastUpdate = std::chrono::steady_clock::now() - kUpdateInterval;
    CProgressCallback callback = [&](const CProgress &progress) {
      auto now = std::chrono::steady_clock::now();
      if (progress.m_step != lastStep || now - lastUpdate >= kUpdateInterval) {
        lastStep = progress.m_step;
        lastUpdate = now;
        QString text = describe ? describe(progress) : DefaultText(progress);
        int value = progress.m_total ? int(progress.m_done * kScale / progress.m_total) : -1;
        QMetaObject::invokeMethod(
            &dialog,
            [&dialog, text, value] {
              if (dialog.CancelRequested()) return;
              dialog.setLabelText(text);
              if (value < 0) {
                dialog.setRange(0, 0);
              } else {
                dialog.setRange(0, kScale);
                dialog.setValue(value);
              }
            },
            Qt::QueuedConnection);
      }
      return !dialog.CancelRequested();
    };
    status = job(callback);
    QMetaObject::invokeMethod(
        &loop, [&loop] { loop.quit(); }, Qt::QueuedConnection);
  });
  dialog.show();
  loop.exec();
  worker.join();
  dialog.Finish();
  dialog.hide();
  return CRunOutcome{status, !status && dialog.CancelRequested()};
}

} // namespace quillan

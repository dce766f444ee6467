#include "tools/burnet/burnet_dlg.h"

#include <atomic>
#include <thread>

#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QFile>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/qt_paths.h"
#include "tools/burnet/burnet_build.h"

namespace burnet {

namespace {

QString StepText(const std::string &step) {
  if (step == "build") return QStringLiteral("Building the image...");
  if (step == "stamp") return QStringLiteral("Writing the boot area...");
  if (step == "cue") return QStringLiteral("Writing the cue sheet...");
  return QStringLiteral("Checking...");
}

// A busy dialog that asks the build to stop on Cancel, Escape or close and
// stays up until it has.
class CBuildProgress : public QProgressDialog {
public:
  explicit CBuildProgress(QWidget *parent) : QProgressDialog(parent) {
    disconnect(this, &QProgressDialog::canceled, this, nullptr);
    connect(this, &QProgressDialog::canceled, this, [this] {
      m_cancel = true;
      setLabelText(QStringLiteral("Cancelling..."));
    });
    setWindowTitle(QStringLiteral("Burnet"));
    setWindowModality(Qt::WindowModal);
    setAutoClose(false);
    setAutoReset(false);
    setMinimumDuration(0);
    setRange(0, 0);
    setLabelText(StepText("check"));
  }
  std::atomic<bool> m_cancel{false};
  bool m_done = false;

protected:
  void reject() override {
    if (!m_done) emit canceled();
  }
  void closeEvent(QCloseEvent *event) override {
    if (m_done) return QProgressDialog::closeEvent(event);
    event->ignore();
    emit canceled();
  }
};

} // namespace

CBurnetDlg::CBurnetDlg(QWidget *parent) : QDialog(parent) {
  std::error_code error;
  m_baseDir = std::filesystem::current_path(error);
  setWindowTitle(QStringLiteral("Burnet"));

  auto *layout = new QVBoxLayout(this);
  auto *form = new QFormLayout;
  form->setRowWrapPolicy(QFormLayout::WrapAllRows);
  m_folderEdit = new QLineEdit(QString::fromUtf8(kStartFolder), this);
  m_imageEdit = new QLineEdit(QString::fromUtf8(kStartImage), this);
  m_folderEdit->setMinimumWidth(420);
  form->addRow(QStringLiteral("Folder for TK7 Files"), m_folderEdit);
  form->addRow(QStringLiteral("Full Path and file name for ISO"), m_imageEdit);
  layout->addLayout(form);

  auto *buttons = new QDialogButtonBox(this);
  m_about = buttons->addButton(QStringLiteral("&About Burnet..."), QDialogButtonBox::HelpRole);
  m_about->setAutoDefault(false);
  m_ok = buttons->addButton(QDialogButtonBox::Ok);
  buttons->addButton(QDialogButtonBox::Cancel);
  m_ok->setDefault(true);
  layout->addWidget(buttons);

  connect(m_ok, &QPushButton::clicked, this, [this] { Build(); });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(m_about, &QPushButton::clicked, this, &CBurnetDlg::ShowAbout);
}

bool CBurnetDlg::Build() {
  CBurnetJob job;
  job.m_baseDir = m_baseDir;
  job.m_folder = quillan::QStringToPath(m_folderEdit->text()).native();
  job.m_image = quillan::QStringToPath(m_imageEdit->text()).native();
  job.m_builder = m_builder;

  CBuildProgress progress(this);
  QEventLoop loop;
  std::optional<CResult<CBurnetReport>> result;
  std::thread worker([&] {
    result.emplace(BuildImage(job, [&](const CProgress &report) {
      QString text = StepText(report.m_step);
      QMetaObject::invokeMethod(
          &progress,
          [&progress, text] {
            if (!progress.m_cancel) progress.setLabelText(text);
          },
          Qt::QueuedConnection);
      return !progress.m_cancel;
    }));
    QMetaObject::invokeMethod(
        &loop, [&loop] { loop.quit(); }, Qt::QueuedConnection);
  });
  progress.show();
  loop.exec();
  worker.join();
  progress.m_done = true;
  progress.hide();

  if (!*result) {
    if (!IsCancelled(result->Error())) ShowFailure(QString::fromStdString(result->Error().Message()));
    return false;
  }
  const CBurnetReport &report = result->Value();
  auto absolute = [](const std::filesystem::path &path) {
    std::error_code ignored;
    std::filesystem::path full = std::filesystem::absolute(path, ignored);
    return quillan::PathToQString(full.empty() ? path : full);
  };
  QString text = QStringLiteral("The disc image was written:\n\n%1\n\nand its cue sheet:\n\n%2\n\n")
                     .arg(absolute(report.m_image), absolute(report.m_cueSheet));
  if (report.m_trackWritten)
    text += QStringLiteral("The audio track TK7Track2.bin that the cue sheet names was written beside it "
                           "(silence). Keep the three files together.");
  else
    text += QStringLiteral("The cue sheet names TK7Track2.bin, which must lie beside it (one is there).");
  for (const std::string &note : report.m_notes)
    text += QStringLiteral("\n\nNote: ") + QString::fromStdString(note);
  if (m_reportSink)
    m_reportSink(text);
  else
    QMessageBox::information(this, QStringLiteral("Burnet"), text);
  accept();
  return true;
}

void CBurnetDlg::ShowFailure(const QString &text) {
  if (m_messageSink) return m_messageSink(text);
  QMessageBox::critical(this, QStringLiteral("Burnet"), QStringLiteral("CD IMAGE NOT CREATED\n\n") + text);
}

void CBurnetDlg::ShowAbout() {
  QMessageBox::about(this, QStringLiteral("About Burnet"),
                     QStringLiteral("Burnet\n\nBuilds the TK7 disc image and its cue sheet from a folder of the "
                                    "game's files."));
}

} // namespace burnet

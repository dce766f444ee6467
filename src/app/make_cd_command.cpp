#include "app/make_cd_command.h"

#include <QFile>
#include <QMessageBox>

#include "app/drive_select_dlg.h"
#include "app/progress_runner.h"
#include "cdimage/make_cd.h"
#include "core/file_io.h"

namespace quillan {

namespace {

QString Text(const std::string &text) { return QString::fromStdString(text); }

void ShowMessage(QWidget *window, const QString &text, bool failed) {
  if (failed)
    QMessageBox::critical(window, QObject::tr("Make CD"), text);
  else
    QMessageBox::information(window, QObject::tr("Make CD"), text);
}

} // namespace

CMakeCdOutcome RunMakeCdCommand(QWidget *window, const std::filesystem::path &workDir,
                                const CMakeCdCommandHooks &hooks) {
  auto disc = hooks.m_chooseDisc ? hooks.m_chooseDisc(window) : CDriveSelectDlg::Choose(window);
  if (!disc) return CMakeCdOutcome::NotStarted;

  CMakeCdOptions options;
  options.m_workDir = workDir;
  options.m_discDir = *disc;
  options.m_builder = hooks.m_builder;
  std::optional<CMakeCdReport> report;
  auto outcome = CProgressRunner::Run(
      window, QObject::tr("Make CD"),
      [&](const CProgressCallback &progress) -> CStatus {
        auto made = MakeCd(options, progress);
        if (!made) return made.Error();
        report = std::move(*made);
        return CStatus::Success();
      },
      [](const CProgress &progress) { return Text(DescribeMakeCdProgress(progress)); });

  auto show = hooks.m_showMessage ? hooks.m_showMessage : ShowMessage;
  if (outcome.m_cancelled) return CMakeCdOutcome::Cancelled; // the user knows; nothing was made
  if (!outcome.m_status) {
    show(window, QObject::tr("CD IMAGE NOT CREATED") + "\n\n" + Text(outcome.m_status.Error().Message()), true);
    return CMakeCdOutcome::Failed;
  }
  QString text = QObject::tr("The CD image is ready:") + "\n";
  for (const auto &path : {report->m_image, report->m_silentTrack, report->m_cueSheet})
    text += "\n" + Text(PathText(path));
  if (!report->m_notes.empty()) {
    text += "\n\n" + QObject::tr("Worth knowing:");
    for (const auto &note : report->m_notes) text += "\n- " + Text(note);
  }
  show(window, text, false);
  return CMakeCdOutcome::Made;
}

} // namespace quillan

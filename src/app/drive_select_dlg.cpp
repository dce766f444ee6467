#include "app/drive_select_dlg.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/qt_paths.h"

namespace quillan {

namespace {

constexpr int kMountPointRole = Qt::UserRole;

} // namespace

CDriveSelectDlg::CDriveSelectDlg(QWidget *parent, CDriveLister lister, CFolderChooser chooser)
    : QDialog(parent), m_lister(std::move(lister)), m_chooser(std::move(chooser)) {
  setWindowTitle(tr("Select a CD drive"));
  auto *layout = new QVBoxLayout(this);
  m_list = new QListWidget(this);
  m_list->setSelectionMode(QAbstractItemView::SingleSelection);
  layout->addWidget(m_list);
  m_hint = new QLabel(this);
  m_hint->setWordWrap(true);
  layout->addWidget(m_hint);

  auto *buttons = new QDialogButtonBox(this);
  m_folder = buttons->addButton(tr("Choose &Folder..."), QDialogButtonBox::ActionRole);
  m_refresh = buttons->addButton(tr("&Refresh"), QDialogButtonBox::ActionRole);
  m_ok = buttons->addButton(QDialogButtonBox::Ok);
  buttons->addButton(QDialogButtonBox::Cancel);
  m_folder->setAutoDefault(false);
  m_refresh->setAutoDefault(false);
  m_ok->setDefault(true);
  layout->addWidget(buttons);

  connect(m_list, &QListWidget::itemActivated, this, &CDriveSelectDlg::Take);
  connect(m_list, &QListWidget::itemDoubleClicked, this, &CDriveSelectDlg::Take);
  connect(m_list, &QListWidget::itemSelectionChanged, this, &CDriveSelectDlg::UpdateButtons);
  connect(m_ok, &QPushButton::clicked, this, [this] {
    auto selected = m_list->selectedItems();
    if (!selected.isEmpty()) Take(selected.first());
  });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(m_folder, &QPushButton::clicked, this, &CDriveSelectDlg::ChooseFolder);
  connect(m_refresh, &QPushButton::clicked, this, &CDriveSelectDlg::Refresh);

  resize(480, 260);
  Refresh();
}

void CDriveSelectDlg::Refresh() {
  m_list->clear();
  auto drives = m_lister ? m_lister() : std::vector<COpticalDrive>();
  bool anyMounted = false;
  for (const auto &drive : drives) {
    auto *item = new QListWidgetItem(QString::fromStdString(drive.Label()), m_list);
    if (drive.Mounted()) {
      item->setData(kMountPointRole, PathToQString(drive.m_mountPoint));
      anyMounted = true;
    } else {
      item->setFlags(Qt::NoItemFlags);
    }
  }
  if (anyMounted) {
    for (int i = 0; i < m_list->count(); ++i) {
      if (m_list->item(i)->flags() & Qt::ItemIsEnabled) {
        m_list->setCurrentRow(i);
        break;
      }
    }
    m_hint->setText(tr("Double-click the game disc, or choose a folder that holds its files."));
  } else {
    m_hint->setText(tr("No mounted disc found. Put the game disc in and mount it, then Refresh; or choose a folder "
                       "that holds the disc's files (a copy of the disc, or a mounted disc image)."));
  }
  UpdateButtons();
}

void CDriveSelectDlg::Take(QListWidgetItem *item) {
  if (!item) return;
  QString mountPoint = item->data(kMountPointRole).toString();
  if (mountPoint.isEmpty()) return; // a drive without a disc
  m_root = QStringToPath(mountPoint);
  accept();
}

void CDriveSelectDlg::ChooseFolder() {
  QString folder =
      m_chooser ? m_chooser(this) : QFileDialog::getExistingDirectory(this, tr("Folder with the game disc's files"));
  if (folder.isEmpty()) return;
  m_root = QStringToPath(folder);
  accept();
}

void CDriveSelectDlg::UpdateButtons() {
  auto selected = m_list->selectedItems();
  m_ok->setEnabled(!selected.isEmpty() && !selected.first()->data(kMountPointRole).toString().isEmpty());
}

std::optional<std::filesystem::path> CDriveSelectDlg::Choose(QWidget *parent) {
  CDriveSelectDlg dialog(parent);
  if (dialog.exec() != QDialog::Accepted || dialog.Root().empty()) return std::nullopt;
  return dialog.Root();
}

} // namespace quillan

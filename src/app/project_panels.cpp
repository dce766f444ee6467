#include "app/project_panels.h"

#include <QAbstractTableModel>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDockWidget>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/quillan_window.h"
#include "core/file_io.h"
#include "workbench/quillan_dlg.h"

namespace quillan {

namespace {

// The window shows pages from 0 and lines from 1; the panels do the same.
QString LineText(int line) { return QString::number(line + 1); }

QString Utf8Text(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

constexpr int kScriptRole = Qt::UserRole;
constexpr int kPageRole = Qt::UserRole + 1;

QTableView *MakeTable(QWidget *parent, QAbstractItemModel *model) {
  auto *view = new QTableView(parent);
  view->setModel(model);
  view->setSelectionBehavior(QAbstractItemView::SelectRows);
  view->setSelectionMode(QAbstractItemView::SingleSelection);
  view->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view->verticalHeader()->hide();
  view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().lineSpacing() + 4);
  view->horizontalHeader()->setStretchLastSection(true);
  view->setWordWrap(false);
  return view;
}

} // namespace

// The hits of Find in Project, formatted only when shown.
class CHitsModel : public QAbstractTableModel {
public:
  using QAbstractTableModel::QAbstractTableModel;

  void Reset(const CProjectIndex *index, std::vector<CSearchHit> hits) {
    beginResetModel();
    m_index = index;
    m_hits = std::move(hits);
    endResetModel();
  }
  const std::vector<CSearchHit> &Hits() const { return m_hits; }

  int rowCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : int(m_hits.size()); }
  int columnCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : 5; }
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    static const char *kCaptions[] = {"Script", "Page", "Line", "Field", "Text"};
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= 5) return {};
    return QString::fromLatin1(kCaptions[section]);
  }
  QVariant data(const QModelIndex &index, int role) const override {
    if (!m_index || role != Qt::DisplayRole || index.row() >= int(m_hits.size())) return {};
    const CSearchHit &hit = m_hits[size_t(index.row())];
    const CIndexedScript &script = m_index->Script(hit.m_ref.m_script);
    const CIndexedEntry &entry = script.Entry(hit.m_ref.m_entry);
    switch (index.column()) {
    case 0:
      return QString::fromStdString(script.m_name);
    case 1:
      return entry.m_page;
    case 2:
      return LineText(entry.m_line);
    case 3:
      return hit.m_english ? QStringLiteral("en") : QStringLiteral("ja");
    default:
      return Utf8Text(hit.m_english ? script.EnglishDump(hit.m_ref.m_entry) : script.JapaneseDump(hit.m_ref.m_entry));
    }
  }

private:
  const CProjectIndex *m_index = nullptr;
  std::vector<CSearchHit> m_hits;
};

// The findings of the open script.
class CFindingsModel : public QAbstractTableModel {
public:
  using QAbstractTableModel::QAbstractTableModel;

  void Reset(std::vector<CFinding> findings) {
    beginResetModel();
    m_findings = std::move(findings);
    endResetModel();
  }
  const std::vector<CFinding> &Findings() const { return m_findings; }

  // The findings of entry (page, line) replaced by those given.
  void ReplaceEntry(int page, int line, const std::vector<CFinding> &now) {
    auto before = [&](const CFinding &f) { return f.m_page < page || (f.m_page == page && f.m_line < line); };
    auto first = std::find_if_not(m_findings.begin(), m_findings.end(), before);
    auto last =
        std::find_if(first, m_findings.end(), [&](const CFinding &f) { return f.m_page != page || f.m_line != line; });
    int row = int(first - m_findings.begin());
    int old = int(last - first);
    if (old > 0) {
      beginRemoveRows({}, row, row + old - 1);
      first = m_findings.erase(first, last);
      endRemoveRows();
    }
    if (!now.empty()) {
      beginInsertRows({}, row, row + int(now.size()) - 1);
      m_findings.insert(m_findings.begin() + row, now.begin(), now.end());
      endInsertRows();
    }
  }

  int rowCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : int(m_findings.size()); }
  int columnCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : 5; }
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    static const char *kCaptions[] = {"Page", "Line", "Severity", "Check", "Message"};
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= 5) return {};
    return QString::fromLatin1(kCaptions[section]);
  }
  QVariant data(const QModelIndex &index, int role) const override {
    if (role != Qt::DisplayRole || index.row() >= int(m_findings.size())) return {};
    const CFinding &f = m_findings[size_t(index.row())];
    switch (index.column()) {
    case 0:
      return f.m_page;
    case 1:
      return LineText(f.m_line);
    case 2:
      return QString::fromLatin1(SeverityName(f.m_severity));
    case 3:
      return QString::fromLatin1(f.m_check);
    default:
      return QString::fromStdString(f.m_message);
    }
  }

private:
  std::vector<CFinding> m_findings;
};

CProjectPanels::CProjectPanels(CQuillanWindow &window) : m_window(window) { BuildDocks(); }

CProjectPanels::~CProjectPanels() {
  m_cancel = true;
  if (m_builder.joinable()) m_builder.join();
}

const std::vector<CFinding> &CProjectPanels::Findings() const { return m_findings->Findings(); }

void CProjectPanels::BuildDocks() {
  m_projectDock = new QDockWidget(QStringLiteral("Project"), &m_window);
  m_projectDock->setObjectName(QStringLiteral("projectDock"));
  m_projectTree = new QTreeWidget(m_projectDock);
  m_projectTree->setColumnCount(3);
  m_projectTree->setHeaderLabels({QStringLiteral("Script"), QStringLiteral("Progress"), QStringLiteral("Translated")});
  m_projectTree->setRootIsDecorated(true);
  m_projectTree->addTopLevelItem(new QTreeWidgetItem({QStringLiteral("Indexing the project...")}));
  connect(m_projectTree, &QTreeWidget::itemDoubleClicked, this,
          [this](QTreeWidgetItem *item, int) { OpenProjectItem(item); });
  m_projectDock->setWidget(m_projectTree);

  m_findDock = new QDockWidget(QStringLiteral("Find in Project"), &m_window);
  m_findDock->setObjectName(QStringLiteral("findDock"));
  auto *find = new QWidget(m_findDock);
  auto *column = new QVBoxLayout(find);
  auto *row = new QHBoxLayout;
  m_findText = new QLineEdit(find);
  m_findText->setPlaceholderText(QStringLiteral("Text, {03} for a line end"));
  m_findField = new QComboBox(find);
  m_findField->addItems({QStringLiteral("Both"), QStringLiteral("Japanese"), QStringLiteral("English")});
  auto *go = new QPushButton(QStringLiteral("Find"), find);
  row->addWidget(m_findText, 1);
  row->addWidget(m_findField);
  row->addWidget(go);
  column->addLayout(row);
  auto *options = new QHBoxLayout;
  m_findRegex = new QCheckBox(QStringLiteral("Regular expression"), find);
  m_findCase = new QCheckBox(QStringLiteral("Case-sensitive"), find);
  m_findStatus = new QLabel(find);
  options->addWidget(m_findRegex);
  options->addWidget(m_findCase);
  options->addWidget(m_findStatus, 1);
  column->addLayout(options);
  m_hits = new CHitsModel(this);
  m_hitsView = MakeTable(find, m_hits);
  column->addWidget(m_hitsView, 1);
  m_findDock->setWidget(find);
  connect(go, &QPushButton::clicked, this, &CProjectPanels::RunFind);
  connect(m_findText, &QLineEdit::returnPressed, this, &CProjectPanels::RunFind);
  connect(m_hitsView, &QTableView::doubleClicked, this, [this](const QModelIndex &index) { OpenHit(index.row()); });

  m_checksDock = new QDockWidget(QStringLiteral("Checks"), &m_window);
  m_checksDock->setObjectName(QStringLiteral("checksDock"));
  auto *checks = new QWidget(m_checksDock);
  auto *checksColumn = new QVBoxLayout(checks);
  m_checksStatus = new QLabel(QStringLiteral("Indexing the project..."), checks);
  m_findings = new CFindingsModel(this);
  m_checksView = MakeTable(checks, m_findings);
  checksColumn->addWidget(m_checksStatus);
  checksColumn->addWidget(m_checksView, 1);
  m_checksDock->setWidget(checks);
  connect(m_checksView, &QTableView::doubleClicked, this,
          [this](const QModelIndex &index) { OpenFinding(index.row()); });
  connect(m_checksDock, &QDockWidget::visibilityChanged, this, [this](bool visible) {
    if (visible) RecheckScript();
  });

  m_window.addDockWidget(Qt::RightDockWidgetArea, m_projectDock);
  m_window.addDockWidget(Qt::RightDockWidgetArea, m_checksDock);
  m_window.addDockWidget(Qt::BottomDockWidgetArea, m_findDock);
  for (QDockWidget *dock : {m_projectDock, m_findDock, m_checksDock})
    dock->hide();

  m_findAction = new QAction(QStringLiteral("&Find in Project..."), this);
  m_findAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F));
  m_findAction->setShortcutContext(Qt::ApplicationShortcut);
  connect(m_findAction, &QAction::triggered, this, &CProjectPanels::ShowFind);
  m_window.addAction(m_findAction); // the shortcut works before the menus exist
}

void CProjectPanels::AddMenu(QMenuBar *bar, QAction *before) {
  QMenu *view = nullptr;
  for (QAction *action : bar->actions())
    if (action->menu() && action->text().remove(QLatin1Char('&')) == QLatin1String("View")) view = action->menu();
  if (!view) {
    view = new QMenu(QStringLiteral("&View"), bar);
    bar->insertMenu(before, view);
  } else {
    view->addSeparator();
  }
  QAction *project = m_projectDock->toggleViewAction();
  project->setText(QStringLiteral("&Project"));
  QAction *checks = m_checksDock->toggleViewAction();
  checks->setText(QStringLiteral("&Checks"));
  view->addAction(project);
  view->addAction(checks);
  view->addAction(m_findAction);
}

void CProjectPanels::Start(const std::filesystem::path &baseDir) {
  auto scripts = ProjectScripts(baseDir, {});
  m_window.statusBar()->showMessage(QStringLiteral("Indexing the project..."));
  m_builder = std::thread([this, baseDir, scripts] {
    auto index = std::make_shared<CProjectIndex>();
    auto progress = [this](const CProgress &step) {
      if (m_cancel) return false;
      QString text = QStringLiteral("Indexing the project: %1 (%2 of %3)")
                         .arg(QString::fromStdString(step.m_text))
                         .arg(step.m_done + 1)
                         .arg(step.m_total);
      QMetaObject::invokeMethod(
          this, [this, text] { m_window.statusBar()->showMessage(text); }, Qt::QueuedConnection);
      return true;
    };
    CStatus status = index->Build(baseDir, scripts, progress);
    if (m_cancel) return;
    QString failure = status.Ok() ? QString() : QString::fromStdString(status.Error().Message());
    // The index goes to the window's thread whole; this thread keeps nothing.
    QMetaObject::invokeMethod(
        this, [this, index = std::move(index), failure]() mutable { IndexReady(std::move(index), failure); },
        Qt::QueuedConnection);
  });
}

void CProjectPanels::IndexReady(std::shared_ptr<CProjectIndex> index, QString failure) {
  if (m_builder.joinable()) m_builder.join();
  if (!failure.isEmpty()) {
    m_window.statusBar()->showMessage(failure);
    return;
  }
  m_index = std::move(index);
  m_checker = std::make_unique<CProjectChecker>(*m_index, ReadCheckLimits(*m_index));
  CProgressCount total = m_index->Progress();
  QString message = QStringLiteral("Project: %1 scripts, %2 entries, %3% translated")
                        .arg(m_index->ScriptCount())
                        .arg(total.m_entries)
                        .arg(QString::fromStdString(total.PercentText()));
  for (const CError &error : m_index->Errors())
    message += QStringLiteral("; ") + QString::fromStdString(error.Message());
  m_window.statusBar()->showMessage(message, 10000);
  // The open script may have changed since the build began.
  SyncOpenScript();
  FillProjectTree();
  m_seenScript.clear();
  AfterHandler();
}

void CProjectPanels::FillProjectTree() {
  m_projectTree->clear();
  for (int s = 0; s < m_index->ScriptCount(); ++s) {
    const CIndexedScript &script = m_index->Script(s);
    auto *item = new QTreeWidgetItem({QString::fromStdString(script.m_name)});
    item->setData(0, kScriptRole, s);
    item->setData(0, kPageRole, -1);
    for (int page = 0; page < script.m_pageCount; ++page) {
      auto *child = new QTreeWidgetItem({QStringLiteral("Page %1").arg(page)});
      child->setData(0, kScriptRole, s);
      child->setData(0, kPageRole, page);
      item->addChild(child);
    }
    m_projectTree->addTopLevelItem(item);
    auto *bar = new QProgressBar(m_projectTree);
    bar->setRange(0, 1000);
    bar->setTextVisible(false);
    bar->setMaximumHeight(m_projectTree->fontMetrics().height());
    m_projectTree->setItemWidget(item, 1, bar);
    UpdateProjectRow(s);
  }
  m_projectTree->resizeColumnToContents(0);
}

void CProjectPanels::UpdateProjectRow(int s) {
  QTreeWidgetItem *item = m_projectTree->topLevelItem(s);
  if (!item || !m_index) return;
  const CIndexedScript &script = m_index->Script(s);
  auto text = [](const CProgressCount &count) {
    return QStringLiteral("%1% (%2 of %3)")
        .arg(QString::fromStdString(count.PercentText()))
        .arg(count.m_translated)
        .arg(count.m_entries);
  };
  item->setText(2, text(script.Progress()));
  if (auto *bar = qobject_cast<QProgressBar *>(m_projectTree->itemWidget(item, 1)))
    bar->setValue(script.Progress().PerMille());
  for (int page = 0; page < item->childCount(); ++page)
    item->child(page)->setText(2, text(script.PageProgress(page)));
}

int CProjectPanels::OpenScriptIndex() const {
  const CQuillanDlg &dlg = m_window.Dialog();
  if (!m_index || !dlg.m_fileOpen || !dlg.Script()) return -1;
  std::error_code error;
  for (int s = 0; s < m_index->ScriptCount(); ++s) {
    const CIndexedScript &script = m_index->Script(s);
    if (script.m_name != dlg.m_scriptFileName) continue;
    if (std::filesystem::equivalent(script.m_path, dlg.m_scriptPath, error)) return s;
  }
  return -1;
}

void CProjectPanels::SyncOpenScript() {
  int s = OpenScriptIndex();
  if (s < 0) return;
  CQuillanDlg &dlg = m_window.Dialog();
  m_index->UpdateEnglish(dlg.m_scriptFileName, dlg.EnglishStrings(), &dlg.CodeBook());
  UpdateProjectRow(s);
}

void CProjectPanels::AfterHandler() {
  if (!m_index) return;
  CQuillanDlg &dlg = m_window.Dialog();
  bool otherScript = dlg.m_scriptPath != m_seenScript;
  bool saved = !otherScript && m_seenModified && !dlg.m_modified;
  if (otherScript && m_seenModified && !m_seenScript.empty()) {
    // The script left behind was saved or its changes dropped: the index
    // takes it from the disk again.
    int old = -1;
    for (int s = 0; s < m_index->ScriptCount(); ++s)
      if (PathText(m_index->Script(s).m_path) == m_seenScript) old = s;
    if (old >= 0) {
      if (auto reread = IndexScript(m_index->BaseDir(), m_index->Script(old).m_path))
        m_index->UpdateEnglish(reread.Value()->m_name, reread.Value()->EnglishStrings(), &reread.Value()->m_codeBook);
      UpdateProjectRow(old);
    }
  }
  if (saved) SyncOpenScript();
  m_seenModified = dlg.m_modified;
  if (otherScript || saved) {
    m_seenScript = dlg.m_scriptPath;
    m_seenPage = -1;
    int s = OpenScriptIndex();
    m_checkData = s >= 0 ? m_checker->Prepare(s) : CScriptCheckData{};
    RecheckScript();
  }
  bool moved = dlg.m_currentPage != m_seenPage || dlg.m_currentLine != m_seenLine;
  if (moved || (dlg.m_fileOpen && dlg.CurrentEnglish() != m_seenText)) RecheckCurrentEntry();
}

void CProjectPanels::RecheckScript() {
  if (!m_index || !m_checksDock->isVisible()) return;
  int s = OpenScriptIndex();
  if (s < 0) {
    m_findings->Reset({});
    m_checksStatus->setText(m_window.Dialog().m_fileOpen
                                ? QStringLiteral("The open script is not one of the project's scripts.")
                                : QStringLiteral("No script is open."));
    return;
  }
  m_checker->SetLiveEnglish(s, &m_window.Dialog().EnglishStrings());
  m_checker->RefreshCodeLengths(s, m_checkData);
  std::vector<CFinding> findings = m_checker->CheckScript(s, m_checkData);
  const CIndexedScript &script = m_index->Script(s);
  int errors = int(std::count_if(findings.begin(), findings.end(),
                                 [](const CFinding &f) { return f.m_severity == CSeverity::Error; }));
  m_checksStatus->setText(QStringLiteral("%1: %2 errors, %3 warnings")
                              .arg(QString::fromStdString(script.m_name))
                              .arg(errors)
                              .arg(int(findings.size()) - errors));
  m_findings->Reset(std::move(findings));
}

void CProjectPanels::RecheckCurrentEntry() {
  CQuillanDlg &dlg = m_window.Dialog();
  m_seenPage = dlg.m_currentPage;
  m_seenLine = dlg.m_currentLine;
  m_seenText = dlg.m_fileOpen ? dlg.CurrentEnglish() : EnglishString{};
  m_currentFindings.clear();
  int s = OpenScriptIndex();
  int e = s >= 0 ? m_index->Script(s).EntryIndex(dlg.m_currentPage, dlg.m_currentLine) : -1;
  if (e >= 0) {
    m_checker->SetLiveEnglish(s, &dlg.EnglishStrings());
    // The code table follows the script's whole text, which the edit changed.
    m_checker->RefreshCodeLengths(s, m_checkData);
    m_checker->CheckEntry({s, e}, m_checkData, m_currentFindings);
    if (m_checksDock->isVisible()) m_findings->ReplaceEntry(dlg.m_currentPage, dlg.m_currentLine, m_currentFindings);
  }
  ShowCurrentFindings();
}

void CProjectPanels::ShowCurrentFindings() {
  if (m_currentFindings.empty()) {
    m_window.statusBar()->clearMessage();
    return;
  }
  QString text;
  for (const CFinding &f : m_currentFindings) {
    if (!text.isEmpty()) text += QStringLiteral("  |  ");
    text += QStringLiteral("%1 %2: %3")
                .arg(QString::fromLatin1(SeverityName(f.m_severity)), QString::fromLatin1(f.m_check),
                     QString::fromStdString(f.m_message));
  }
  m_window.statusBar()->showMessage(text);
}

void CProjectPanels::ShowFind() {
  m_findDock->show();
  m_findDock->raise();
  m_findText->setFocus(Qt::ShortcutFocusReason);
  m_findText->selectAll();
}

void CProjectPanels::RunFind() {
  if (!m_index) {
    m_findStatus->setText(QStringLiteral("The project is still being indexed."));
    return;
  }
  CSearchOptions options;
  options.m_field = m_findField->currentIndex() == 1   ? CSearchField::Japanese
                    : m_findField->currentIndex() == 2 ? CSearchField::English
                                                       : CSearchField::Both;
  options.m_regex = m_findRegex->isChecked();
  options.m_caseSensitive = m_findCase->isChecked();
  QByteArray pattern = m_findText->text().toUtf8();
  auto search = CProjectSearch::Compile(std::string_view(pattern.constData(), size_t(pattern.size())), options);
  if (!search) {
    m_hits->Reset(m_index.get(), {});
    m_findStatus->setText(QString::fromStdString(search.Error().Message()));
    return;
  }
  // The open script is searched as it is now, saved or not.
  SyncOpenScript();
  auto hits = search->Run(*m_index);
  m_findStatus->setText(hits.size() == 1 ? QStringLiteral("1 hit") : QStringLiteral("%1 hits").arg(hits.size()));
  m_hits->Reset(m_index.get(), std::move(hits));
  m_hitsView->resizeColumnsToContents();
}

void CProjectPanels::GoTo(int script, int page, int line) {
  if (!m_index || script < 0 || script >= m_index->ScriptCount()) return;
  std::filesystem::path path = m_index->Script(script).m_path;
  m_window.RunHandler([&] { m_window.Dialog().GoToEntry(path, page, line); });
  m_window.FocusPane();
}

void CProjectPanels::OpenHit(int row) {
  const auto &hits = m_hits->Hits();
  if (row < 0 || row >= int(hits.size()) || !m_index) return;
  const CSearchHit &hit = hits[size_t(row)];
  const CIndexedEntry &entry = m_index->Script(hit.m_ref.m_script).Entry(hit.m_ref.m_entry);
  GoTo(hit.m_ref.m_script, entry.m_page, entry.m_line);
}

void CProjectPanels::OpenFinding(int row) {
  const auto &findings = m_findings->Findings();
  if (row < 0 || row >= int(findings.size())) return;
  const CFinding f = findings[size_t(row)];
  GoTo(f.m_script, f.m_page, f.m_line);
}

void CProjectPanels::OpenProjectItem(QTreeWidgetItem *item) {
  if (!item || !m_index || !item->data(0, kScriptRole).isValid()) return;
  int script = item->data(0, kScriptRole).toInt();
  int page = item->data(0, kPageRole).toInt();
  std::filesystem::path path = m_index->Script(script).m_path;
  if (page < 0)
    m_window.RunHandler([&] { m_window.Dialog().OpenProjectScript(path); });
  else
    m_window.RunHandler([&] { m_window.Dialog().GoToEntry(path, page, 0); });
  m_window.FocusPane();
}

} // namespace quillan

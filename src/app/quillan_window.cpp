#include "app/quillan_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QStyle>
#include <QStyleOptionMenuItem>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>

#include "app/canvas_image.h"
#include "app/pane_widget.h"
#include "app/project_panels.h"
#include "app/qt_platform.h"
#include "app/spin_arrows.h"
#include "app/suggestions_dock.h"
#include "view/menu_table.h"
#include "view/pane_renderer.h"
#include "workbench/quillan_dlg.h"
#include "workbench/team_tools.h"

namespace quillan {

namespace {

// The items a successful open enables.
constexpr int kOpenEnabledItems[] = {kIdSaveEnglishText, kIdCompress, kIdCompressAll, kIdChangeFont};

struct CButtonSpec {
  int m_id;
  const char *m_text; // line breaks where the control wraps its caption
};
constexpr CButtonSpec kButtons[] = {
    {kIdCopyJapToClipboard, "Copy Jap\nto Clipboard"},
    {kIdFirstPage, "First Page"},
    {kIdPrevPage, "Prev Page"},
    {kIdNextPage, "Next Page"},
    {kIdLastPage, "Last Page"},
    {kIdGoogleTranslate, "Google\nTranslate"},
    {kIdPasteEngToBoard, "Paste Eng\nto Board"},
};

} // namespace

class CQuillanWindow::CHandlerScope {
public:
  explicit CHandlerScope(CQuillanWindow &window) : m_window(window) { ++m_window.m_handlerDepth; }
  ~CHandlerScope() {
    if (--m_window.m_handlerDepth > 0) return;
    // The title follows the document whichever handler changed it.
    m_window.setWindowTitle(QString::fromStdString(m_window.m_dlg->WindowTitle()));
    if (m_window.m_project) m_window.m_project->AfterHandler();
    if (m_window.m_closePending) {
      m_window.m_closePending = false;
      QTimer::singleShot(0, &m_window, [window = &m_window] { window->close(); });
    }
  }
  CHandlerScope(const CHandlerScope &) = delete;
  CHandlerScope &operator=(const CHandlerScope &) = delete;

private:
  CQuillanWindow &m_window;
};

CQuillanWindow::CQuillanWindow(QWidget *parent) : QMainWindow(parent) {
  m_platform = std::make_unique<CQtPlatform>(*this);
  m_dlg = std::make_unique<CQuillanDlg>(*m_platform);
  setWindowTitle(QStringLiteral("Quillan"));
  for (int id : kOpenEnabledItems)
    m_menuEnabled[id] = false;
  BuildLayout();
  m_project = std::make_unique<CProjectPanels>(*this);
}

CQuillanWindow::~CQuillanWindow() {
  for (auto &[id, timer] : m_timers)
    timer->stop();
  m_project.reset(); // its index thread stops first
  // The dialog goes first: it still talks to the platform while it ends.
  m_dlg.reset();
}

bool CQuillanWindow::Initialize(const std::filesystem::path &baseDir) {
  bool ok;
  {
    CHandlerScope scope(*this);
    ok = m_dlg->OnInitDialog(baseDir);
  }
  BuildMenus();
  RestoreSettings();
  m_initialized = ok;
  if (ok) m_project->Start(baseDir);
  if (ok && m_pane->hasFocus()) OnFocusChanged(true);
  return ok;
}

void CQuillanWindow::BuildLayout() {
  auto *central = new QWidget(this);
  m_outer = new QVBoxLayout(central);
  m_outer->setContentsMargins(0, 0, 0, 0);
  m_outer->setSizeConstraint(QLayout::SetFixedSize);
  auto *row = new QHBoxLayout;
  m_outer->addLayout(row);
  row->setContentsMargins(4, 4, 4, 4);
  row->setSpacing(4);

  m_pane = new CPaneWidget(central);
  row->addWidget(m_pane, 0, Qt::AlignTop);
  connect(m_pane, &CPaneWidget::KeyPressed, this, &CQuillanWindow::OnKeyPressed);
  connect(m_pane, &CPaneWidget::KeyReleased, this, &CQuillanWindow::OnKeyReleased);
  connect(m_pane, &CPaneWidget::ButtonReleased, this, &CQuillanWindow::OnButtonReleased);
  connect(m_pane, &CPaneWidget::FocusChanged, this, &CQuillanWindow::OnFocusChanged);

  // The spins beside the panes they scroll: 1009 the Japanese, 1011 the English.
  auto *spins = new QVBoxLayout;
  spins->setSpacing(8);
  for (int id : {kIdJapaneseSpin, kIdEnglishSpin}) {
    auto *spin = new CSpinArrows(central);
    spin->setObjectName(QStringLiteral("control%1").arg(id));
    m_spins[id] = spin;
    spins->addWidget(spin, 1);
    connect(spin, &CSpinArrows::Stepped, this, [this, id](int step) { OnSpin(id, step); });
  }
  row->addLayout(spins);

  m_scrollBar = new QScrollBar(Qt::Vertical, central);
  m_scrollBar->setObjectName(QStringLiteral("control%1").arg(kIdLineScrollBar));
  m_scrollBar->setFocusPolicy(Qt::NoFocus);
  m_scrollBar->setRange(0, 0);
  connect(m_scrollBar, &QScrollBar::actionTriggered, this, &CQuillanWindow::OnScrollAction);
  connect(m_scrollBar, &QScrollBar::sliderReleased, this, [this] {
    if (!CanForward()) return;
    CHandlerScope scope(*this);
    m_dlg->OnVScroll(CScrollRequest::ThumbPosition, m_scrollBar->sliderPosition());
  });
  row->addWidget(m_scrollBar);

  auto *controls = new QVBoxLayout;
  controls->setSpacing(6);
  auto addButton = [this, central, controls](const CButtonSpec &spec) {
    auto *button = new QPushButton(QString::fromUtf8(spec.m_text), central);
    button->setObjectName(QStringLiteral("control%1").arg(spec.m_id));
    button->setFocusPolicy(Qt::NoFocus); // typing goes on after a click
    button->setAutoDefault(false);
    button->setFixedWidth(84);
    int id = spec.m_id;
    connect(button, &QPushButton::clicked, this, [this, id] {
      Command(id);
      FocusPane();
    });
    m_buttons[id] = button;
    controls->addWidget(button);
  };
  addButton(kButtons[0]);
  m_status = new QLabel(central);
  m_status->setObjectName(QStringLiteral("control%1").arg(kIdStatus));
  m_status->setFixedWidth(84);
  m_status->setWordWrap(true);
  m_status->setMinimumHeight(4 * m_status->fontMetrics().lineSpacing() + 4); // page, line and a name
  controls->addWidget(m_status);
  for (int i = 1; i <= 4; ++i)
    addButton(kButtons[i]);
  controls->addStretch(1);
  addButton(kButtons[5]);
  controls->addStretch(1);
  addButton(kButtons[6]);
  row->addLayout(controls);

  setCentralWidget(central);

  m_suggestions = new CSuggestionsDock(this);
  addDockWidget(Qt::RightDockWidgetArea, m_suggestions);
  m_suggestions->hide();
  m_suggestions->m_onTake = [this](int number) { TakeSuggestion(number); };
  connect(m_suggestions, &QDockWidget::visibilityChanged, this, [this](bool visible) {
    if (visible) RefreshSuggestions(true);
  });
  for (int n = 1; n <= 9; ++n) {
    auto *shortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_0 + n)), this);
    shortcut->setContext(Qt::WindowShortcut);
    connect(shortcut, &QShortcut::activated, this, [this, n] { TakeSuggestion(n); });
  }
  auto *refresh = new QTimer(this);
  connect(refresh, &QTimer::timeout, this, [this] { RefreshSuggestions(); });
  refresh->start(200);
  m_pane->setFocus();
}

void CQuillanWindow::RefreshSuggestions(bool force) {
  if (!m_suggestions || !m_suggestions->isVisible() || !CanForward()) return;
  CQuillanDlg &dlg = *m_dlg;
  std::string key;
  if (dlg.m_fileOpen) {
    key = dlg.m_scriptPath + "\n" + std::to_string(dlg.m_currentPage) + ":" + std::to_string(dlg.m_currentLine);
    for (uint16_t e : dlg.CurrentEnglish())
      key += std::to_string(e) + ",";
  }
  if (!force && key == m_suggestionsKey) return;
  m_suggestionsKey = key;
  CHandlerScope scope(*this);
  m_suggestions->ShowRows(dlg.m_team->CurrentSuggestions());
}

void CQuillanWindow::TakeSuggestion(int number) {
  if (!CanForward()) return;
  {
    CHandlerScope scope(*this);
    m_dlg->m_team->TakeSuggestion(number);
  }
  m_pane->setFocus();
}

void CQuillanWindow::AddMenuEntries(QWidget *menu, const std::vector<CMenuEntry> &entries) {
  auto *bar = qobject_cast<QMenuBar *>(menu);
  auto *popup = qobject_cast<QMenu *>(menu);
  for (const CMenuEntry &entry : entries) {
    QString caption = QString::fromStdString(entry.m_caption);
    if (entry.m_separator) {
      if (popup) popup->addSeparator();
      continue;
    }
    if (!entry.m_entries.empty() || entry.m_id == 0) {
      QMenu *sub = bar ? bar->addMenu(caption) : popup->addMenu(caption);
      AddMenuEntries(sub, entry.m_entries);
      continue;
    }
    QAction *action = bar ? bar->addAction(caption) : popup->addAction(caption);
    action->setData(entry.m_id);
    int id = entry.m_id;
    connect(action, &QAction::triggered, this, [this, id] { Command(id); });
    m_actions[id] = action;
  }
}

namespace {

// The width of a menu bar that shows every one of its menus.
int MenuBarWidth(const QMenuBar &bar) {
  const QStyle *style = bar.style();
  int width = 2 * (style->pixelMetric(QStyle::PM_MenuBarHMargin, nullptr, &bar) +
                   style->pixelMetric(QStyle::PM_MenuBarPanelWidth, nullptr, &bar));
  int spacing = style->pixelMetric(QStyle::PM_MenuBarItemSpacing, nullptr, &bar);
  for (QAction *action : bar.actions()) {
    QString text = action->text();
    text.remove(QLatin1Char('&'));
    QStyleOptionMenuItem option;
    option.initFrom(&bar);
    option.menuItemType = QStyleOptionMenuItem::Normal;
    option.text = text;
    QSize item = style->sizeFromContents(QStyle::CT_MenuBarItem, &option,
                                         bar.fontMetrics().size(Qt::TextShowMnemonic, text) + QSize(8, 0), &bar);
    width += item.width() + spacing + 4;
  }
  return width + 16;
}

} // namespace

void CQuillanWindow::BuildMenus() {
  QMenuBar *bar = menuBar();
  bar->clear();
  m_actions.clear();
  AddMenuEntries(bar, MainMenu(m_dlg->NameLabels()));
  // The panes' size, in the View menu of the project panels.
  m_project->AddMenu(bar, nullptr);
  QMenu *view = nullptr;
  for (QAction *action : bar->actions())
    if (action->menu() && action->text() == QStringLiteral("&View")) view = action->menu();
  if (!view) view = bar->addMenu(QStringLiteral("&View"));
  view->addSeparator();
  QAction *zoomIn = view->addAction(QStringLiteral("Zoom &In"));
  zoomIn->setShortcuts({QKeySequence::ZoomIn, QKeySequence(Qt::CTRL | Qt::Key_Equal)});
  connect(zoomIn, &QAction::triggered, this, [this] { SetZoomFactor(ZoomFactor() + 1); });
  QAction *zoomOut = view->addAction(QStringLiteral("Zoom &Out"));
  zoomOut->setShortcut(QKeySequence::ZoomOut);
  connect(zoomOut, &QAction::triggered, this, [this] { SetZoomFactor(ZoomFactor() - 1); });
  m_zoomIn = zoomIn;
  m_zoomOut = zoomOut;

  // The about box: no system menu to put it in, so a Help menu of its own.
  QMenu *help = bar->addMenu(QStringLiteral("&Help"));
  QAction *about = help->addAction(QStringLiteral("&About Quillan..."));
  about->setData(kIdAbout);
  connect(about, &QAction::triggered, this, [this] {
    if (!CanForward()) return;
    CHandlerScope scope(*this);
    m_dlg->OnSysCommand(kIdAbout);
  });
  m_actions[kIdAbout] = about;
  // The Suggestions panel joins the other panels in the View menu.
  for (QAction *top : bar->actions()) {
    if (!top->menu() || top->text().remove(QLatin1Char('&')) != QLatin1String("View")) continue;
    QAction *suggestions = m_suggestions->toggleViewAction();
    suggestions->setText(QStringLiteral("&Suggestions"));
    top->menu()->addAction(suggestions);
    break;
  }

  if (QAction *open = Action(kIdOpenJapaneseText)) open->setShortcut(QKeySequence::Open);
  if (QAction *save = Action(kIdSaveEnglishText)) save->setShortcut(QKeySequence::Save);
  if (QAction *undo = Action(kIdUndo)) undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
  if (QAction *redo = Action(kIdRedo))
    redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
  for (auto &[id, enabled] : m_menuEnabled)
    if (QAction *action = Action(id)) action->setEnabled(enabled);
  for (auto &[id, text] : m_menuText)
    if (QAction *action = Action(id)) action->setText(QString::fromStdString(text));
  // Every menu stays in sight: the window is never narrower than the bar
  // with all its menus side by side.
  m_outer->addStrut(MenuBarWidth(*bar));
}

int CQuillanWindow::ZoomFactor() const { return m_pane->Zoom(); }

void CQuillanWindow::SetZoomFactor(int zoom) {
  zoom = std::clamp(zoom, 1, kMaxZoom);
  m_pane->SetZoom(zoom);
  if (m_zoomIn) m_zoomIn->setEnabled(zoom < kMaxZoom);
  if (m_zoomOut) m_zoomOut->setEnabled(zoom > 1);
  centralWidget()->adjustSize();
  adjustSize();
}

int CQuillanWindow::StartZoom(QSize extra, QSize available) {
  int zoom = 1;
  for (int z = 2; z <= kMaxZoom; ++z)
    if (extra.width() + kClientWidth * z <= available.width() * 8 / 10 &&
        extra.height() + kClientHeight * z <= available.height() * 8 / 10)
      zoom = z;
  return zoom;
}

namespace {

QSettings WindowSettings() { return QSettings(QStringLiteral("Quillan"), QStringLiteral("Quillan")); }

} // namespace

void CQuillanWindow::RestoreSettings() {
  QSettings settings = WindowSettings();
  bool known = false;
  int zoom = settings.value(QStringLiteral("window/zoom")).toInt(&known);
  if (!known || zoom < 1) {
    SetZoomFactor(1);
    QScreen *place = screen() ? screen() : QGuiApplication::primaryScreen();
    QSize available = place ? place->availableGeometry().size() : QSize(1024, 768);
    QSize extra = sizeHint() - QSize(kClientWidth, kClientHeight);
    zoom = StartZoom(extra, available);
  }
  SetZoomFactor(zoom);
  QByteArray geometry = settings.value(QStringLiteral("window/geometry")).toByteArray();
  if (!geometry.isEmpty()) restoreGeometry(geometry);
}

void CQuillanWindow::SaveSettings() {
  QSettings settings = WindowSettings();
  settings.setValue(QStringLiteral("window/zoom"), ZoomFactor());
  settings.setValue(QStringLiteral("window/geometry"), saveGeometry());
}

QAction *CQuillanWindow::Action(int id) const {
  auto it = m_actions.find(id);
  return it == m_actions.end() ? nullptr : it->second;
}

QPushButton *CQuillanWindow::Button(int id) const {
  auto it = m_buttons.find(id);
  return it == m_buttons.end() ? nullptr : it->second;
}

CSpinArrows *CQuillanWindow::Spin(int id) const {
  auto it = m_spins.find(id);
  return it == m_spins.end() ? nullptr : it->second;
}

bool CQuillanWindow::CanForward() const { return m_initialized && !m_jobRunning && !m_ending; }

void CQuillanWindow::Command(int id) {
  if (!CanForward()) return;
  CHandlerScope scope(*this);
  m_dlg->OnCommand(id);
}

void CQuillanWindow::RunWhenFree(std::function<void()> handler) {
  if (m_ending) return;
  if (!CanForward() || m_handlerDepth > 0 || m_inEditTick) {
    QTimer::singleShot(50, this, [this, handler = std::move(handler)]() mutable { RunWhenFree(std::move(handler)); });
    return;
  }
  CHandlerScope scope(*this);
  handler();
}

void CQuillanWindow::RunHandler(const std::function<void()> &handler) {
  if (!CanForward()) return;
  CHandlerScope scope(*this);
  handler();
}

void CQuillanWindow::StartTimer(int id, int milliseconds) {
  QTimer *&timer = m_timers[id];
  if (!timer) {
    timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, [this, id] {
      if (!CanForward()) return;
      if (id == kTimerEdit) {
        RunEditTicks();
      } else if (id == kTimerBlink) {
        CHandlerScope scope(*this);
        m_dlg->BlinkTick();
      }
    });
  }
  timer->start(milliseconds);
}

void CQuillanWindow::RunEditTicks() {
  // A handler that waits in a message box lets ticks run; the editor itself
  // is not entered twice.
  if (m_inEditTick) return;
  m_inEditTick = true;
  CHandlerScope scope(*this);
  do {
    size_t before = m_keys.PendingCount();
    m_dlg->EditTick();
    if (m_keys.PendingCount() == before) {
      // The editor did not read the keyboard (no script yet, or no focus):
      // what was typed meanwhile is not kept for later.
      if (before) m_keys.DropQueued();
      break;
    }
  } while (m_keys.Pending() && CanForward());
  m_inEditTick = false;
}

void CQuillanWindow::OnKeyPressed(QKeyEvent *event) {
  if (event->key() == Qt::Key_Escape) {
    // Asks to save like every other way of closing; held, it asks once.
    if (!event->isAutoRepeat() && !m_escapeDown) {
      m_escapeDown = true;
      close();
    }
    return;
  }
  if (event->isAutoRepeat()) return; // a held key acts once (the source also drops presses of keys down)
  m_keys.Press(ScanCodeOf(*event), CharacterOf(*event), event->timestamp());
  if (CanForward()) RunEditTicks();
}

void CQuillanWindow::OnKeyReleased(QKeyEvent *event) {
  if (event->isAutoRepeat()) return;
  if (event->key() == Qt::Key_Escape) m_escapeDown = false;
  m_keys.Release(ScanCodeOf(*event), event->timestamp());
  if (CanForward()) RunEditTicks();
}

void CQuillanWindow::OnButtonReleased(Qt::MouseButton button, QPoint point) {
  if (!CanForward()) return;
  CHandlerScope scope(*this);
  if (button == Qt::LeftButton)
    m_dlg->OnLButtonUp(point.x(), point.y());
  else if (button == Qt::RightButton)
    m_dlg->OnRButtonUp(point.x(), point.y());
}

void CQuillanWindow::OnFocusChanged(bool focused) {
  if (!focused) {
    m_keys.Clear(); // keys released elsewhere never come back here
    m_escapeDown = false;
  }
  if (!CanForward()) return;
  CHandlerScope scope(*this);
  if (focused)
    m_dlg->OnSetFocus();
  else
    m_dlg->OnKillFocus();
}

void CQuillanWindow::OnScrollAction(int action) {
  if (!CanForward()) return;
  CScrollRequest request;
  switch (action) {
  case QAbstractSlider::SliderSingleStepSub:
    request = CScrollRequest::LineUp;
    break;
  case QAbstractSlider::SliderSingleStepAdd:
    request = CScrollRequest::LineDown;
    break;
  case QAbstractSlider::SliderPageStepSub:
    request = CScrollRequest::PageUp;
    break;
  case QAbstractSlider::SliderPageStepAdd:
    request = CScrollRequest::PageDown;
    break;
  case QAbstractSlider::SliderToMinimum:
    request = CScrollRequest::Top;
    break;
  case QAbstractSlider::SliderToMaximum:
    request = CScrollRequest::Bottom;
    break;
  case QAbstractSlider::SliderMove:
    request = CScrollRequest::ThumbTrack;
    break;
  default:
    return;
  }
  int position = m_scrollBar->sliderPosition();
  {
    CHandlerScope scope(*this);
    m_dlg->OnVScroll(request, position);
  }
  // The bar shows the line the dialog settled on, not where Qt moved it.
  m_scrollBar->setSliderPosition(m_scrollPos);
}

void CQuillanWindow::OnSpin(int control, int step) {
  if (!CanForward()) return;
  CHandlerScope scope(*this);
  m_dlg->OnSpin(control, step);
  // The dialog expects the two scroll-bar messages an up-down control sends
  // after its change, and swallows them; these controls send none.
  m_dlg->OnVScroll(CScrollRequest::EndScroll, m_scrollPos);
  m_dlg->OnVScroll(CScrollRequest::EndScroll, m_scrollPos);
  FocusPane();
}

void CQuillanWindow::PresentCanvas(const CPixelCanvas &canvas) { m_pane->SetImage(ImageFromCanvas(canvas)); }

void CQuillanWindow::SetScrollRange(int minimum, int maximum) {
  QSignalBlocker block(m_scrollBar);
  m_scrollBar->setRange(minimum, std::max(minimum, maximum));
  m_scrollPos = std::clamp(m_scrollPos, m_scrollBar->minimum(), m_scrollBar->maximum());
  m_scrollBar->setValue(m_scrollPos);
}

void CQuillanWindow::SetScrollPos(int position) {
  QSignalBlocker block(m_scrollBar);
  m_scrollPos = std::clamp(position, m_scrollBar->minimum(), m_scrollBar->maximum());
  m_scrollBar->setValue(m_scrollPos);
}

void CQuillanWindow::EnableMenuItem(int id, bool enabled) {
  m_menuEnabled[id] = enabled;
  if (QAction *action = Action(id)) action->setEnabled(enabled);
}

void CQuillanWindow::SetMenuItemText(int id, const std::string &text) {
  // Plain text from the dialog: its & are shown as they are, and the first
  // letter is the item's accelerator ("&Undo Typing").
  QString caption = QString::fromStdString(text).replace(QLatin1Char('&'), QStringLiteral("&&"));
  if (!caption.isEmpty()) caption.prepend(QLatin1Char('&'));
  m_menuText[id] = caption.toStdString();
  if (QAction *action = Action(id)) action->setText(caption);
}

void CQuillanWindow::FocusPane() { m_pane->setFocus(Qt::OtherFocusReason); }

void CQuillanWindow::EndDialog() {
  m_ending = true;
  for (auto &[id, timer] : m_timers)
    timer->stop();
  close();
}

void CQuillanWindow::SetJobRunning(bool running) {
  m_jobRunning = running;
  if (!running && m_initialized && !m_ending) OnFocusChanged(m_pane->hasFocus());
}

void CQuillanWindow::closeEvent(QCloseEvent *event) {
  if (m_ending || !m_initialized) {
    if (m_initialized && !m_settingsSaved) SaveSettings();
    m_settingsSaved = true;
    m_ending = true;
    for (auto &[id, timer] : m_timers)
      timer->stop();
    event->accept();
    return;
  }
  if (m_handlerDepth > 0 || m_jobRunning) {
    // A handler is waiting (for a reply, a job): close once it is done.
    m_closePending = true;
    event->ignore();
    return;
  }
  bool close;
  {
    CHandlerScope scope(*this);
    close = m_dlg->OnClose();
  }
  if (!close) {
    event->ignore();
    return;
  }
  m_ending = true;
  for (auto &[id, timer] : m_timers)
    timer->stop();
  SaveSettings();
  m_settingsSaved = true;
  event->accept();
}

} // namespace quillan

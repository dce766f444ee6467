#pragma once
// What the main dialog needs of the world, in one narrow interface: message
// boxes, the file dialog and the small modal dialogs, the clipboard, HTTP,
// keyboard state, timers, the scroll bar, menu items, status text, focus, the
// wait cursor and showing the drawn panes. The Qt front end implements it; the
// tests use a fake, so every handler of the dialog runs in a plain unit test.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/result.h"
#include "view/pixel_canvas.h"

namespace quillan {

class CFontViewerDlg;

// Buttons and icons of a message box; the answer is the button pressed.
enum class CMessageButtons { Ok, YesNoCancel, YesNo, OkCancel };
enum class CMessageIcon { None, Information, Warning, Error, Question };
enum class CMessageAnswer { Ok, Yes, No, Cancel };

// The reply of an HTTP GET: status 0 when no reply came (with a reason).
struct CHttpReply {
  int m_status = 0;
  std::string m_body;
  std::string m_error;
  bool m_cancelled = false; // the user pressed Cancel (status 0)
};

class CPlatform {
public:
  virtual ~CPlatform() = default;

  // Modal message box; an empty caption means the program's title.
  virtual CMessageAnswer MessageBox(const std::string &text, const std::string &caption = "",
                                    CMessageButtons buttons = CMessageButtons::Ok,
                                    CMessageIcon icon = CMessageIcon::None) = 0;

  // The open-file dialog. filter is in the form "Name (pattern)|pattern|...||";
  // returns the chosen path, or nothing when cancelled.
  virtual std::optional<std::filesystem::path> ChooseOpenFile(const std::string &defaultExtension,
                                                              const std::string &filter) = 0;
  // A folder chooser (drive selection offers it for copied discs and images).
  virtual std::optional<std::filesystem::path> ChooseFolder(const std::string &caption) = 0;
  // The save-file dialog, starting at suggested; the chosen path, or nothing
  // when cancelled (also where a platform has none).
  virtual std::optional<std::filesystem::path> ChooseSaveFile(const std::string &defaultExtension,
                                                              const std::string &filter,
                                                              const std::filesystem::path &suggested) {
    (void)defaultExtension, (void)filter, (void)suggested;
    return std::nullopt;
  }

  // The small modal dialogs; nothing means Cancel. Each keeps its range rules.
  // "Goto Line....": a line number 1-4294967295, starting at `current`.
  virtual std::optional<uint32_t> AskGotoLine(uint32_t current) = 0;
  // "Search": the text to look for.
  virtual std::optional<std::u16string> AskSearchText() = 0;
  // "Bubble Tilting Effect Amount" (t, 1-254), "Bubble Zooming Effect
  // Amount" (z, 1-255), "Tabbing Effect Amount" (h 2-255, l 1-255): the
  // ranges whose stored elements (t + 1, z, h - 1, l) are bytes 1-255, as a
  // 0 would end the text. Each starts at its smallest value.
  virtual std::optional<int> AskTiltAmount() = 0;
  virtual std::optional<int> AskZoomAmount() = 0;
  virtual std::optional<std::pair<int, int>> AskTabAmount() = 0;
  // "Insert Kanji Char": at most one character (empty allowed).
  virtual std::optional<std::u16string> AskKanjiChar() = 0;
  // The text-characters chart: the code of the cell double-clicked.
  virtual std::optional<int> AskChartCode() = 0;
  // The disc to copy: a mounted optical disc or a folder.
  virtual std::optional<std::filesystem::path> AskDisc() = 0;

  // Clipboard text (UTF-16).
  virtual void SetClipboardText(const std::u16string &text) = 0;
  virtual std::optional<std::u16string> ClipboardText() = 0;

  // An HTTP GET that does not wait for its reply: it returns at once, shows a
  // small progress window captioned `title` with a Cancel button while the
  // request runs, and later calls done on the window's thread with the reply
  // (status 0 and a reason on failure or after the time-out, m_cancelled when
  // the user pressed Cancel). One request at a time: starting another one, or
  // CancelHttpGet, drops the running one without calling its done.
  using CHttpDone = std::function<void(const CHttpReply &)>;
  virtual void StartHttpGet(const std::string &url, int timeoutMs, const std::string &title, CHttpDone done) = 0;
  virtual void CancelHttpGet() = 0;

  // Runs a long job with a progress dialog; the job gets a callback taking a
  // fraction (0-1) and a line of text, which returns false once the user
  // cancelled. The window stays responsive.
  using CProgressJob = std::function<void(const std::function<bool(double, const std::string &)> &)>;
  virtual void RunWithProgress(const std::string &title, const CProgressJob &job) = 0;

  // Window services.
  virtual void StartTimer(int id, int milliseconds) = 0;
  virtual void Present(const CPixelCanvas &canvas) = 0; // show the drawn client area
  virtual void SetScrollRange(int minimum, int maximum) = 0;
  virtual void SetScrollPos(int position) = 0;
  virtual int ScrollPos() = 0;
  virtual void EnableMenuItem(int id, bool enabled) = 0;
  virtual void SetMenuItemText(int /*id*/, const std::string & /*text*/) {} // Undo and Redo name their step
  virtual void SetStatusText(const std::string &text) = 0;
  virtual void SetTitle(const std::string &title) = 0;
  virtual void FocusDialog() = 0;
  virtual void BeginWaitCursor() = 0;
  virtual void EndWaitCursor() = 0;
  virtual bool IsMinimized() = 0;
  virtual void EndDialog() = 0; // close the main window
  virtual void ShowAbout() = 0;
  // Runs the font editor modally: shows dialog.Paint(), forwards clicks on
  // the glyph and its buttons to the dialog, and repaints after each.
  virtual void RunFontViewer(CFontViewerDlg &dialog) = 0;

  // A bitmap resource of the program (font sheets, pane, chart) as pixels.
  // By default the pictures built into the program.
  virtual CResult<CPixelCanvas> LoadBitmap(int resourceId);

  // Keyboard state for the keyboard reader: one byte per DirectInput scan
  // code (0x80 = down), and the layout character of a scan code (0 when the
  // key has none).
  virtual void KeyboardState(uint8_t (&state)[256]) = 0;
  virtual uint8_t TranslateKey(int scanCode) = 0;
};

} // namespace quillan

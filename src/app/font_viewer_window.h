#pragma once
// The window of the font editor ("copy"): the enlarged glyph, where a left
// click toggles the pixel under the pointer, and the buttons "OK", "/\"
// (previous glyph), "\/" (next glyph) and "Load Font". All the work is the
// core dialog's; this window forwards to it and repaints.

#include <QDialog>

class QLabel;
class QPushButton;

namespace quillan {

class CFontViewerDlg;

class CFontGlyphView : public QWidget {
  Q_OBJECT

public:
  CFontGlyphView(CFontViewerDlg &dialog, QWidget *parent = nullptr);

protected:
  void paintEvent(QPaintEvent *event) override;
  void mousePressEvent(QMouseEvent *event) override;

private:
  CFontViewerDlg &m_dialog;
};

class CFontViewerWindow : public QDialog {
  Q_OBJECT

public:
  explicit CFontViewerWindow(CFontViewerDlg &dialog, QWidget *parent = nullptr);

  CFontGlyphView *GlyphView() const { return m_view; }
  QPushButton *PreviousButton() const { return m_previous; }
  QPushButton *NextButton() const { return m_next; }
  QPushButton *LoadFontButton() const { return m_loadFont; }
  QLabel *GlyphLabel() const { return m_glyphLabel; }

private:
  void Refresh();

  CFontViewerDlg &m_dialog;
  CFontGlyphView *m_view = nullptr;
  QPushButton *m_previous = nullptr, *m_next = nullptr, *m_loadFont = nullptr;
  QLabel *m_glyphLabel = nullptr;
};

} // namespace quillan

#pragma once
// "Insert Kanji Char": asks for the one character a kanji bitmap shows.

#include <QDialog>

class QLineEdit;

class CInsertKanjiCharDlg : public QDialog {
  Q_OBJECT

public:
  explicit CInsertKanjiCharDlg(QWidget *parent = nullptr);

  // The text entered: at most one UTF-16 unit, empty when nothing was typed.
  QString Text() const;

private:
  QLineEdit *m_edit = nullptr;
};

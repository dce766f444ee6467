#pragma once
// The main window's small modal dialogs: "Goto Line....", "Search", "Insert
// Kanji Char" and the chart of the text characters.

#include <cstdint>
#include <optional>

#include <QDialog>
#include <QImage>

#include "app/amount_dialogs.h"

class QLineEdit;

namespace quillan {

// A line number, 1-4294967295, starting at the given one.
class CGotoLineDlg : public QDialog {
  Q_OBJECT

public:
  explicit CGotoLineDlg(uint32_t current, QWidget *parent = nullptr);

  QLineEdit *Field() const { return m_field; }
  std::optional<uint32_t> Value() const;
  void SetRangeMessage(CRangeMessage message) { m_rangeMessage = std::move(message); }

public slots:
  void accept() override;

private:
  QLineEdit *m_field = nullptr;
  CRangeMessage m_rangeMessage = ShowRangeMessage;
};

// One line of text; either dialog gives its text on OK.
class CTextFieldDlg : public QDialog {
  Q_OBJECT

public:
  // maxLength 0 means no limit.
  CTextFieldDlg(const QString &title, int maxLength, QWidget *parent = nullptr);

  QLineEdit *Field() const { return m_field; }
  // "Search" and "Insert Kanji Char" (at most one character).
  static CTextFieldDlg *Search(QWidget *parent) { return new CTextFieldDlg(QStringLiteral("Search"), 0, parent); }
  static CTextFieldDlg *KanjiChar(QWidget *parent) {
    return new CTextFieldDlg(QStringLiteral("Insert Kanji Char"), 1, parent);
  }

private:
  QLineEdit *m_field = nullptr;
};

// The 16 x 16 cells of the white sheet with the code numbers; a double click
// on a cell picks its code, 16 * row + column, and closes the chart.
class CTextCharChartDlg : public QDialog {
  Q_OBJECT

public:
  explicit CTextCharChartDlg(QImage chart, QWidget *parent = nullptr);

  std::optional<int> Code() const { return m_code; }

protected:
  void paintEvent(QPaintEvent *event) override;
  void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
  QImage m_chart;
  std::optional<int> m_code;
};

} // namespace quillan

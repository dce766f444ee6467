// The main window's small dialogs: amounts with their ranges and spin rules,
// the line number, the chart, and the file dialog's filter.

#include <memory>
#include <vector>

#include <QCoreApplication>
#include <QFontMetrics>
#include <QLineEdit>
#include <QMouseEvent>
#include <QStringList>
#include <QToolButton>
#include <gtest/gtest.h>

#include "app/amount_dialogs.h"
#include "app/qt_platform.h"
#include "app/small_dialogs.h"
#include "app/spin_arrows.h"
#include "app/title_width.h"

namespace quillan {
namespace {

TEST(SmallDialogsTest, AreWideEnoughForTheirWholeTitle) {
  std::vector<std::unique_ptr<QDialog>> dialogs;
  dialogs.emplace_back(new CAmountDlg(CAmountDlg::CKind::Tilt));
  dialogs.emplace_back(new CAmountDlg(CAmountDlg::CKind::Zoom));
  dialogs.emplace_back(new CAmountDlg(CAmountDlg::CKind::Tab));
  dialogs.emplace_back(new CGotoLineDlg(1));
  dialogs.emplace_back(CTextFieldDlg::Search(nullptr));
  dialogs.emplace_back(CTextFieldDlg::KanjiChar(nullptr));
  for (auto &dialog : dialogs) {
    dialog->show();
    QCoreApplication::processEvents();
    const QString title = dialog->windowTitle();
    EXPECT_GE(dialog->width(), QFontMetrics(dialog->font()).horizontalAdvance(title) + kTitleBarExtra)
        << title.toStdString();
    EXPECT_GE(dialog->width(), TitleWidth(title)) << title.toStdString();
    dialog->hide();
  }
}

TEST(AmountRulesTest, SingleValuesWrapInsideTheirRange) {
  struct CCase {
    int m_value, m_step;
    CAmountRange m_range;
    int m_result;
  } cases[] = {
      {1, -1, kTiltRange, 2},   {1, +1, kTiltRange, 254}, {254, -1, kTiltRange, 1}, {100, +1, kTiltRange, 99},
      {1, +1, kZoomRange, 255}, {255, -1, kZoomRange, 1}, {7, -1, kZoomRange, 8},
  };
  for (const CCase &c : cases)
    EXPECT_EQ(StepAmount(c.m_value, c.m_step, c.m_range), c.m_result) << c.m_value << " step " << c.m_step;
}

TEST(AmountRulesTest, TabCountsLikeTwoDigitsOfBase255) {
  struct CCase {
    int m_high, m_low, m_step, m_newHigh, m_newLow;
  } cases[] = {
      {2, 1, -1, 2, 2},       // up: l grows
      {2, 255, -1, 3, 1},     // l wraps up and carries into h
      {2, 1, +1, 255, 255},   // l wraps down and borrows; h below its range wraps too
      {255, 255, -1, 2, 1},   // h above its range wraps to its bottom
      {10, 1, +1, 9, 255},    // a plain borrow
      {10, 200, +1, 10, 199}, // down: l shrinks
  };
  for (const CCase &c : cases) {
    EXPECT_EQ(StepTab(c.m_high, c.m_low, c.m_step), std::pair(c.m_newHigh, c.m_newLow))
        << c.m_high << "," << c.m_low << " step " << c.m_step;
  }
}

struct CRecordedMessages {
  QStringList m_texts;
  CRangeMessage Hook() {
    return [this](QWidget *, const QString &text) { m_texts.append(text); };
  }
};

TEST(AmountDialogTest, OkRefusesValuesOutsideTheRangeAndKeepsTheDialog) {
  struct CCase {
    CAmountDlg::CKind m_kind;
    std::vector<QString> m_fields;
    bool m_accepted;
    QString m_message;
  } cases[] = {
      {CAmountDlg::CKind::Tilt, {QStringLiteral("254")}, true, {}},
      {CAmountDlg::CKind::Tilt, {QStringLiteral("255")}, false, QStringLiteral("between 1 and 254")},
      {CAmountDlg::CKind::Tilt, {QStringLiteral("0")}, false, QStringLiteral("between 1 and 254")},
      {CAmountDlg::CKind::Zoom, {QStringLiteral(" 255 ")}, true, {}},
      {CAmountDlg::CKind::Zoom, {QStringLiteral("0")}, false, QStringLiteral("between 1 and 255")},
      {CAmountDlg::CKind::Zoom, {QStringLiteral("x")}, false, QStringLiteral("between 1 and 255")},
      {CAmountDlg::CKind::Tab, {QStringLiteral("2"), QStringLiteral("1")}, true, {}},
      {CAmountDlg::CKind::Tab, {QStringLiteral("1"), QStringLiteral("1")}, false, QStringLiteral("between 2 and 255")},
      {CAmountDlg::CKind::Tab, {QStringLiteral("5"), QStringLiteral("")}, false, QStringLiteral("between 1 and 255")},
  };
  for (const CCase &c : cases) {
    CAmountDlg dialog(c.m_kind);
    CRecordedMessages messages;
    dialog.SetRangeMessage(messages.Hook());
    for (size_t i = 0; i < c.m_fields.size(); ++i)
      dialog.Field(int(i))->setText(c.m_fields[i]);
    dialog.show();
    dialog.accept();
    std::string name = c.m_fields.front().toStdString();
    EXPECT_EQ(dialog.result() == QDialog::Accepted, c.m_accepted) << name;
    EXPECT_EQ(dialog.isVisible(), !c.m_accepted) << name;
    if (c.m_accepted) {
      EXPECT_TRUE(messages.m_texts.isEmpty()) << name;
      ASSERT_TRUE(dialog.Values()) << name;
      EXPECT_EQ(int(dialog.Values()->size()), int(c.m_fields.size()));
    } else {
      ASSERT_EQ(messages.m_texts.size(), 1) << name;
      EXPECT_TRUE(messages.m_texts.front().contains(c.m_message)) << messages.m_texts.front().toStdString();
    }
  }
}

TEST(AmountDialogTest, TheSpinStepsTheFieldsAndLeavesAnInvalidFieldAlone) {
  CAmountDlg tab(CAmountDlg::CKind::Tab);
  EXPECT_EQ(tab.Field(0)->text(), QStringLiteral("2")); // the smallest h that stores a byte
  EXPECT_EQ(tab.Field(1)->text(), QStringLiteral("1"));
  tab.Spin()->DownButton()->click();
  EXPECT_EQ(tab.Values(), (std::vector<int>{255, 255}));
  tab.Spin()->UpButton()->click();
  EXPECT_EQ(tab.Values(), (std::vector<int>{2, 1}));
  tab.Field(1)->setText(QStringLiteral("255"));
  tab.Spin()->UpButton()->click();
  EXPECT_EQ(tab.Values(), (std::vector<int>{3, 1}));

  CAmountDlg tilt(CAmountDlg::CKind::Tilt);
  EXPECT_EQ(tilt.Field(0)->text(), QStringLiteral("1"));
  tilt.Spin()->DownButton()->click();
  EXPECT_EQ(tilt.Field(0)->text(), QStringLiteral("254"));
  tilt.Field(0)->setText(QStringLiteral("300"));
  tilt.Spin()->UpButton()->click();
  EXPECT_EQ(tilt.Field(0)->text(), QStringLiteral("300"));
}

TEST(GotoLineDialogTest, TakesLineNumbersFromOneToTheLargestUnsigned) {
  struct CCase {
    QString m_text;
    std::optional<uint32_t> m_value;
  } cases[] = {
      {QStringLiteral("1"), 1u},
      {QStringLiteral("256"), 256u},
      {QStringLiteral("4294967295"), 4294967295u},
      {QStringLiteral("0"), std::nullopt},
      {QStringLiteral("4294967296"), std::nullopt},
      {QStringLiteral("-1"), std::nullopt},
      {QStringLiteral(""), std::nullopt},
  };
  for (const CCase &c : cases) {
    CGotoLineDlg dialog(7);
    EXPECT_EQ(dialog.Field()->text(), QStringLiteral("7"));
    CRecordedMessages messages;
    dialog.SetRangeMessage(messages.Hook());
    dialog.Field()->setText(c.m_text);
    dialog.show();
    dialog.accept();
    EXPECT_EQ(dialog.Value(), c.m_value) << c.m_text.toStdString();
    EXPECT_EQ(dialog.result() == QDialog::Accepted, c.m_value.has_value()) << c.m_text.toStdString();
    EXPECT_EQ(messages.m_texts.size(), c.m_value ? 0 : 1) << c.m_text.toStdString();
  }
}

TEST(ChartDialogTest, ADoubleClickPicksTheCodeOfItsCell) {
  struct CCase {
    QPoint m_at;
    std::optional<int> m_code;
  } cases[] = {
      {{3 * 32 + 5, 14 * 32 + 31}, 0xE3},
      {{0, 0}, 0x00},
      {{511, 511}, 0xFF},
  };
  for (const CCase &c : cases) {
    CTextCharChartDlg chart{QImage()};
    chart.show();
    QMouseEvent click(QEvent::MouseButtonDblClick, QPointF(c.m_at), chart.mapToGlobal(QPointF(c.m_at)), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&chart, &click);
    EXPECT_EQ(chart.Code(), c.m_code);
    EXPECT_EQ(chart.result(), QDialog::Accepted);
  }
  // Closed without a double click: no code.
  CTextCharChartDlg chart{QImage()};
  chart.show();
  chart.reject();
  EXPECT_FALSE(chart.Code());
}

TEST(FileDialogFilterTest, TranslatesTheNamePatternPairs) {
  struct CCase {
    std::string m_filter;
    QString m_qt;
  } cases[] = {
      {"Moravel text file (x5*.bin)|x5*.bin|All Files (*.*)|*.*||",
       QStringLiteral("Moravel text file (x5*.bin X5*.BIN);;All Files (*)")},
      {"Text (*.txt;*.txn)|*.txt;*.txn||", QStringLiteral("Text (*.txt *.TXT *.txn *.TXN)")},
      {"Dat files|*.dat|", QStringLiteral("Dat files (*.dat *.DAT)")},
      {"", QString()},
  };
  for (const CCase &c : cases)
    EXPECT_EQ(FileDialogFilter(c.m_filter), c.m_qt) << c.m_filter;
}

} // namespace
} // namespace quillan

// The disc choice of Make CD: mounted discs, idle drives, a folder instead,
// and no way to end with OK and nothing chosen.

#include <QApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <gtest/gtest.h>

#include "app/drive_select_dlg.h"

namespace quillan {
namespace {

std::vector<COpticalDrive> TwoDrives() {
  return {COpticalDrive{"/dev/sr0", "/media/ann/TK7 DISC", "iso9660"}, COpticalDrive{"/dev/sr1", {}, {}}};
}

void PressKey(QWidget *widget, int key) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QApplication::sendEvent(widget, &press);
}

void DoubleClick(QListWidget *list, QListWidgetItem *item) {
  QPoint at = list->visualItemRect(item).center();
  QPointF local(at), global(list->viewport()->mapToGlobal(at));
  for (auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick,
                    QEvent::MouseButtonRelease}) {
    QMouseEvent event(type, local, global, Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(list->viewport(), &event);
  }
}

TEST(DriveSelectDlgTest, ListsDiscsAndTakesOneByDoubleClick) {
  CDriveSelectDlg dialog(nullptr, TwoDrives);
  dialog.show();
  EXPECT_EQ(dialog.windowTitle(), "Select a CD drive");
  auto *list = dialog.DriveList();
  ASSERT_EQ(list->count(), 2);
  EXPECT_EQ(list->item(0)->text(), "/media/ann/TK7 DISC  (/dev/sr0, iso9660)");
  EXPECT_EQ(list->item(1)->text(), "/dev/sr1  (no disc mounted)");
  EXPECT_FALSE(list->item(1)->flags() & Qt::ItemIsEnabled);
  EXPECT_TRUE(dialog.Root().empty());

  DoubleClick(list, list->item(1)); // the empty drive: nothing happens
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_TRUE(dialog.Root().empty());

  DoubleClick(list, list->item(0));
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(dialog.Root(), "/media/ann/TK7 DISC");
}

TEST(DriveSelectDlgTest, EnterTakesTheSelectedDiscAndNeverAnEmptyChoice) {
  CDriveSelectDlg withDisc(nullptr, TwoDrives);
  withDisc.show();
  EXPECT_TRUE(withDisc.OkButton()->isEnabled()); // the first disc is selected
  PressKey(&withDisc, Qt::Key_Return);
  EXPECT_EQ(withDisc.result(), QDialog::Accepted);
  EXPECT_EQ(withDisc.Root(), "/media/ann/TK7 DISC");

  // No disc anywhere: Enter and OK do nothing; only a folder or Cancel end it.
  CDriveSelectDlg empty(nullptr, [] { return std::vector<COpticalDrive>{COpticalDrive{"/dev/sr0", {}, {}}}; });
  empty.show();
  EXPECT_FALSE(empty.OkButton()->isEnabled());
  PressKey(&empty, Qt::Key_Return);
  PressKey(empty.DriveList(), Qt::Key_Return);
  EXPECT_TRUE(empty.isVisible());
  EXPECT_TRUE(empty.Root().empty());
  PressKey(&empty, Qt::Key_Escape);
  EXPECT_EQ(empty.result(), QDialog::Rejected);
  EXPECT_TRUE(empty.Root().empty());
}

TEST(DriveSelectDlgTest, AFolderCanStandInForTheDisc) {
  QString answer;
  int asked = 0;
  CDriveSelectDlg dialog(
      nullptr, [] { return std::vector<COpticalDrive>(); },
      [&](QWidget *) {
        ++asked;
        return answer;
      });
  dialog.show();
  EXPECT_EQ(dialog.DriveList()->count(), 0);
  dialog.FolderButton()->click(); // the folder dialog was cancelled
  EXPECT_EQ(asked, 1);
  EXPECT_TRUE(dialog.isVisible());
  answer = "/home/ann/TK7 copy";
  dialog.FolderButton()->click();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(dialog.Root(), "/home/ann/TK7 copy");
}

TEST(DriveSelectDlgTest, RefreshFindsADiscMountedMeanwhile) {
  bool mounted = false;
  CDriveSelectDlg dialog(nullptr, [&] {
    return std::vector<COpticalDrive>{mounted ? COpticalDrive{"/dev/sr0", "/media/ann/TK7", "udf"}
                                              : COpticalDrive{"/dev/sr0", {}, {}}};
  });
  dialog.show();
  EXPECT_FALSE(dialog.OkButton()->isEnabled());
  mounted = true;
  dialog.RefreshButton()->click();
  ASSERT_EQ(dialog.DriveList()->count(), 1);
  EXPECT_TRUE(dialog.OkButton()->isEnabled());
  dialog.OkButton()->click();
  EXPECT_EQ(dialog.Root(), "/media/ann/TK7");
}

} // namespace
} // namespace quillan

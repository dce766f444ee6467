// The optical disc list of the drive dialog, read from mount-table text.

#include <gtest/gtest.h>

#include "cdimage/drive_list.h"

namespace quillan {
namespace {

TEST(DriveListTest, DecodesTheMountTableEscapes) {
  struct CCase {
    const char *m_field;
    const char *m_text;
  } cases[] = {
      {"/media/ann/TK7\\040DISC", "/media/ann/TK7 DISC"},
      {"/mnt/a\\011b\\012c\\134d", "/mnt/a\tb\nc\\d"},
      {"/plain", "/plain"},
      {"/short\\04", "/short\\04"}, // too short to be an escape
      {"/not\\08octal", "/not\\08octal"},
      {"/end\\", "/end\\"},
  };
  for (const auto &c : cases) EXPECT_EQ(DecodeMountField(c.m_field), c.m_text) << c.m_field;
}

TEST(DriveListTest, ListsOpticalMountsThenIdleDrives) {
  const char *table = "sysfs /sys sysfs rw,nosuid 0 0\n"
                      "/dev/sda1 / ext4 rw,relatime 0 0\n"
                      "/dev/sr0 /media/ann/TK7\\040DISC iso9660 ro,nosuid,nodev 0 0\n"
                      "/dev/loop3 /mnt/image udf ro 0 0\n"
                      "/dev/sr1 /media/ann/odd vfat ro 0 0\n" // an optical drive with a disc of another format
                      "/dev/loop3 /mnt/image udf ro 0 0\n"    // the same mount twice
                      "/dev/sdb1 /media/ann/stick vfat rw 0 0\n"
                      "broken line\n"
                      "\n"
                      "/dev/loop4 /home/ann/iso\\040copy iso9660 ro 0 0";
  auto drives = ParseOpticalDrives(table, {"/dev/sr2", "/dev/sr0", "/dev/sr1", "/dev/sr2"});
  ASSERT_EQ(drives.size(), 5u);
  EXPECT_EQ(drives[0].m_device, "/dev/sr0");
  EXPECT_EQ(drives[0].m_mountPoint, "/media/ann/TK7 DISC");
  EXPECT_EQ(drives[0].m_fileSystem, "iso9660");
  EXPECT_EQ(drives[0].Label(), "/media/ann/TK7 DISC  (/dev/sr0, iso9660)");
  EXPECT_EQ(drives[1].m_mountPoint, "/mnt/image");
  EXPECT_EQ(drives[2].m_mountPoint, "/media/ann/odd");
  EXPECT_EQ(drives[3].m_mountPoint, "/home/ann/iso copy");
  // The drive without a mounted disc comes last, once, with no folder.
  EXPECT_EQ(drives[4].m_device, "/dev/sr2");
  EXPECT_FALSE(drives[4].Mounted());
  EXPECT_EQ(drives[4].Label(), "/dev/sr2  (no disc mounted)");
}

TEST(DriveListTest, AMachineWithoutDiscsHasAnEmptyList) {
  EXPECT_TRUE(ParseOpticalDrives("/dev/sda1 / ext4 rw 0 0\n", {}).empty());
  EXPECT_TRUE(ParseOpticalDrives("", {}).empty());
}

} // namespace
} // namespace quillan

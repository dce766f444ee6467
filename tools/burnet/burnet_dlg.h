#pragma once
// Burnet's only window: the folder holding the files for the disc, the full
// path of the image to create, OK to build, Cancel to leave. After a
// successful build it says what was written and closes (and the program
// ends); after a failed one it says what went wrong and stays open for
// another try.

#include <filesystem>
#include <functional>
#include <optional>

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace burnet {

class CBurnetDlg : public QDialog {
  Q_OBJECT

public:
  // Below the current folder, where the other programs keep their files.
  static constexpr const char *kStartFolder = "tk7-2";
  static constexpr const char *kStartImage = "temp.iso";

  // The base folder is the current folder at this moment.
  explicit CBurnetDlg(QWidget *parent = nullptr);

  // Runs the build with the typed values, with a progress dialog; true when
  // the image and the cue sheet were made (the window is then closed).
  bool Build();

  const std::filesystem::path &BaseDir() const { return m_baseDir; }
  // The image builder to use instead of looking for one.
  void SetBuilder(std::optional<std::filesystem::path> builder) { m_builder = std::move(builder); }
  // Where failure messages go (a message box by default).
  void SetMessageSink(std::function<void(const QString &)> sink) { m_messageSink = std::move(sink); }
  // Where the report of a successful build goes (a message box by default).
  void SetReportSink(std::function<void(const QString &)> sink) { m_reportSink = std::move(sink); }

  QLineEdit *FolderEdit() const { return m_folderEdit; }
  QLineEdit *ImageEdit() const { return m_imageEdit; }
  QPushButton *OkButton() const { return m_ok; }
  QPushButton *AboutButton() const { return m_about; }

private:
  void ShowAbout();
  void ShowFailure(const QString &text);

  std::filesystem::path m_baseDir;
  std::optional<std::filesystem::path> m_builder;
  std::function<void(const QString &)> m_messageSink;
  std::function<void(const QString &)> m_reportSink;
  QLineEdit *m_folderEdit = nullptr;
  QLineEdit *m_imageEdit = nullptr;
  QPushButton *m_ok = nullptr;
  QPushButton *m_about = nullptr;
};

} // namespace burnet

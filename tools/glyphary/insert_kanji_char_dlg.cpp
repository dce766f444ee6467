#include "insert_kanji_char_dlg.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QVBoxLayout>

#include "app/title_width.h"

CInsertKanjiCharDlg::CInsertKanjiCharDlg(QWidget *parent) : QDialog(parent) {
  setWindowTitle("Insert Kanji Char");
  m_edit = new QLineEdit(this);
  m_edit->setMaxLength(1);
  auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto *layout = new QVBoxLayout(this);
  layout->addWidget(m_edit);
  layout->addWidget(buttons);
  quillan::FitTitle(this);
}

QString CInsertKanjiCharDlg::Text() const { return m_edit->text().left(1); }

#pragma once
// The three dialogs that ask for the amount of a bubble effect: tilt, zoom
// and tab. Each has an edit field per value (the tab dialog two: h at the
// left, l at the right), an up-down control beside them and OK / Cancel. OK
// with a field that is not a whole number in its range shows the range
// message and keeps the dialog open.
//
// Every value ends up as one element of the English text, and the game's
// text holds bytes 1-255 (0 ends the text): tilt t is stored as t + 1, zoom
// z as z, tab h as h - 1. So tilt takes 1-254, zoom 1-255, tab h 2-255 and
// l 1-255, and the spin wraps inside those ranges.

#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include <QDialog>

class QLineEdit;

namespace quillan {

class CSpinArrows;

struct CAmountRange {
  int m_minimum;
  int m_maximum;
};

inline constexpr CAmountRange kTiltRange{1, 254};
inline constexpr CAmountRange kZoomRange{1, 255};
inline constexpr CAmountRange kTabHighRange{2, 255};
inline constexpr CAmountRange kTabLowRange{1, 255};

// One spin step of a single value: value - step, wrapping from below the
// range to its top and from above it to its bottom.
int StepAmount(int value, int step, CAmountRange range);
// One spin step of the tab amount: l steps, and h counts its wraps, the two
// together like the digits of a number in base 255 (l the lower one).
std::pair<int, int> StepTab(int high, int low, int step);

// The whole number in a field when it lies in [minimum, maximum]: digits,
// with spaces around them allowed.
std::optional<long long> FieldNumber(const QLineEdit *field, long long minimum, long long maximum);

// The standard range message of a field; the dialogs call it through a hook
// so that tests can see it without a modal box.
using CRangeMessage = std::function<void(QWidget *parent, const QString &text)>;
void ShowRangeMessage(QWidget *parent, const QString &text);
QString RangeMessageText(long long minimum, long long maximum);

class CAmountDlg : public QDialog {
  Q_OBJECT

public:
  enum class CKind { Tilt, Zoom, Tab };

  explicit CAmountDlg(CKind kind, QWidget *parent = nullptr);

  // The fields' values, when every field holds a number in its range.
  std::optional<std::vector<int>> Values() const;
  // The spin's step: reads the fields back (nothing happens when one is not
  // valid), applies the step and writes the fields.
  void Step(int step);

  // The fields in value order (tilt t, zoom z, tab h then l).
  QLineEdit *Field(int index) const { return m_fields[size_t(index)]; }
  CSpinArrows *Spin() const { return m_spin; }
  void SetRangeMessage(CRangeMessage message) { m_rangeMessage = std::move(message); }

  // Runs a dialog; the values on OK, nothing on Cancel.
  static std::optional<std::vector<int>> Ask(CKind kind, QWidget *parent);

public slots:
  void accept() override;

private:
  CKind m_kind;
  std::vector<QLineEdit *> m_fields;
  std::vector<CAmountRange> m_ranges;
  CSpinArrows *m_spin = nullptr;
  CRangeMessage m_rangeMessage = ShowRangeMessage;
};

} // namespace quillan

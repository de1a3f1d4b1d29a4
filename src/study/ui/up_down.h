#pragma once
// A spinner beside a line edit: two arrow buttons that step the number in the
// edit within a range, stopping at its ends. It only writes the edit's text;
// what the number means is for the window to decide when the user applies it.
#include <QWidget>
#include <cstdint>

class QLineEdit;
class QToolButton;

class UpDown final : public QWidget {
  Q_OBJECT

 public:
  UpDown(QLineEdit* associate, QWidget* parent);

  void setRange(std::uint16_t min, std::uint16_t max);
  // One step up (+1) or down (-1) from the number in the edit.
  void stepBy(int step);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QLineEdit* associate_;
  QToolButton* up_;
  QToolButton* down_;
  std::uint16_t min_ = 0;
  std::uint16_t max_ = 0;
};

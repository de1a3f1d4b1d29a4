#pragma once
// The range window: offers the question ranges diapazon.txt lists for the
// selected topic and stores the one the user accepts.
#include <vector>

#include "bank/range_file.h"
#include "bank/session_state.h"
#include "platform/ui/form.h"
#include "platform/ui/services.h"

class QPushButton;
class QRadioButton;

// TForm6: the choice of the question range diapazon.txt offers.
class TForm6 final : public TFormBase {
  Q_OBJECT

 public:
  // ranges are those loadRanges read for the selected topic, or why it could not;
  // questionCount is the size of the loaded bank, which a range must not leave.
  TForm6(SessionState& session, const Services& services, RangeList ranges,
         std::size_t questionCount, QWidget* owner);

  const std::vector<QRadioButton*>& rangeButtons() const { return buttons_; }

  void Button1Click();

 protected:
  void FormActivate() override;

 private:
  SessionState& session_;
  const Services& services_;
  RangeList ranges_;
  std::size_t questionCount_;
  std::vector<RangeEntry> entries_;
  std::vector<QRadioButton*> buttons_;
  QPushButton* Button1 = nullptr;
};

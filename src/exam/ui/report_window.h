#pragma once
// The report window: grades a finished test, lists its answers and appends
// the protocol record to the mode's log when it is closed.
#include <vector>

#include "bank/session_state.h"
#include "exam/report.h"
#include "exam/test_session.h"
#include "platform/ui/form.h"
#include "platform/ui/services.h"

class QLabel;
class QPushButton;
class QTimer;

// TForm12: the report of a finished test, which goes into the log.
class TForm12 final : public TFormBase {
  Q_OBJECT

 public:
  TForm12(const SessionState& session, const TestResults& results, const Services& services,
          QWidget* owner);

  const Evaluation& evaluation() const { return evaluation_; }
  const std::vector<QLabel*>& listingLabels() const { return ListingLabels; }
  // Whether the record of this test is in the log.
  bool recorded() const { return recorded_; }

  void Timer1Timer();
  void Button1Click();

 protected:
  void FormActivate() override;
  void closeEvent(QCloseEvent* event) override;

 private:
  // Widens the window for texts its design would cut.
  void fitTexts();
  // Appends the record; on a failure tells the user and returns false.
  bool writeProtocol();

  const SessionState& session_;
  const TestResults& results_;
  const Services& services_;
  bool exam_ = false;
  Evaluation evaluation_;
  ReportValues values_;
  bool evaluated_ = false;
  bool recorded_ = false;
  bool failureReported_ = false;

  QLabel* Label2 = nullptr;
  QLabel* Label4 = nullptr;
  QLabel* Label6 = nullptr;
  QLabel* Label8 = nullptr;
  QLabel* Label10 = nullptr;
  QLabel* Label12 = nullptr;
  QLabel* Label14 = nullptr;
  QLabel* Label16 = nullptr;
  QLabel* Label18 = nullptr;
  QLabel* Label20 = nullptr;
  QLabel* Label22 = nullptr;
  QLabel* Label24 = nullptr;
  QLabel* Label25 = nullptr;
  QLabel* Label27 = nullptr;
  std::vector<QLabel*> ListingLabels;
  QPushButton* Button1 = nullptr;
  QTimer* Timer1 = nullptr;
};

#pragma once
// The report window: grades a finished test and lists its answers. The
// test's record was kept before it opened; it only says where the record went
// when that was not the log, and tries again while it is nowhere.
#include <vector>

#include "bank/session_state.h"
#include "exam/report.h"
#include "exam/test_session.h"
#include "exam/ui/trace_keeping.h"
#include "platform/ui/form.h"
#include "platform/ui/services.h"

class QLabel;
class QPushButton;
class QTimer;

// TForm12: the report of a finished test, which goes into the log.
class TForm12 final : public TFormBase {
  Q_OBJECT

 public:
  // entry is the test's record and kept where it went.
  TForm12(const SessionState& session, const TestResults& results, const Services& services,
          const OutboxEntry& entry, const Kept& kept, QWidget* owner);

  const Evaluation& evaluation() const { return evaluation_; }
  const std::vector<QLabel*>& listingLabels() const { return ListingLabels; }
  // Where the record of this test is.
  Kept::Where kept() const { return kept_.where; }

  void Timer1Timer();
  void Button1Click();

 protected:
  void FormActivate() override;
  void closeEvent(QCloseEvent* event) override;

 private:
  // Tells where the record went when that is not the log.
  void tellWhereKept();
  // Widens the window for texts its design would cut.
  void fitTexts();

  const SessionState& session_;
  const TestResults& results_;
  const Services& services_;
  bool exam_ = false;
  Evaluation evaluation_;
  ReportValues values_;
  bool evaluated_ = false;
  const OutboxEntry& entry_;
  Kept kept_;

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

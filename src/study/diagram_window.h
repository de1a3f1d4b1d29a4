#pragma once
// The diagram window: the picture graph.txt maps the session's DiagramName to,
// looked up in the current directory, with the window fitted around it. It is
// opened by the consultation window and by the testing window alike.
#include "bank/session_state.h"
#include "platform/form.h"
#include "platform/services.h"

class QLabel;
class QPushButton;

class TForm9 final : public TFormBase {
  Q_OBJECT

 public:
  TForm9(SessionState& session, const Services& services, QWidget* owner);

  // The image control, empty when no picture was loaded.
  const QLabel* image() const { return Image1; }

  void Button1Click();  // "Вернуться"

 protected:
  void FormActivate() override;

 private:
  // Loads the picture into Image1, or tells the user why it cannot.
  void loadPicture(const std::string& name);

  SessionState& session_;
  const Services& services_;

  QLabel* Image1 = nullptr;
  QPushButton* Button1 = nullptr;
};

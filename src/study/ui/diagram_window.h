#pragma once
// The diagram window: the picture graph.txt maps the session's DiagramName to,
// looked up in the course folder named at the start and then in the current
// directory (without one named, the other way round), with the window fitted
// around it and within the screen. It is opened by the
// consultation window and by the testing window alike.
#include <QImage>
#include <QString>
#include <string>

#include "bank/session_state.h"
#include "platform/ui/form.h"
#include "platform/ui/picture.h"
#include "platform/ui/services.h"

class QLabel;
class QPushButton;

// How a picture file is read, by its name's extension.
PictureFormat pictureFormatOf(const std::string& name);

// TForm9: the diagram of a consultation or a test question.
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
  // Reads the picture, or tells the user why it cannot (a null image then).
  QImage loadPicture(const std::string& name);

  SessionState& session_;
  const Services& services_;

  QLabel* Image1 = nullptr;
  QPushButton* Button1 = nullptr;
};

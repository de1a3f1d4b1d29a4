#pragma once
// The common ground of the program's dialog windows: activation once per
// modal showing, Escape and the close box only where the design allows them,
// and sizes given either as client areas or as nominal outer sizes.
#include <QDialog>
#include <QPushButton>
#include <QRect>
#include <QSize>
#include <functional>

class QLabel;
class QPlainTextEdit;
class QTimer;

// A push button of the design on parent at place, named for tests and screen
// readers; a click calls handler on receiver. The main window, which is no
// dialog, places its buttons with this too.
template <class Receiver>
QPushButton* placeButton(QWidget* parent, const char* name, const QString& caption,
                         const QRect& place, Receiver* receiver, void (Receiver::*handler)()) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setGeometry(place);
  QObject::connect(button, &QPushButton::clicked, receiver, handler);
  return button;
}

class TFormBase : public QDialog {
  Q_OBJECT

 public:
  explicit TFormBase(QWidget* owner);

  // The outer size the design speaks of: client area plus the nominal frame.
  QSize nominalOuterSize() const;
  void setClientSize(int width, int height);
  void setOuterSize(int width, int height);
  // Centres the window's nominal outer rectangle on the screen.
  void centreOnScreen();
  // How many times FormActivate has run (tests wait for it).
  int activations() const { return activations_; }

 protected:
  // Runs once each time the window is shown, after the showing, from the event
  // loop (so that a message box or closing the window from it is safe).
  virtual void FormActivate() {}

  // The window's name, caption, client size, background colour and font, as
  // every window of the design opens with.
  void applyDesign(const char* name, const QString& caption, const QSize& clientSize,
                   const QColor& background, const QFont& font);

  // A label of the design at (left, top), sized to its caption, which it shows
  // as plain text.
  QLabel* placeLabel(const char* name, const QString& caption, int left, int top);
  // A push button of the design at place whose click calls the window's handler.
  template <class Form>
  QPushButton* placeButton(const char* name, const QString& caption, const QRect& place,
                           void (Form::*handler)()) {
    return ::placeButton(this, name, caption, place, static_cast<Form*>(this), handler);
  }
  // A read-only text box of the design at place (see design::readOnlyMemo);
  // spokenName is what a screen reader says for it.
  QPlainTextEdit* placeMemo(const char* name, const QRect& place, const QColor& background,
                            const QString& spokenName);
  // A timer of the given interval that calls handler; started when enabled.
  QTimer* addTimer(int intervalMs, const std::function<void()>& handler, bool enabled);

  // Escape closes the window only when it has a cancel button.
  void setEscapeCloses(bool on) { escapeCloses_ = on; }
  // Whether the window manager's close command may close the window.
  void setCloseBox(bool on);
  // A single fixed border with the system menu and its close box, and a
  // minimise box when asked for.
  void setBorderIcons(bool minimiseBox);

  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  bool escapeCloses_ = false;
  bool closeBox_ = true;
  int showing_ = 0;
  int activations_ = 0;
};

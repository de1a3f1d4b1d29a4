#pragma once
// The common ground of the program's dialog windows: activation once per
// modal showing, Escape and the close box only where the design allows them,
// and sizes given either as client areas or as nominal outer sizes.
#include <QDialog>
#include <QSize>
#include <functional>

class QLabel;
class QTimer;

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

  // A label of the design at (left, top), sized to its caption, which it shows
  // as plain text.
  QLabel* placeLabel(const char* name, const QString& caption, int left, int top);
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

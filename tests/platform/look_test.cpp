// Every window on a light and on a dark desktop: readable text, named edits,
// and a visible focus frame on radio buttons.
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleFactory>
#include <QtTest>
#include <functional>
#include <memory>

#include "app/ui/main_window.h"
#include "app/ui/title_window.h"
#include "bank/ui/mode_window.h"
#include "platform/ui/design.h"
#include "support/test_support.h"

namespace {

// A dark desktop scheme: light grey text on near-black windows and edits.
QPalette darkPalette() {
  QPalette p;
  const QColor window(53, 53, 53), base(35, 35, 35), text(220, 220, 220);
  for (const auto group : {QPalette::Active, QPalette::Inactive}) {
    p.setColor(group, QPalette::Window, window);
    p.setColor(group, QPalette::WindowText, text);
    p.setColor(group, QPalette::Base, base);
    p.setColor(group, QPalette::AlternateBase, window);
    p.setColor(group, QPalette::Text, text);
    p.setColor(group, QPalette::Button, window);
    p.setColor(group, QPalette::ButtonText, text);
    p.setColor(group, QPalette::Highlight, QColor(42, 130, 218));
    p.setColor(group, QPalette::HighlightedText, Qt::black);
  }
  p.setColor(QPalette::Disabled, QPalette::WindowText, QColor(127, 127, 127));
  p.setColor(QPalette::Disabled, QPalette::Text, QColor(127, 127, 127));
  p.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(127, 127, 127));
  return p;
}

// Where a widget's text is drawn: its text role and the colour it stands on.
struct TextPlace {
  QPalette::ColorRole text;
  QColor background;
};

// The nearest widget that paints itself gives the background a label shows through.
QColor shownBackground(const QWidget* w, QPalette::ColorGroup group) {
  const QWidget* painted = w;
  while (!painted->isWindow() && !painted->autoFillBackground()) painted = painted->parentWidget();
  return painted->palette().color(group, painted->backgroundRole());
}

std::optional<TextPlace> textPlace(const QWidget* w, QPalette::ColorGroup group) {
  const QPalette& p = w->palette();
  if (auto* label = qobject_cast<const QLabel*>(w); label && !label->text().isEmpty())
    return TextPlace{QPalette::WindowText, shownBackground(w, group)};
  if (qobject_cast<const QRadioButton*>(w))
    return TextPlace{QPalette::WindowText, shownBackground(w, group)};
  if (qobject_cast<const QPushButton*>(w))
    return TextPlace{QPalette::ButtonText, p.color(group, QPalette::Button)};
  if (qobject_cast<const QLineEdit*>(w) || qobject_cast<const QPlainTextEdit*>(w))
    return TextPlace{QPalette::Text, p.color(group, QPalette::Base)};
  if (qobject_cast<const QMenuBar*>(w))
    return TextPlace{QPalette::ButtonText, p.color(group, QPalette::Window)};
  return std::nullopt;
}

QString describe(const QWidget* w) {
  QString name = w->window()->objectName() + QLatin1Char('/') + w->objectName();
  if (auto* label = qobject_cast<const QLabel*>(w))
    name += QStringLiteral(" \"%1\"").arg(label->text());
  if (auto* button = qobject_cast<const QAbstractButton*>(w))
    name += QStringLiteral(" \"%1\"").arg(button->text());
  return name;
}

// Disabled controls are left out: their grey is meant to read as "not now".
void checkWindow(QWidget* window, QStringList& faults, int& checked) {
  QList<QWidget*> widgets = window->findChildren<QWidget*>();
  widgets.prepend(window);
  for (QWidget* w : widgets) {
    if (!w->isVisible() || !w->isEnabled()) continue;
    for (const auto group : {QPalette::Active, QPalette::Inactive}) {
      const std::optional<TextPlace> place = textPlace(w, group);
      if (!place) continue;
      ++checked;
      const QColor text = w->palette().color(group, place->text);
      const double ratio = design::contrastRatio(text, place->background);
      if (ratio < design::kMinimumContrast)
        faults << QStringLiteral("%1: %2 on %3, %4")
                      .arg(describe(w), text.name(), place->background.name())
                      .arg(ratio, 0, 'f', 2);
    }
    if (qobject_cast<QLineEdit*>(w) || qobject_cast<QAbstractSpinBox*>(w) ||
        qobject_cast<QPlainTextEdit*>(w)) {
      ++checked;
      QAccessibleInterface* access = QAccessible::queryAccessibleInterface(w);
      if (!access || access->text(QAccessible::Name).trimmed().isEmpty())
        faults << describe(w) + QStringLiteral(": no accessible name");
    }
  }
}

// Shows a window without its own modal loop, lets it activate, checks it and closes it.
void showAndCheck(TFormBase& window, QStringList& faults, int& checked) {
  window.show();
  QTRY_VERIFY(window.activations() > 0);
  settle();
  checkWindow(&window, faults, checked);
  window.hide();
}

}  // namespace

class LookTest : public QObject {
  Q_OBJECT

  std::unique_ptr<TempFolder> folder;
  std::unique_ptr<FakeServices> fakes;

 private slots:
  void initTestCase() {
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    design::installStyle();
    design::installFontSubstitutions();
    folder = std::make_unique<TempFolder>();
    folder->copySampleCourse();
    QDir::setCurrent(QString::fromStdString(folder->path()));  // graph.txt and the pictures
  }

  void init() { fakes = std::make_unique<FakeServices>(); }

  void everyWindowReadsAndNamesItsEdits_data() {
    QTest::addColumn<bool>("dark");
    QTest::newRow("light desktop") << false;
    QTest::newRow("dark desktop") << true;
  }

  void everyWindowReadsAndNamesItsEdits() {
    QFETCH(bool, dark);
    QApplication::setPalette(dark ? darkPalette() : QApplication::style()->standardPalette());
    const Services services = fakes->services(folder->path());
    QStringList faults;
    int checked = 0;

    std::unique_ptr<TForm2> mainWindow;
    whileModal([&] { mainWindow = std::make_unique<TForm2>(services); },
               [&](QWidget* modal) {
                 if (auto* title = qobject_cast<TForm1*>(modal);
                     title && title->activations() > 0) {
                   checkWindow(title, faults, checked);
                   title->findChild<QPushButton*>(QStringLiteral("Button1"))->click();
                 }
                 return true;
               });
    mainWindow->show();
    QVERIFY(QTest::qWaitForWindowExposed(mainWindow.get()));
    settle();
    checkWindow(mainWindow.get(), faults, checked);

    // Each grade has its own colour; a pass/fail test has two more.
    const std::vector<ReportCase> reports{{true, 0}, {true, 1},  {true, 2},
                                          {true, 3}, {false, 0}, {false, 3}};
    QVERIFY(forEachWindow(
        services, folder->path(), reports, [&](TFormBase& window, const QString& name) {
          showAndCheck(window, faults, checked);
          if (name != QStringLiteral("TForm10")) return;
          auto* edit = window.findChild<QLineEdit*>(QStringLiteral("Edit2"));
          QCOMPARE(QAccessible::queryAccessibleInterface(edit)->text(QAccessible::Name),
                   u8("Фамилия И.О."));
        }));

    faults.removeDuplicates();  // the active and the inactive scheme usually fail alike
    for (const QString& fault : faults) qWarning().noquote() << fault;
    QVERIFY2(faults.isEmpty(), "text that does not read, or an edit without a name (see above)");
    QVERIFY(checked > 100);
  }

  void focusedRadioButtonShowsAFrame() {
    QApplication::setPalette(QApplication::style()->standardPalette());
    SessionState session;
    session.TopicCount = 4;
    session.SelectedTopic = 1;
    const Services services = fakes->services(folder->path());  // the window keeps a reference
    TForm4 window(session, services, nullptr);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    auto* first = window.findChild<QRadioButton*>(QStringLiteral("RadioButton1"));
    auto* second = window.findChild<QRadioButton*>(QStringLiteral("RadioButton2"));
    second->setFocus();
    QTRY_VERIFY(second->hasFocus());
    const QImage unfocused = first->grab().toImage();
    first->setFocus();  // given by the program, not by a Tab press
    QTRY_VERIFY(first->hasFocus());
    QVERIFY(first->grab().toImage() != unfocused);
  }
};

QTEST_MAIN(LookTest)
#include "look_test.moc"

#pragma once
// The look the windows were designed with: named colours, fonts by the names
// of the layouts, and the nominal frame that turns outer sizes into client sizes.
#include <QColor>
#include <QFont>
#include <QSize>
#include <QString>

class QPlainTextEdit;
class QWidget;

namespace design {

// Colours of the classic desktop scheme the layouts name.
inline const QColor clInfoBk{0xFF, 0xFF, 0xE1};
inline const QColor clSilver{0xC0, 0xC0, 0xC0};
inline const QColor clActiveBorder{0xD4, 0xD0, 0xC8};
inline const QColor clActiveCaption{0x0A, 0x24, 0x6A};
inline const QColor clBlue{0x00, 0x00, 0xFF};
inline const QColor clRed{0xFF, 0x00, 0x00};
inline const QColor clGreen{0x00, 0x80, 0x00};
inline const QColor clFuchsia{0xFF, 0x00, 0xFF};
inline const QColor clCream{0xFF, 0xFB, 0xF0};
inline const QColor clBtnFace{0xD4, 0xD0, 0xC8};

// The nominal frame of a captioned window: borders left and right, caption and
// borders top and bottom, and the main window's menu bar. Outer sizes of the
// layouts map to client sizes by subtracting these, whatever the window manager draws.
constexpr int kFrameWidth = 6;
constexpr int kFrameHeight = 25;
constexpr int kMenuHeight = 19;

// Fonts by the names the layouts use, given as the metric-compatible families
// installed with the program (Liberation Serif for "Times New Roman" and its
// Cyrillic names, Liberation Sans for "MS Sans Serif"); sizes are pixel heights.
QFont font(const QString& family, int pixelSize, bool bold = false, bool italic = false);

// The same mapping for a font that names a layout's family itself, as a
// substitution of the font database. Call once before the first window is created.
void installFontSubstitutions();

// Moves a top-level window so that a rectangle of the given outer size stands
// in the middle of the primary screen.
void centreOnScreen(QWidget* window, const QSize& outerSize);

// A read-only multi-line text box with a vertical scroll bar whose reader can
// still move through the text with the keys. Its name is what a screen reader
// says for it.
QPlainTextEdit* readOnlyMemo(QWidget* parent, const QColor& background, const QString& name);

// Paints a widget in a fixed colour together with everything drawn on it: black
// text, white edits, button faces and grey disabled text of the classic scheme,
// so that a dark desktop palette cannot put light text on the light background.
void paintBackground(QWidget* widget, const QColor& colour);
// Text colour of a widget's labels, edits and buttons, each darkened where
// needed to stay readable on its own background (see readableOn).
void setTextColour(QWidget* widget, const QColor& colour);

// The smallest contrast between a text and its background that stays readable
// on a projector or for weak eyes (WCAG level AA for normal text).
constexpr double kMinimumContrast = 4.5;
// The WCAG contrast ratio of two colours, from 1 (equal) to 21 (black and white).
double contrastRatio(const QColor& a, const QColor& b);
// The colour itself when it reads on the background; otherwise the nearest
// darker shade of the same hue that does (pure yellow on cream would vanish).
QColor readableOn(const QColor& text, const QColor& background);

// Wraps the application's style so that a focused radio button always shows
// a focus frame: the stock styles draw it only after a Tab key press and then
// only as a faint tint. Call once after the application object exists.
void installStyle();

}  // namespace design

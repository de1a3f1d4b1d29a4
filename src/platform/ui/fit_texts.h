#pragma once
// Windows that show a course's or a candidate's texts: widened for a text
// their designed width would cut, and a text too wide even for the screen
// broken into lines, with what stands below it moved down.
#include <QList>

class QWidget;

// Widens the window whose client area is client (a widget of fixed size) until
// each of texts (labels or buttons on client) shows whole, by widenedOuterWidth,
// but no wider than the screen's available width; a text still too wide is
// wrapped (wrapText). A window whose texts fit keeps designedClientWidth.
// Returns the width added to the design.
int widenForTexts(QWidget* client, int designedClientWidth, const QList<QWidget*>& texts);

// Breaks the text of a label or button on client into lines no wider than
// width pixels (the button's indicator included), at blanks where it can. The
// controls of client below it move down by the height it gains, and client grows.
void wrapText(QWidget* client, QWidget* text, int width);

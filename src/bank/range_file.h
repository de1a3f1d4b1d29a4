#pragma once
// diapazon.txt: the question ranges a course author offers for each topic,
// and the size of the window that offers them.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/data_error.h"
#include "platform/expected.h"

struct RangeEntry {
  std::string firstText;  // as written; read as a number only when chosen
  std::string lastText;
  std::string caption;  // the rest of the line, underscores included
  unsigned line = 0;    // 1-based line in the file
};

// The range lines of the topic's sections, in file order; or the first line
// outside the format, and then none is offered.
using RangeList = Expected<std::vector<RangeEntry>, DataError>;

// Reads the range lines of one topic from the lines of diapazon.txt.
RangeList readRanges(const std::vector<std::string>& lines, unsigned topic);
// The same from the file in folder; a file that is not there is FileMissing,
// one that cannot be read CannotRead.
RangeList loadRanges(const std::string& folder, unsigned topic);

struct QuestionRange {
  std::uint16_t first = 0;
  std::uint16_t last = 0;
};

// The range a chosen entry stands for, when its numbers are decimal, in order
// and within 1..questionCount; otherwise the fault, naming the entry's line.
using RangeChoice = Expected<QuestionRange, DataError>;
RangeChoice chooseRange(const RangeEntry& entry, std::size_t questionCount);

// The range a pass works in, decided here only: with all topics (topic 0) the
// whole bank; with one topic the stored range when it lies within the bank, else
// the whole bank (a range left over from another topic, or none at all). The
// whole bank stops at the 16-bit limit; an empty bank gives the empty range 1..0.
QuestionRange workingRange(unsigned topic, QuestionRange stored, std::size_t questionCount);

// True when range lies within 1..questionCount: the windows that work in a range
// refuse one that does not, rather than read past the bank.
bool withinBank(QuestionRange range, std::size_t questionCount);

// Geometry of the range window for the given captions (n > 0 of them).
struct RangeWindowLayout {
  std::vector<int> buttonTops;    // 20*i + 20
  std::vector<int> buttonWidths;  // 6 per character
  int outerWidth = 0;             // widest + 40
  int outerHeight = 0;            // 20*n + 105
  int acceptLeft = 0;             // "Принять", 75 wide, centred
  int acceptTop = 0;              // 20*n + 35
};
RangeWindowLayout layoutRangeWindow(const std::vector<std::string>& captions);
// The rule by which a window widens for a text its designed width would cut:
// a text standing at left (in the client area) that needs width pixels makes
// the window left + width + 16 wide (outer), keeping ten pixels inside the
// frame, as the range window's widest caption plus 40 does for captions at 24.
// A text that fits the designed width leaves the window as it is.
int widenedOuterWidth(int designedOuterWidth, int frameWidth, int left, int width);

// The estimate of 6 pixels a character leaves no room for the round indicator:
// each button gets the width its caption really needs (neededWidths, parallel
// to the captions), and where a button standing at buttonLeft would then be
// cut by the window's edge, the window widens by the layout's own rule
// (widest + 40) and "Принять" is centred again.
void fitCaptions(RangeWindowLayout& layout, const std::vector<int>& neededWidths, int buttonLeft,
                 int frameWidth);

// Where a window of the new outer size stands so that its centre stays where
// it was (never left of or above the screen's origin).
struct WindowPlace {
  int left = 0;
  int top = 0;
};
WindowPlace recentre(int oldLeft, int oldTop, int oldWidth, int oldHeight, int newWidth,
                     int newHeight);

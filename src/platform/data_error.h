#pragma once
// A fault in a course file that the user has to see: which file, which line
// and what is wrong with it. Texts are code page 1251.
#include <string>
#include <string_view>

struct DataError {
  enum class Code {
    FileMissing,    // the file does not exist
    CannotRead,     // it exists but cannot be read
    BadTopicDigit,  // position 4 of a topic marker line is not a digit
    BadQuestionNumber,
    BadAnswerDigit,
    BadOptionDigit,
    BadSetElement,
    EmptyLine,
    NoQuestions,        // a topic without any question line
    BadStructure,       // a line where the grammar allows none (e.g. a record before any set line)
    BadRange,           // a range that is not two decimal numbers in order within the bank
    BadText,            // not text, or UTF-8 with a character code page 1251 lacks
    BadPicture,         // a picture its reader refuses: damaged, too large, or not of its format
    UnsupportedFormat,  // a picture of a format the program has no reader for
  };
  Code code;
  std::string file;   // bare file name, e.g. "vopros.txt"
  unsigned line = 0;  // 1-based; 0 when the fault concerns the whole file
  std::string what;   // code page 1251, a short Russian sentence
};

// The text of the message box: the file, the line (when known) and the fault.
// Control bytes copied from a file into it are shown escaped (see visibleControls).
std::string describe(const DataError& error);

// The text with every control byte (below 0x20, and 0x7F) written as a visible
// escape such as "\x00", so that a NUL or a line end taken from a file cannot cut
// or garble a message.
std::string visibleControls(std::string_view text);

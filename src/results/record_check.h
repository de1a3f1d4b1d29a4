#pragma once
// Whether a record read from a log can be true: the program writes the fields
// of a record from one test, so they are bound together by the test's rules
// (ten questions at most, without repetition, within the range; the stop at
// the third wrong answer; the time limit; the grade by the error count). A
// record that breaks them was edited or written by hand and is not counted.
#include <optional>
#include <string>
#include <string_view>

#include "results/log_reader.h"

// The day of a date as the program writes it, "05.03.2024", counted from
// 1 January 1970; nothing for another shape or a day no calendar has.
std::optional<long> civilDay(std::string_view date);
// Whether the date has the program's shape, two digits, a point, two digits, a
// point and four digits, whatever their values.
bool datedLikeTheProgram(std::string_view date);

// Seconds since midnight of a time as the program writes it, "07:08:09";
// nothing for another shape or an hour, minute or second no clock shows.
std::optional<int> secondOfDay(std::string_view time);
bool timedLikeTheProgram(std::string_view time);

// The most options of a question that a record may name. The testing window
// would show more, scrolled, but the course checker warns about every card too
// tall for a small screen (from 27 one-line options): a record naming more is
// taken for an edited one.
constexpr unsigned kMostOptions = 30;

// Why the record cannot be true (code page 1251, a short Russian phrase), or
// nothing when its fields agree. Dates and times of another shape than the
// program's own are left alone: older logs were written with the system's formats.
std::optional<std::string> contradiction(const LogRecord& record);

#pragma once
// Date and time as the report, the registration and the logs show them: the
// Russian numeric formats, whatever the machine's locale, and no time zone,
// so that a log never changes its format with the environment.
#include <QDateTime>
#include <string>

std::string shortDate(const QDateTime& moment);  // "05.03.2024"
std::string longTime(const QDateTime& moment);   // "07:08:09"

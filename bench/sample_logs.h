#pragma once
// Protocol logs of invented classes, written with the program's own record
// writer: for the results benchmark and for trying the results tool.
#include <cstddef>
#include <string>

// `count` records of one mode, code page 1251, as the program appends them.
// Candidates of varied ability answer questions of varied difficulty; a few
// questions are ones the strong candidates get wrong more often. Varied logs
// hold 40 topics and 1,250 groups, as a whole region's would.
// With `journal`, the start journal of the same tests is written there: a
// start mark for each record, and for every 200th test one more, of a test
// ended half a minute to two minutes into it and begun again.
std::string sampleLog(std::size_t count, bool exam, unsigned seed, bool varied = false,
                      std::string* journal = nullptr);

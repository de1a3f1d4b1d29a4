#pragma once
// The results as one self-contained HTML page (UTF-8): grade charts as inline
// SVG, the question analysis and a sortable table of the records. It needs no
// network and prints on A4.
#include <string>
#include <string_view>
#include <vector>

#include "results/analysis.h"

// Text made safe inside HTML elements and attribute values.
std::string htmlEscape(std::string_view utf8);

// notes: lines in UTF-8 under the summary (the files read, what was skipped).
std::string resultsPage(const std::vector<LogRecord>& records, const Summary& summary,
                        const std::vector<std::string>& notes);

#pragma once
// The results as one self-contained HTML page (UTF-8): grade charts as inline
// SVG, the question analysis with the options chosen, the candidates who have
// not passed yet and a sortable table of the latest records. It needs no
// network, prints on A4 and stays under 5 MB whatever the logs: each section
// shows what fits in its share and says how much more the CSV files hold.
#include <string>
#include <string_view>
#include <vector>

#include "results/analysis.h"

// Text made safe inside HTML elements and attribute values.
std::string htmlEscape(std::string_view utf8);

// Log text (code page 1251) ready to stand in a page.
std::string htmlFromCp1251(const std::string& cp1251);

// A colour as CSS writes it: rgb(r,g,b).
std::string cssRgb(const Rgb& c);

struct Mismatch;

// notes: lines in UTF-8 under the summary (the files read, what was skipped).
// mismatches: the logs compared with the records server, when they were.
std::string resultsPage(const Summary& summary, const std::vector<std::string>& notes,
                        const std::vector<Mismatch>* mismatches = nullptr);

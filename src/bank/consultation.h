#pragma once
// The consultation of a question: which block of konsult.txt explains it, the
// lines a reader sees and the diagram its first line names. The testing
// window's card and the consultation window both go through here.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "bank/question_bank.h"

// Length of a diagram marker such as "$diagram_0007$"; a line that contains
// "$diagram" anywhere is shown without this many leading characters.
constexpr std::size_t kDiagramMarkerLength = 14;

// Index into ConsultBlocks of the block that explains question questionNumber
// (1-based): the last block whose set names it, else the first block. nullopt
// when there is no block at all.
std::optional<std::size_t> consultBlockOf(const QuestionBank& bank, unsigned questionNumber);

// The text between the first two '$' of a line that contains "$diagram"
// ("diagram_0007"); empty for a marker that is never closed, nullopt for a
// line without the marker.
std::optional<std::string> diagramOfLine(std::string_view line);

// A line of a block as the reader sees it.
std::string shownConsultLine(std::string_view line);

struct Consultation {
  std::vector<std::string> lines;          // as shown, in block order
  std::optional<std::string> diagramName;  // named by the block's first line only
};

Consultation consultationOf(const QuestionBank& bank, unsigned questionNumber);

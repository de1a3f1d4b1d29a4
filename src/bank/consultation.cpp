#include "bank/consultation.h"

#include <algorithm>

#include "bank/course_files.h"

namespace {
constexpr std::string_view kMarker = "$diagram";

bool hasMarker(std::string_view line) { return line.find(kMarker) != std::string_view::npos; }
}  // namespace

std::optional<std::size_t> consultBlockOf(const QuestionBank& bank, unsigned questionNumber) {
  if (bank.ConsultBlocks.empty()) return std::nullopt;
  std::size_t block = 0;  // a question no block names is explained by the first one
  const std::size_t sets = std::min(bank.ConsultTexts.size(), bank.ConsultBlocks.size());
  for (std::size_t i = 0; i < sets; ++i)
    if (setContains(bank.ConsultTexts[i], questionNumber)) block = i;
  return block;
}

std::optional<std::string> diagramOfLine(std::string_view line) {
  if (!hasMarker(line)) return std::nullopt;
  const std::string_view rest = line.substr(line.find('$') + 1);
  const std::size_t close = rest.find('$');
  // A marker that is never closed still offers the diagram, under a name that
  // matches no diagram: the reader is told the picture is missing rather than
  // the marker silently doing nothing, and nothing is read past the line.
  if (close == std::string_view::npos) return std::string();
  return std::string(rest.substr(0, close));
}

std::string shownConsultLine(std::string_view line) {
  if (!hasMarker(line)) return std::string(line);
  return line.size() > kDiagramMarkerLength ? std::string(line.substr(kDiagramMarkerLength))
                                            : std::string();
}

Consultation consultationOf(const QuestionBank& bank, unsigned questionNumber) {
  Consultation result;
  const auto block = consultBlockOf(bank, questionNumber);
  if (!block) return result;
  const std::vector<std::string>& lines = bank.ConsultBlocks[*block];
  for (const std::string& line : lines) result.lines.push_back(shownConsultLine(line));
  // Only the block's first line may refer to a diagram.
  if (!lines.empty()) result.diagramName = diagramOfLine(lines.front());
  return result;
}

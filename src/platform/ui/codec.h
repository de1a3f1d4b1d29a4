#pragma once
// The window edge of code page 1251: bytes from the rules become text for a
// widget, typed text becomes bytes again.
#include <QString>
#include <optional>
#include <string>
#include <string_view>

// Every byte maps to a character, so any file's text round-trips exactly.
QString fromCp1251(std::string_view bytes);

// nullopt when the text holds a character that code page 1251 lacks.
std::optional<std::string> toCp1251(const QString& text);

// Text for a label: a caption's line breaks (CR LF or a lone CR) become '\n'.
QString displayText(std::string_view bytes);

// Text for a button's caption: a button reads '&' as a shortcut mark, so the
// author's '&' is doubled to be shown as written ("R&D").
QString buttonCaption(std::string_view bytes);

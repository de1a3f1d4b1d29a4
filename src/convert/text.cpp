#include "convert/text.h"

#include <array>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <utility>

#include "platform/cp1251.h"

namespace {

// The length of the UTF-8 sequence at i, or 0 when none starts there.
std::size_t sequenceAt(std::string_view s, std::size_t i) { return utf8CharAt(s, i).length; }

void appendUtf8(std::string& out, std::uint32_t cp) {
  if (cp == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// The named entities a question text is likely to hold; others stay as written.
constexpr std::array<std::pair<std::string_view, std::uint32_t>, 24> kEntities{
    {{"amp", '&'},       {"lt", '<'},      {"gt", '>'},      {"quot", '"'},     {"apos", '\''},
     {"nbsp", ' '},      {"laquo", 0xAB},  {"raquo", 0xBB},  {"ndash", 0x2013}, {"mdash", 0x2014},
     {"hellip", 0x2026}, {"deg", 0xB0},    {"middot", 0xB7}, {"times", 0xD7},   {"minus", 0x2212},
     {"plusmn", 0xB1},   {"le", 0x2264},   {"ge", 0x2265},   {"ne", 0x2260},    {"asymp", 0x2248},
     {"micro", 0xB5},    {"Omega", 0x3A9}, {"sect", 0xA7},   {"copy", 0xA9}}};

// Decodes the entity at s[i] == '&'; returns its length, 0 when it is not one.
std::size_t entityAt(std::string_view s, std::size_t i, std::string& out) {
  // Entities are short: looking further would make a text of many '&' quadratic.
  const std::size_t end = s.substr(i, 12).find(';') == std::string_view::npos
                              ? std::string_view::npos
                              : i + s.substr(i, 12).find(';');
  if (end == std::string_view::npos) return 0;
  const std::string_view name = s.substr(i + 1, end - i - 1);
  if (name.size() >= 2 && name[0] == '#') {
    const bool hex = name[1] == 'x' || name[1] == 'X';
    const std::string_view digits = name.substr(hex ? 2 : 1);
    if (digits.empty()) return 0;
    std::uint32_t cp = 0;
    for (char c : digits) {
      const int d = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                    : hex && std::isxdigit(static_cast<unsigned char>(c))
                        ? std::tolower(static_cast<unsigned char>(c)) - 'a' + 10
                        : -1;
      if (d < 0) return 0;
      cp = cp * (hex ? 16 : 10) + static_cast<std::uint32_t>(d);
      if (cp > 0x10FFFF) return 0;
    }
    appendUtf8(out, cp == 0xA0 ? ' ' : cp);
    return end - i + 1;
  }
  for (const auto& [entity, cp] : kEntities)
    if (entity == name) {
      appendUtf8(out, cp);
      return end - i + 1;
    }
  return 0;
}

bool isBlank(unsigned char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c < 0x20 || c == 0x7F;
}

// Splits raw text at '\n', collapses blanks within each line and drops empty lines.
std::vector<std::string> tidyLines(std::string_view raw) {
  std::vector<std::string> lines;
  std::string line;
  bool pendingBlank = false;
  const auto finish = [&] {
    if (!line.empty()) lines.push_back(line);
    line.clear();
    pendingBlank = false;
  };
  for (char ch : raw) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '\n') {
      finish();
    } else if (isBlank(c)) {
      pendingBlank = !line.empty();
    } else {
      if (pendingBlank) line += ' ';
      pendingBlank = false;
      line += ch;
    }
  }
  finish();
  return lines;
}

std::string lower(std::string_view s) {
  std::string r;
  for (char c : s) r += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return r;
}

bool oneOf(std::string_view name, std::initializer_list<std::string_view> names) {
  for (std::string_view n : names)
    if (n == name) return true;
  return false;
}

// The value of attribute name in the inside of a tag (after its name), entities decoded.
std::string attributeOf(std::string_view tag, std::string_view name) {
  const std::string lowered = lower(tag);
  for (std::size_t at = lowered.find(name); at != std::string::npos;
       at = lowered.find(name, at + 1)) {
    if (at > 0 && !std::isspace(static_cast<unsigned char>(lowered[at - 1]))) continue;
    std::size_t i = at + name.size();
    while (i < tag.size() && std::isspace(static_cast<unsigned char>(tag[i]))) ++i;
    if (i >= tag.size() || tag[i] != '=') continue;
    ++i;
    while (i < tag.size() && std::isspace(static_cast<unsigned char>(tag[i]))) ++i;
    std::size_t end;
    if (i < tag.size() && (tag[i] == '"' || tag[i] == '\'')) {
      end = tag.find(tag[i], i + 1);
      ++i;
      if (end == std::string_view::npos) end = tag.size();
    } else {
      end = i;
      while (end < tag.size() && !std::isspace(static_cast<unsigned char>(tag[end]))) ++end;
    }
    const std::string_view raw = tag.substr(i, end - i);
    std::string value;
    for (std::size_t k = 0; k < raw.size();) {
      if (raw[k] == '&')
        if (const std::size_t n = entityAt(raw, k, value)) {
          k += n;
          continue;
        }
      value += raw[k++];
    }
    return value;
  }
  return {};
}

}  // namespace

bool isUtf8(std::string_view bytes) { return isWellFormedUtf8(bytes); }

std::string decodeInput(std::string_view bytes) {
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  return isUtf8(bytes) ? std::string(bytes) : utf8FromCp1251(bytes);
}

PlainText htmlToText(std::string_view html) {
  PlainText result;
  std::string raw;
  std::string href;           // of the link open, if any
  std::size_t linkStart = 0;  // where its text starts in raw
  // The address follows the link's text, unless the text is the address itself.
  const auto closeLink = [&] {
    if (href.empty()) return;
    const std::vector<std::string> shown = tidyLines(raw.substr(linkStart));
    if (shown.size() != 1 || shown.front() != href) {
      raw += " (" + href + ")";
      result.link = true;
    }
    href.clear();
  };
  for (std::size_t i = 0; i < html.size();) {
    const char c = html[i];
    if (c == '&') {
      const std::size_t n = entityAt(html, i, raw);
      if (n > 0) {
        i += n;
        continue;
      }
    }
    if (c == '<' && html.substr(i, 4) == "<!--") {
      const std::size_t end = html.find("-->", i + 4);
      i = end == std::string_view::npos ? html.size() : end + 3;
      continue;
    }
    if (c == '<' && i + 1 < html.size() &&
        (std::isalpha(static_cast<unsigned char>(html[i + 1])) || html[i + 1] == '/')) {
      const std::size_t end = html.find('>', i);
      if (end == std::string_view::npos) {
        raw += html.substr(i);
        break;
      }
      std::size_t k = i + 1 + (html[i + 1] == '/' ? 1 : 0);
      std::size_t nameEnd = k;
      while (nameEnd < end && std::isalnum(static_cast<unsigned char>(html[nameEnd]))) ++nameEnd;
      const std::string name = lower(html.substr(k, nameEnd - k));
      i = end + 1;
      if (name == "a") {
        closeLink();  // a link is closed by the next one too
        if (html[k - 1] != '/') {
          href = attributeOf(html.substr(nameEnd, end - nameEnd), "href");
          linkStart = raw.size();
          // An anchor within the page leads nowhere once the text is alone.
          if (!href.empty() && href.front() == '#') href.clear();
        }
      } else if (oneOf(name, {"img", "image", "svg", "video", "audio", "object", "embed", "iframe",
                              "math", "canvas"})) {
        result.picture = true;
      } else if (oneOf(name, {"script", "style"}) && html[k - 1] != '/') {
        std::size_t close = html.find("</", i);
        while (close != std::string_view::npos &&
               lower(html.substr(close + 2, name.size())) != name)
          close = html.find("</", close + 2);
        i = close == std::string_view::npos ? html.size() : close;
      } else if (oneOf(name, {"br", "p", "div", "li", "tr", "h1", "h2", "h3", "h4", "h5", "h6",
                              "ul", "ol", "table", "blockquote", "pre", "hr", "dd", "dt"})) {
        raw += '\n';
        if (!oneOf(name, {"br", "p", "div"})) result.formatting = true;
      } else if (!oneOf(name, {"span"})) {
        result.formatting = true;
      }
      continue;
    }
    raw += c;
    ++i;
  }
  closeLink();  // a link left open at the end
  if (raw.find("@@PLUGINFILE@@") != std::string::npos) result.picture = true;
  result.lines = tidyLines(raw);
  return result;
}

PlainText plainText(std::string_view text) {
  PlainText result;
  result.lines = tidyLines(text);
  return result;
}

std::string oneLine(const std::vector<std::string>& lines) {
  std::string r;
  for (const std::string& l : lines) {
    if (!r.empty()) r += ' ';
    r += l;
  }
  return r;
}

std::string markupEscape(std::string_view text) {
  std::string r;
  for (char c : text) {
    switch (c) {
      case '&':
        r += "&amp;";
        break;
      case '<':
        r += "&lt;";
        break;
      case '>':
        r += "&gt;";
        break;
      case '"':
        r += "&quot;";
        break;
      default:
        r += c;
    }
  }
  return r;
}

std::string xmlEscape(std::string_view text) {
  std::string r;
  for (char c : text) {
    // XML 1.0 allows no control characters but tab and the line ends.
    if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r') c = ' ';
    r += c;
  }
  return markupEscape(r);
}

std::optional<std::string> toCp1251(std::string_view utf8, std::string* missing) {
  std::string out;
  for (std::size_t i = 0; i < utf8.size();) {
    std::size_t n = sequenceAt(utf8, i);
    if (n == 0) n = 1;
    const std::string_view ch = utf8.substr(i, n);
    const std::string byte = cp1251FromUtf8(ch);
    if (byte.size() != 1 || (byte == "?" && ch != "?") || byte == "\x98") {
      if (missing) {
        char code[16];
        std::uint32_t point = static_cast<unsigned char>(ch[0]);
        if (n > 1) {
          point &= (n == 2 ? 0x1Fu : n == 3 ? 0x0Fu : 0x07u);
          for (std::size_t k = 1; k < n; ++k)
            point = (point << 6) | (static_cast<unsigned char>(ch[k]) & 0x3Fu);
        }
        std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(point));
        *missing =
            sequenceAt(utf8, i) ? "«" + std::string(ch) + "» (" + code + ")" : std::string(code);
      }
      return std::nullopt;
    }
    out += byte;
    i += n;
  }
  return out;
}

#include "platform/cp1251.h"

#include <cctype>

#include <cstdint>

namespace {

// Code points of bytes 0x80..0xBF; 0xC0..0xFF are U+0410..U+044F in order.
constexpr char32_t kHighHalf[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409,
    0x2039, 0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0,
    0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB,
    0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6,
    0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
};

char32_t decodeByte(unsigned char b) {
  if (b < 0x80) return b;
  if (b >= 0xC0) return 0x0410 + (b - 0xC0);
  return kHighHalf[b - 0x80];
}

int encodeCodePoint(char32_t c) {
  if (c < 0x80) return static_cast<int>(c);
  if (c >= 0x0410 && c <= 0x044F) return static_cast<int>(0xC0 + (c - 0x0410));
  for (int i = 0; i < 64; ++i)
    if (kHighHalf[i] == c) return 0x80 + i;
  return -1;
}

void appendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// The length of the well-formed UTF-8 sequence at i, or 0 when it is not one:
// a stray continuation byte, an overlong form, a surrogate, a code point beyond
// U+10FFFF or a sequence cut short.
std::size_t sequenceLength(std::string_view utf8, std::size_t i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(utf8[i + k]); };
  const unsigned char lead = byte(0);
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (utf8.size() - i < length) return 0;
  if (byte(1) < low || byte(1) > high) return 0;
  for (std::size_t k = 2; k < length; ++k)
    if ((byte(k) & 0xC0) != 0x80) return 0;
  return length;
}

}  // namespace

int cp1251ByteOf(char32_t c) { return c == 0x0098 ? -1 : encodeCodePoint(c); }

Utf8Char utf8CharAt(std::string_view utf8, std::size_t i) {
  const std::size_t length = sequenceLength(utf8, i);
  if (length == 0) return {};
  const auto lead = static_cast<unsigned char>(utf8[i]);
  char32_t c = length == 1 ? lead : lead & (0x7F >> length);
  for (std::size_t k = 1; k < length; ++k)
    c = (c << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
  return {length, c};
}

bool isWellFormedUtf8(std::string_view bytes) {
  for (std::size_t i = 0; i < bytes.size();) {
    const std::size_t length = sequenceLength(bytes, i);
    if (length == 0) return false;
    i += length;
  }
  return true;
}

std::string cp1251FromUtf8(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    const std::size_t length = sequenceLength(utf8, i);
    if (length == 0) {
      out += '?';
      ++i;
      continue;
    }
    const auto lead = static_cast<unsigned char>(utf8[i]);
    char32_t c = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k)
      c = (c << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    i += length;
    const int b = encodeCodePoint(c);
    out += b < 0 ? '?' : static_cast<char>(b);
  }
  return out;
}

std::string utf8FromCp1251(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() * 2);
  for (char b : bytes) appendUtf8(out, decodeByte(static_cast<unsigned char>(b)));
  return out;
}

namespace {

bool isCp1251Terminal(std::string_view codeset) {
  std::string name;
  for (char c : codeset)
    if (c != '-' && c != '_')
      name += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return name == "CP1251" || name == "WINDOWS1251";
}

}  // namespace

std::string forTerminal(std::string_view text, std::string_view codeset) {
  return isCp1251Terminal(codeset) ? std::string(text) : utf8FromCp1251(text);
}

std::string utf8ForTerminal(std::string_view utf8, std::string_view codeset) {
  return isCp1251Terminal(codeset) ? cp1251FromUtf8(utf8) : std::string(utf8);
}

std::string cp1251FromTerminal(std::string_view text, std::string_view codeset) {
  return isCp1251Terminal(codeset) ? std::string(text) : cp1251FromUtf8(text);
}

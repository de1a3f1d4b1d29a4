// The rules' font tables against Qt's own text layout of the installed fonts.
// When they differ (other fonts installed), the test writes the table as Qt
// measures it to text_width_tables.cpp in the current folder, to replace
// src/platform/text_width_tables.cpp (then run scripts/format.sh).
#include <QFile>
#include <QFontMetricsF>
#include <QtTest>
#include <cmath>
#include <random>

#include "platform/cp1251.h"
#include "platform/text_width.h"
#include "platform/ui/codec.h"
#include "platform/ui/design.h"

namespace {

// Each face as the windows set it, with its name in the table's source.
struct FaceOfWindows {
  QFont font;
  const char* name;
};
FaceOfWindows faceOf(Face face) {
  const QString sans = QStringLiteral("MS Sans Serif");
  const FaceOfWindows faces[] = {
      {design::font(sans, 11), "Sans11"},
      {design::font(sans, 11, true), "Sans11Bold"},
      {design::font(QStringLiteral("Times New Roman"), 17, false, true), "SerifItalic17"}};
  return faces[static_cast<int>(face)];
}

QString byteText(int b) { return fromCp1251(std::string(1, static_cast<char>(b))); }

// Qt's width of a text in 1/64 pixel (its layout works in that unit).
std::int64_t qtWidth(const QFontMetricsF& metrics, const QString& text) {
  return std::llround(metrics.horizontalAdvance(text) * 64);
}

struct Measured {
  std::array<std::uint16_t, 256> advances{};
  std::vector<KernPair> kerning;
};

Measured measure(Face face) {
  const QFontMetricsF metrics(faceOf(face).font);
  Measured m;
  for (int b = 0; b < 256; ++b)
    m.advances[static_cast<std::size_t>(b)] =
        static_cast<std::uint16_t>(qtWidth(metrics, byteText(b)));
  // Control characters are no text a course shows; every other pair is tried.
  for (int a = 0x20; a < 256; ++a)
    for (int b = 0x20; b < 256; ++b) {
      const std::int64_t kern = qtWidth(metrics, byteText(a) + byteText(b)) -
                                m.advances[static_cast<std::size_t>(a)] -
                                m.advances[static_cast<std::size_t>(b)];
      if (kern != 0)
        m.kerning.push_back(
            {static_cast<std::uint16_t>(a << 8 | b), static_cast<std::int16_t>(kern)});
    }
  return m;
}

Script qtScript(int b) {
  switch (byteText(b).at(0).script()) {
    case QChar::Script_Latin:
      return Script::Latin;
    case QChar::Script_Cyrillic:
      return Script::Cyrillic;
    default:
      return Script::Common;
  }
}

void writeTables(const std::vector<Measured>& faces) {
  QString out = QStringLiteral(
      "// The advances and kerning of the installed Liberation fonts, as Qt lays\n"
      "// them out, written by tests/platform/text_width_test.cpp.\n"
      "#include \"platform/text_width.h\"\n\nnamespace {\n");
  for (std::size_t f = 0; f < faces.size(); ++f) {
    out += QStringLiteral("\nconstexpr KernPair k%1Kerning[] = {\n")
               .arg(QLatin1String(faceOf(kFaces[f]).name));
    for (const KernPair& k : faces[f].kerning)
      out += QStringLiteral("{0x%1, %2},").arg(k.pair, 4, 16, QLatin1Char('0')).arg(k.value);
    out += QStringLiteral("\n};\n");
  }
  out += QStringLiteral(
      "\n}  // namespace\n\nconst FontTable& fontTable(Face face) {\n"
      "  static const FontTable tables[] = {\n");
  for (std::size_t f = 0; f < faces.size(); ++f) {
    out += QStringLiteral("{{");
    for (const auto a : faces[f].advances) out += QString::number(a) + QLatin1Char(',');
    out += QStringLiteral("}, k%1Kerning},\n").arg(QLatin1String(faceOf(kFaces[f]).name));
  }
  out += QStringLiteral(
      "  };\n  return tables[static_cast<int>(face)];\n}\n\n"
      "const std::array<Script, 256>& byteScripts() {\n"
      "  // 0 common, 1 Latin, 2 Cyrillic, by byte.\n"
      "  static const std::array<Script, 256> scripts = [] {\n"
      "    const char* const codes =\n");
  for (int row = 0; row < 4; ++row) {
    out += QStringLiteral("\"");
    for (int b = row * 64; b < row * 64 + 64; ++b)
      out += QString::number(static_cast<int>(qtScript(b)));
    out += QStringLiteral("\"\n");
  }
  out += QStringLiteral(
      ";\n    std::array<Script, 256> s{};\n"
      "    for (std::size_t b = 0; b < s.size(); ++b) s[b] = static_cast<Script>(codes[b] - '0');\n"
      "    return s;\n  }();\n  return scripts;\n}\n");
  QFile file(QStringLiteral("text_width_tables.cpp"));
  if (file.open(QIODevice::WriteOnly)) file.write(out.toUtf8());
}

}  // namespace

class TextWidthTest : public QObject {
  Q_OBJECT

 private slots:
  void tablesAreWhatQtLaysOut() {
    std::vector<Measured> faces;
    bool same = true;
    for (const Face face : kFaces) {
      faces.push_back(measure(face));
      const FontTable& table = fontTable(face);
      same = same && faces.back().advances == table.advances &&
             std::equal(faces.back().kerning.begin(), faces.back().kerning.end(),
                        table.kerning.begin(), table.kerning.end(),
                        [](const KernPair& a, const KernPair& b) {
                          return a.pair == b.pair && a.value == b.value;
                        });
    }
    for (int b = 0; b < 256; ++b)
      same = same && byteScripts()[static_cast<std::size_t>(b)] == qtScript(b);
    if (!same) writeTables(faces);
    QVERIFY2(same, "the fonts differ from the table: text_width_tables.cpp written here");
  }

  // Whole lines: the runs of each script, blanks and punctuation between them,
  // capitals and the kerning pairs of Latin and Cyrillic.
  void linesMeasureAsQtLaysThemOut() {
    const std::string alphabet =
        cp("АВГДЕЁЛОРСТУФХЧЬЯабвгдеёклорстуфхчъыьяAFLPTVWYafkrtvwy0147 .,:;-()«»\"'/№%");
    std::mt19937 random(2024);
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::uniform_int_distribution<std::size_t> length(1, 90);
    for (const Face face : kFaces) {
      const QFontMetricsF metrics(faceOf(face).font);
      for (int i = 0; i < 400; ++i) {
        std::string line;
        for (std::size_t n = length(random); n > 0; --n) line += alphabet[pick(random)];
        LineWidth width(face);
        width.add(line);
        if (width.sixtyFourths() != qtWidth(metrics, fromCp1251(line)))
          QFAIL(qPrintable(
              QStringLiteral("%1: «%2»").arg(QLatin1String(faceOf(face).name), fromCp1251(line))));
      }
    }
  }
};

QTEST_MAIN(TextWidthTest)
#include "text_width_test.moc"

// The window edge against Qt's own windows-1251 converter.
#include <QtTest>

#include "platform/cp1251.h"
#include "platform/ui/codec.h"

class CodecTest : public QObject {
  Q_OBJECT

 private slots:
  void everyByteRoundTripsAndMatchesTheRules() {
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    const QString text = fromCp1251(all);
    QCOMPARE(text.size(), 256);
    QCOMPARE(text.at(0x98).unicode(), char16_t(0x98));
    QCOMPARE(toCp1251(text), std::optional<std::string>(all));
    // The rules' own table agrees with Qt's converter byte for byte.
    QCOMPARE(QString::fromUtf8(utf8FromCp1251(all)), text);
  }

  void textOutsideTheCodePageIsRefused() {
    QVERIFY(!toCp1251(QString::fromUtf8("Иванов 中")).has_value());
    QCOMPARE(toCp1251(QString::fromUtf8("Иванов И.И.")),
             std::optional<std::string>(cp("Иванов И.И.")));
  }

  void captionLineBreaksBecomeNewlines() {
    QCOMPARE(displayText("a\rb\r\nc"), QStringLiteral("a\nb\nc"));
  }
};

QTEST_GUILESS_MAIN(CodecTest)
#include "codec_test.moc"

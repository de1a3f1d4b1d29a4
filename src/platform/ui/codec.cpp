#include "platform/ui/codec.h"

#include <QStringDecoder>
#include <QStringEncoder>

QString fromCp1251(std::string_view bytes) {
  QStringDecoder decoder("windows-1251");
  return decoder.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

std::optional<std::string> toCp1251(const QString& text) {
  QStringEncoder encoder("windows-1251");
  const QByteArray bytes = encoder.encode(text);
  if (encoder.hasError()) return std::nullopt;
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

QString displayText(std::string_view bytes) {
  QString text = fromCp1251(bytes);
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return text;
}

QString buttonCaption(std::string_view bytes) {
  QString text = fromCp1251(bytes);
  text.replace(QLatin1Char('&'), QStringLiteral("&&"));
  return text;
}

#include "study/ui/diagram_window.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

#include "platform/data_error.h"
#include "platform/ui/codec.h"
#include "platform/ui/design.h"
#include "platform/ui/picture.h"
#include "study/diagram_map.h"

using namespace Qt::StringLiterals;

namespace {
constexpr int kEmptyImageWidth = 321;
constexpr int kEmptyImageHeight = 193;

// Reads name (graph.txt or a picture) with read from the first of two folders
// that holds it: a course folder named at the start before the current
// directory, so that another course's diagrams there are not shown; without
// one named, the current directory (the program's own in the classic set-up)
// before the course folder. An absolute name is only taken as it is.
template <typename Read>
auto readDiagramFile(const QString& name, const std::string& courseFolder, bool courseNamed,
                     Read read) {
  if (name.isEmpty() || QDir::isAbsolutePath(name) || courseFolder.empty()) return read(name);
  const QString inCourse = QString::fromLocal8Bit(courseFolder) + name;
  auto result = read(courseNamed ? inCourse : name);
  if (result || result.error().code != DataError::Code::FileMissing) return result;
  return read(courseNamed ? name : inCourse);
}
}  // namespace

PictureFormat pictureFormatOf(const std::string& name) {
  switch (pictureKind(name)) {
    case PictureKind::Jpeg:
      return PictureFormat::Jpeg;
    case PictureKind::Png:
      return PictureFormat::Png;
    case PictureKind::Bitmap:
      return PictureFormat::Bitmap;
    case PictureKind::Icon:
      return PictureFormat::Icon;
    case PictureKind::Metafile:  // no metafile renderer on this platform
    case PictureKind::Unknown:
      break;
  }
  return PictureFormat::Unsupported;
}

TForm9::TForm9(SessionState& session, const Services& services, QWidget* owner)
    : TFormBase(owner), session_(session), services_(services) {
  setBorderIcons(true);
  applyDesign("Form9", u"Диаграмма"_s, {427, 273}, design::clInfoBk,
              design::font(QStringLiteral("MS Sans Serif"), 11));

  Image1 = new QLabel(this);
  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->setGeometry(8, 8, kEmptyImageWidth, kEmptyImageHeight);
  Image1->setAccessibleName(u"Диаграмма"_s);

  Button1 = placeButton("Button1", u"Вернуться"_s, {200, 232, 75, 25}, &TForm9::Button1Click);
  Button1->setDefault(true);
  centreOnScreen();
}

void TForm9::FormActivate() {
  const QPoint oldPlace = pos();
  const QSize oldSize = nominalOuterSize();

  const auto map = readDiagramFile(
      QStringLiteral("graph.txt"), services_.programFolder, services_.courseNamed,
      [](const QString& path) { return loadDiagramMap(QFile::encodeName(path).toStdString()); });
  QImage picture;  // read, not yet fitted to the screen
  if (map) {
    picture = loadPicture(pictureName(*map, session_.DiagramName));
  } else if (map.error().code != DataError::Code::FileMissing) {
    // Without graph.txt there is no diagram to show, and nothing to say.
    services_.messages.message(this, u"Диаграмма."_s, u"Не удалось прочитать файл graph.txt."_s);
  }

  const QSize size = picture.isNull() ? Image1->size() : picture.size();
  ScreenArea area;
  if (const QScreen* shown = screen()) {
    const QRect available = shown->availableGeometry();
    area = {available.x(), available.y(), available.width(), available.height()};
  }
  const DiagramWindowPlace place =
      placeDiagramWindow(size.width(), size.height(), oldPlace.x(), oldPlace.y(), oldSize.width(),
                         oldSize.height(), Button1->width(), area);
  if (!picture.isNull()) {
    // A picture larger than the screen is scaled down once, smoothly; one that fits is shown as it
    // is.
    const QSize fitted(place.imageWidth, place.imageHeight);
    Image1->setPixmap(QPixmap::fromImage(
        picture.size() == fitted
            ? picture
            : picture.scaled(fitted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
  }
  Image1->resize(place.imageWidth, place.imageHeight);
  setOuterSize(place.outerWidth, place.outerHeight);
  Button1->move(place.buttonLeft, place.buttonTop);
  // The window manager may not have framed the window yet, so Qt cannot turn a
  // frame position into a client one; asking for the frame's place lets the
  // window manager put it there, title bar included, even at the screen's top.
  if (QWindow* handle = windowHandle())
    handle->setFramePosition(QPoint(place.left, place.top));
  else
    move(place.left, place.top);
  Button1->setFocus();
}

QImage TForm9::loadPicture(const std::string& name) {
  const QString shownName = fromCp1251(visibleControls(name));
  const PictureFormat format = pictureFormatOf(name);
  QString readFrom;
  // The name is code page 1251; the file system spells it in its own encoding.
  auto picture = readDiagramFile(fromCp1251(name), services_.programFolder, services_.courseNamed,
                                 [&](const QString& path) {
                                   readFrom = path;
                                   return readPicture(path, format);
                                 });
  if (picture) {
    Image1->setAccessibleDescription(readFrom);
    return std::move(*picture);
  }
  switch (picture.error().code) {
    case DataError::Code::FileMissing:
      services_.messages.message(this, u"Диаграмма."_s,
                                 u"Отсутствует файл '"_s + shownName + QLatin1Char('\''));
      break;
    case DataError::Code::UnsupportedFormat:
      services_.messages.message(this, u"Диаграмма."_s,
                                 u"Формат рисунка '"_s + shownName +
                                     u"' не поддерживается: нужен JPEG, PNG, BMP или ICO."_s);
      break;
    default:
      services_.messages.message(
          this, u"Диаграмма."_s,
          u"Файл '"_s + shownName +
              u"' повреждён или не является рисунком JPEG, PNG, BMP или ICO."_s);
      break;
  }
  return {};
}

void TForm9::Button1Click() { accept(); }

#include "study/ui/diagram_window.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

#include "platform/ui/codec.h"
#include "platform/data_error.h"
#include "platform/ui/design.h"
#include "platform/ui/picture.h"
#include "platform/text_file.h"
#include "study/diagram_map.h"

using namespace Qt::StringLiterals;

namespace {
constexpr int kEmptyImageWidth = 321;
constexpr int kEmptyImageHeight = 193;


PictureFormat formatOf(const std::string& name) {
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
}  // namespace

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

  if (const auto map = findDiagramFile(QStringLiteral("graph.txt"))) {
    if (const auto lines = readLines(QFile::encodeName(*map).toStdString())) {
      const std::string name = pictureName(readDiagramMap(*lines), session_.DiagramName);
      loadPicture(name);
    } else {
      services_.messages.message(this, u"Диаграмма."_s,
                                 u"Не удалось прочитать файл graph.txt."_s);
    }
  }

  const QSize picture = picture_.isNull() ? Image1->size() : picture_.size();
  ScreenArea area;
  if (const QScreen* shown = screen()) {
    const QRect available = shown->availableGeometry();
    area = {available.x(), available.y(), available.width(), available.height()};
  }
  const DiagramWindowPlace place =
      placeDiagramWindow(picture.width(), picture.height(), oldPlace.x(), oldPlace.y(),
                         oldSize.width(), oldSize.height(), Button1->width(), area);
  if (!picture_.isNull()) {
    // A picture larger than the screen is scaled down once, smoothly; one that fits is shown as it is.
    const QSize fitted(place.imageWidth, place.imageHeight);
    Image1->setPixmap(QPixmap::fromImage(
        picture_.size() == fitted
            ? picture_
            : picture_.scaled(fitted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
    picture_ = QImage();
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

std::optional<QString> TForm9::findDiagramFile(const QString& name) const {
  // Started elsewhere than in the course folder, the program still finds the
  // course's own diagrams there; an absolute name is only taken as it is.
  if (QFileInfo(name).isFile()) return name;
  if (name.isEmpty() || QDir::isAbsolutePath(name) || services_.programFolder.empty()) return std::nullopt;
  const QString inCourse = QString::fromLocal8Bit(services_.programFolder) + name;
  if (QFileInfo(inCourse).isFile()) return inCourse;
  return std::nullopt;
}

void TForm9::loadPicture(const std::string& name) {
  const QString shownName = fromCp1251(visibleControls(name));
  // The name is code page 1251; the file system spells it in its own encoding.
  const auto found = findDiagramFile(fromCp1251(name));
  if (!found) {
    services_.messages.message(this, u"Диаграмма."_s,
                               u"Отсутствует файл '"_s + shownName + QLatin1Char('\''));
    return;
  }
  const PictureFormat format = formatOf(name);
  if (format == PictureFormat::Unsupported) {
    services_.messages.message(this, u"Диаграмма."_s,
                               u"Формат рисунка '"_s + shownName +
                                   u"' не поддерживается: нужен JPEG, PNG, BMP или ICO."_s);
    return;
  }
  std::optional<QImage> picture = readPicture(*found, format);
  if (!picture) {
    services_.messages.message(
        this, u"Диаграмма."_s,
        u"Файл '"_s + shownName + u"' повреждён или не является рисунком JPEG, PNG, BMP или ICO."_s);
    return;
  }
  picture_ = std::move(*picture);
  Image1->setAccessibleDescription(*found);
}

void TForm9::Button1Click() { accept(); }

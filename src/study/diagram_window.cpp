#include "study/diagram_window.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

#include "platform/codec.h"
#include "platform/data_error.h"
#include "platform/design.h"
#include "platform/picture.h"
#include "platform/text_file.h"
#include "study/diagram_map.h"

namespace {
constexpr int kEmptyImageWidth = 321;
constexpr int kEmptyImageHeight = 193;

QString text(const char* utf8) { return QString::fromUtf8(utf8); }

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
  setObjectName(QStringLiteral("Form9"));
  setWindowTitle(text("Диаграмма"));
  setBorderIcons(true);
  setClientSize(427, 273);
  design::paintBackground(this, design::clInfoBk);
  setFont(design::font(QStringLiteral("MS Sans Serif"), 11));

  Image1 = new QLabel(this);
  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->setGeometry(8, 8, kEmptyImageWidth, kEmptyImageHeight);
  Image1->setAccessibleName(text("Диаграмма"));

  Button1 = new QPushButton(text("Вернуться"), this);
  Button1->setObjectName(QStringLiteral("Button1"));
  Button1->setGeometry(200, 232, 75, 25);
  Button1->setDefault(true);
  connect(Button1, &QPushButton::clicked, this, &TForm9::Button1Click);
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
      services_.messages.message(this, text("Диаграмма."),
                                 text("Не удалось прочитать файл graph.txt."));
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
    services_.messages.message(this, text("Диаграмма."),
                               text("Отсутствует файл '") + shownName + QLatin1Char('\''));
    return;
  }
  const PictureFormat format = formatOf(name);
  if (format == PictureFormat::Unsupported) {
    services_.messages.message(this, text("Диаграмма."),
                               text("Формат рисунка '") + shownName +
                                   text("' не поддерживается: нужен JPEG, PNG, BMP или ICO."));
    return;
  }
  std::optional<QImage> picture = readPicture(*found, format);
  if (!picture) {
    services_.messages.message(
        this, text("Диаграмма."),
        text("Файл '") + shownName + text("' повреждён или не является рисунком JPEG, PNG, BMP или ICO."));
    return;
  }
  picture_ = std::move(*picture);
  Image1->setAccessibleDescription(*found);
}

void TForm9::Button1Click() { accept(); }

#include "study/diagram_window.h"

#include <QFileInfo>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

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
    case PictureKind::Bitmap:
    case PictureKind::Icon:
      return PictureFormat::QtReadable;
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

  // The map and its pictures are looked up in the current directory.
  const std::string map = "graph.txt";
  if (fileExists(map)) {
    if (const auto lines = readLines(map)) {
      const std::string name = pictureName(readDiagramMap(*lines), session_.DiagramName);
      loadPicture(name);
    } else {
      services_.messages.message(this, text("Диаграмма."),
                                 text("Не удалось прочитать файл graph.txt."));
    }
  }

  const DiagramWindowPlace place =
      placeDiagramWindow(Image1->width(), Image1->height(), oldPlace.x(), oldPlace.y(),
                         oldSize.width(), oldSize.height(), Button1->width());
  setOuterSize(place.outerWidth, place.outerHeight);
  Button1->move(place.buttonLeft, place.buttonTop);
  move(place.left, place.top);
  Button1->setFocus();
}

void TForm9::loadPicture(const std::string& name) {
  // The name is code page 1251; the file system spells it in its own encoding.
  const QString path = fromCp1251(name);
  const QString shownName = fromCp1251(visibleControls(name));
  if (!QFileInfo(path).isFile()) {
    services_.messages.message(this, text("Диаграмма."),
                               text("Отсутствует файл '") + shownName + QLatin1Char('\''));
    return;
  }
  const std::optional<QImage> picture = readPicture(path, formatOf(name));
  if (!picture) {
    services_.messages.message(
        this, text("Диаграмма."),
        text("Файл '") + shownName + text("' повреждён или не является рисунком JPEG, BMP или ICO."));
    return;
  }
  Image1->setPixmap(QPixmap::fromImage(*picture));
  Image1->resize(picture->size());
  Image1->setAccessibleDescription(path);
}

void TForm9::Button1Click() { accept(); }

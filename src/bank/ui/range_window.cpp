#include "bank/ui/range_window.h"

#include <QPushButton>
#include <QRadioButton>
#include <algorithm>

#include "platform/ui/codec.h"
#include "platform/ui/design.h"

using namespace Qt::StringLiterals;

namespace {
constexpr int kDesignClientWidth = 710;
constexpr int kDesignClientHeight = 273;
constexpr int kRadioButtonHeight = 17;
constexpr int kButtonLeft = 24;
}  // namespace

TForm6::TForm6(SessionState& session, const Services& services, RangeList ranges,
               std::size_t questionCount, QWidget* owner)
    : TFormBase(owner),
      session_(session),
      services_(services),
      ranges_(std::move(ranges)),
      questionCount_(questionCount) {
  // No border icons at all: "Принять" is the way out.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  setCloseBox(false);
  // The layout's 13 pixels are the line height of MS Sans Serif 8 pt; its
  // characters are 11 pixels high, which the 6-pixel width estimate assumes.
  applyDesign("Form6", u"Диапазон вопросов"_s, {kDesignClientWidth, kDesignClientHeight},
              design::clInfoBk, design::font(QStringLiteral("MS Sans Serif"), 11));

  // Placed by the layout once the ranges are read.
  Button1 = placeButton("Button1", u"Принять"_s, {0, 0, 75, 25}, &TForm6::Button1Click);
  Button1->setFont(design::font(QStringLiteral("Times New Roman Cyr"), 13));
  Button1->setDefault(true);
  centreOnScreen();
}

void TForm6::FormActivate() {
  const QPoint oldPlace = pos();
  const QSize oldSize = nominalOuterSize();

  if (!ranges_) {
    services_.messages.message(this, u"Ошибка."_s, fromCp1251(describe(ranges_.error())));
    reject();
    return;
  }
  if (ranges_->empty()) {
    services_.messages.message(this, u"Ошибка."_s, u"Не найдено ни одного элемента."_s);
    reject();
    return;
  }
  entries_ = *ranges_;

  std::vector<std::string> captions;
  for (const auto& entry : entries_) captions.push_back(entry.caption);
  RangeWindowLayout layout = layoutRangeWindow(captions);

  std::vector<int> needed;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    auto* button = new QRadioButton(buttonCaption(entries_[i].caption), this);
    button->setObjectName(QStringLiteral("RadioButton%1").arg(i + 1));
    needed.push_back(button->sizeHint().width());
    buttons_.push_back(button);
  }
  fitCaptions(layout, needed, kButtonLeft, design::kFrameWidth);
  setOuterSize(layout.outerWidth, layout.outerHeight);
  for (std::size_t i = 0; i < buttons_.size(); ++i) {
    buttons_[i]->setGeometry(kButtonLeft, layout.buttonTops[i], layout.buttonWidths[i],
                             kRadioButtonHeight);
    buttons_[i]->show();
  }
  buttons_.front()->setChecked(true);
  buttons_.front()->setFocus();

  Button1->move(layout.acceptLeft, layout.acceptTop);
  const WindowPlace place = recentre(oldPlace.x(), oldPlace.y(), oldSize.width(), oldSize.height(),
                                     layout.outerWidth, layout.outerHeight);
  move(place.left, place.top);
}

void TForm6::Button1Click() {
  if (entries_.empty()) {
    reject();
    return;
  }
  std::size_t chosen = 0;
  for (std::size_t i = 0; i < buttons_.size(); ++i)
    if (buttons_[i]->isChecked()) chosen = i;

  const RangeChoice choice = chooseRange(entries_[chosen], questionCount_);
  if (!choice) {
    // The range stays as it was; the caller falls back to the whole bank.
    services_.messages.message(this, u"Ошибка."_s, fromCp1251(describe(choice.error())));
    reject();
    return;
  }
  session_.RangeFirst = choice->first;
  session_.RangeLast = choice->last;
  accept();
}

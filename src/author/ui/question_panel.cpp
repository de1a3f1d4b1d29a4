#include "author/ui/question_panel.h"

#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTextBlock>
#include <QVBoxLayout>

#include "author/ui/editor_prompts.h"
#include "platform/text_file.h"
#include "platform/ui/codec.h"
#include "platform/ui/picture.h"
#include "study/diagram_map.h"
#include "study/ui/diagram_window.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kThumbnailWidth = 160;
constexpr int kThumbnailHeight = 96;
constexpr qint64 kLargestPicture = 32 * 1024 * 1024;

QPushButton* button(QWidget* parent, const QString& caption, QBoxLayout* layout) {
  auto* b = new QPushButton(caption, parent);
  b->setAccessibleName(QString(caption).remove(QLatin1Char('&')).remove(u"…"_s));
  layout->addWidget(b);
  return b;
}

// A line of explanation, wrapped, two lines high whatever it says, so that the
// controls below do not move under the mouse when it changes. Its height does not
// follow its width: that would make the scroll area give the fields their
// preferred heights instead of the window's.
class Note final : public QLabel {
 public:
  explicit Note(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    setMinimumHeight(fontMetrics().lineSpacing() * 2);
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  }
  bool hasHeightForWidth() const override { return false; }
};

QLabel* note(QWidget* parent) { return new Note(parent); }

// Enter in a one-line text would make a second line the file cannot hold.
class NoNewLines final : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
  }
};

QString sharedText(const QString& what, unsigned number, const std::vector<unsigned>& others) {
  std::vector<unsigned> all = others;
  all.push_back(number);
  return what + u" общие для вопросов "_s + fromCp1251(numberList(all));
}

}  // namespace

QuestionPanel::QuestionPanel(CourseSession& session, EditorPrompts& prompts, QWidget* parent)
    : QWidget(parent), session_(session), prompts_(prompts) {
  setObjectName(u"QuestionPanel"_s);
  auto* layout = new QVBoxLayout(this);
  heading_ = note(this);
  QFont bold = heading_->font();
  bold.setBold(true);
  heading_->setFont(bold);
  layout->addWidget(heading_);

  auto* textLabel = new QLabel(u"&Текст вопроса:"_s, this);
  questionText_ = new QPlainTextEdit(this);
  questionText_->setObjectName(u"QuestionText"_s);
  questionText_->setAccessibleName(u"Текст вопроса"_s);
  questionText_->setTabChangesFocus(true);
  questionText_->setUndoRedoEnabled(false);  // Ctrl+Z is the course's undo
  questionText_->setFixedHeight(questionText_->fontMetrics().lineSpacing() * 3 + 12);
  questionText_->installEventFilter(new NoNewLines(questionText_));
  textLabel->setBuddy(questionText_);
  layout->addWidget(textLabel);
  layout->addWidget(questionText_);
  connect(questionText_, &QPlainTextEdit::textChanged, this, &QuestionPanel::questionTextChanged);

  auto* optionsBox = new QGroupBox(u"Варианты ответа"_s, this);
  auto* optionsLayout = new QVBoxLayout(optionsBox);
  optionsShared_ = note(optionsBox);
  optionsShared_->setObjectName(u"OptionsShared"_s);
  optionsLayout->addWidget(optionsShared_);
  options_ = new QTableWidget(0, 2, optionsBox);
  options_->setObjectName(u"Options"_s);
  options_->setAccessibleName(u"Варианты ответа"_s);
  options_->setHorizontalHeaderLabels({u"Правильный ответ"_s, u"Текст варианта"_s});
  options_->horizontalHeader()->setStretchLastSection(true);
  options_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
  options_->verticalHeader()->hide();
  options_->setSelectionBehavior(QAbstractItemView::SelectRows);
  options_->setSelectionMode(QAbstractItemView::SingleSelection);
  options_->setTabKeyNavigation(false);
  options_->setMinimumHeight(options_->fontMetrics().lineSpacing() * 4 + 12);
  options_->verticalHeader()->setDefaultSectionSize(options_->fontMetrics().lineSpacing() + 8);
  optionsLayout->addWidget(options_, 1);
  connect(options_, &QTableWidget::itemChanged, this, &QuestionPanel::optionChanged);
  auto* optionButtons = new QHBoxLayout;
  addOption_ = button(optionsBox, u"&Добавить вариант"_s, optionButtons);
  removeOption_ = button(optionsBox, u"&Удалить вариант"_s, optionButtons);
  optionUp_ = button(optionsBox, u"В&ыше"_s, optionButtons);
  optionDown_ = button(optionsBox, u"Ни&же"_s, optionButtons);
  optionButtons->addStretch();
  optionsLayout->addLayout(optionButtons);
  connect(addOption_, &QPushButton::clicked, this, &QuestionPanel::addOption);
  connect(removeOption_, &QPushButton::clicked, this, &QuestionPanel::removeOption);
  connect(optionUp_, &QPushButton::clicked, this, [this] { moveOption(-1); });
  connect(optionDown_, &QPushButton::clicked, this, [this] { moveOption(1); });
  auto* rightRow = new QHBoxLayout;
  auto* rightLabel = new QLabel(u"&Правильный ответ:"_s, optionsBox);
  rightAnswer_ = new QComboBox(optionsBox);
  rightAnswer_->setObjectName(u"RightAnswer"_s);
  rightAnswer_->setAccessibleName(u"Правильный ответ"_s);
  rightAnswer_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  rightAnswer_->setMinimumContentsLength(24);
  rightLabel->setBuddy(rightAnswer_);
  rightRow->addWidget(rightLabel);
  rightRow->addWidget(rightAnswer_, 1);
  optionsLayout->addLayout(rightRow);
  connect(rightAnswer_, &QComboBox::activated, this, &QuestionPanel::rightAnswerChosen);
  auto* shareRow = new QHBoxLayout;
  ownOptions_ = button(optionsBox, u"Свои варианты для этого вопроса"_s, shareRow);
  shareOptions_ = button(optionsBox, u"Общие варианты с вопросом…"_s, shareRow);
  shareRow->addStretch();
  optionsLayout->addLayout(shareRow);
  connect(ownOptions_, &QPushButton::clicked, this, [this] {
    const std::size_t q = *place_.question;
    edit(u"Свои варианты"_s, [&](CourseModel& m) { return m.ownOptions(place_.topic, q); });
  });
  connect(shareOptions_, &QPushButton::clicked, this, [this] { shareWith(true); });
  layout->addWidget(optionsBox, 3);

  auto* consultBox = new QGroupBox(u"Консультация"_s, this);
  auto* consultLayout = new QVBoxLayout(consultBox);
  consultationShared_ = note(consultBox);
  consultationShared_->setObjectName(u"ConsultationShared"_s);
  consultLayout->addWidget(consultationShared_);
  consultation_ = new QPlainTextEdit(consultBox);
  consultation_->setObjectName(u"Consultation"_s);
  consultation_->setAccessibleName(u"Консультация"_s);
  consultation_->setTabChangesFocus(true);
  consultation_->setUndoRedoEnabled(false);
  consultation_->setMinimumHeight(consultation_->fontMetrics().lineSpacing() * 3 + 12);
  consultLayout->addWidget(consultation_, 1);
  connect(consultation_, &QPlainTextEdit::textChanged, this, &QuestionPanel::consultationChanged);
  auto* consultRow = new QHBoxLayout;
  ownConsultation_ = button(consultBox, u"Своя консультация"_s, consultRow);
  shareConsultation_ = button(consultBox, u"Общая консультация с вопросом…"_s, consultRow);
  consultRow->addStretch();
  consultLayout->addLayout(consultRow);
  connect(ownConsultation_, &QPushButton::clicked, this, [this] {
    const std::size_t q = *place_.question;
    edit(u"Своя консультация"_s,
         [&](CourseModel& m) { return m.ownConsultation(place_.topic, q); });
  });
  connect(shareConsultation_, &QPushButton::clicked, this, [this] { shareWith(false); });
  layout->addWidget(consultBox, 2);

  auto* pictureBox = new QGroupBox(u"Рисунок"_s, this);
  auto* pictureLayout = new QHBoxLayout(pictureBox);
  picture_ = new QLabel(pictureBox);
  picture_->setObjectName(u"Picture"_s);
  picture_->setAccessibleName(u"Рисунок"_s);
  picture_->setFixedSize(kThumbnailWidth, kThumbnailHeight);
  picture_->setAlignment(Qt::AlignCenter);
  picture_->setFrameShape(QFrame::StyledPanel);
  pictureLayout->addWidget(picture_);
  auto* pictureSide = new QVBoxLayout;
  auto* numberRow = new QHBoxLayout;
  auto* numberLabel = new QLabel(u"&Номер рисунка:"_s, pictureBox);
  diagram_ = new QSpinBox(pictureBox);
  diagram_->setObjectName(u"Diagram"_s);
  diagram_->setAccessibleName(u"Номер рисунка"_s);
  diagram_->setRange(0, static_cast<int>(kMostDiagram));
  diagram_->setSpecialValueText(u"нет"_s);
  numberLabel->setBuddy(diagram_);
  numberRow->addWidget(numberLabel);
  numberRow->addWidget(diagram_);
  numberRow->addStretch();
  pictureSide->addLayout(numberRow);
  pictureName_ = note(pictureBox);
  pictureName_->setAccessibleName(u"Файл рисунка"_s);
  pictureSide->addWidget(pictureName_);
  auto* pictureButtons = new QHBoxLayout;
  choosePicture_ = button(pictureBox, u"Выбрать &рисунок…"_s, pictureButtons);
  removePicture_ = button(pictureBox, u"Убрать рисунок"_s, pictureButtons);
  pictureButtons->addStretch();
  pictureSide->addLayout(pictureButtons);
  pictureSide->addStretch();
  pictureLayout->addLayout(pictureSide, 1);
  connect(diagram_, &QSpinBox::valueChanged, this, &QuestionPanel::diagramChanged);
  connect(choosePicture_, &QPushButton::clicked, this, &QuestionPanel::choosePictureClicked);
  connect(removePicture_, &QPushButton::clicked, this, [this] {
    const std::size_t q = *place_.question;
    edit(u"Рисунок убран"_s,
         [&](CourseModel& m) { return m.setDiagram(place_.topic, q, std::nullopt); });
  });
  layout->addWidget(pictureBox);
  showPlace({});
}

bool QuestionPanel::edit(const QString& what, const CourseSession::Edit& fn, MergeKey merge,
                         std::optional<std::size_t> item) {
  if (filling_ || !hasQuestion()) return false;
  return session_.edit(what, fn, place_, merge, item);
}

std::string QuestionPanel::typed(const QString& text) {
  if (auto bytes = toCp1251(text)) return *bytes;
  // Characters the course's code page lacks become '?', and the author is told.
  std::string bytes;
  QString lacking;
  for (const char32_t c : text.toUcs4()) {
    const QString one = QString::fromUcs4(&c, 1);
    if (auto b = toCp1251(one)) {
      bytes += *b;
    } else {
      bytes += '?';
      if (!lacking.contains(one)) lacking += one;
    }
  }
  emit notice(
      u"Символов «%1» нет в кодировке курса (1251): они заменены знаком «?»."_s.arg(lacking));
  return bytes;
}

void QuestionPanel::showPlace(const Place& place) {
  place_ = place;
  filling_ = true;
  const bool has = session_.isOpen() && hasQuestion() &&
                   *place_.question < session_.model().questionCount(place_.topic);
  if (!has) place_.question.reset();
  if (has != enabled_) {
    for (QWidget* w : findChildren<QWidget*>()) w->setEnabled(has);
    heading_->setEnabled(true);
    enabled_ = has;
  }
  if (!has) {
    heading_->setText(
        session_.isOpen()
            ? u"Выберите вопрос в списке «Темы и вопросы»."_s
            : u"Откройте курс (Файл → Открыть курс…) или начните новый (Файл → Создать курс…)."_s);
    questionText_->clear();
    options_->setRowCount(0);
    rightAnswer_->clear();
    consultation_->clear();
    diagram_->setValue(0);
    optionsShared_->clear();
    consultationShared_->clear();
    picture_->clear();
    pictureName_->clear();
    filling_ = false;
    return;
  }
  const CourseModel& model = session_.model();
  const QuestionView view = model.question(place_.topic, *place_.question);
  heading_->setText(u"Вопрос %1 темы %2 «%3»"_s.arg(view.number)
                        .arg(place_.topic)
                        .arg(fromCp1251(model.topicTitle(place_.topic))));
  const QString text = fromCp1251(view.text);
  if (questionText_->toPlainText() != text) questionText_->setPlainText(text);

  optionLines_.clear();
  const int currentRow = options_->currentRow();
  options_->setRowCount(static_cast<int>(view.options.size()));
  rightAnswer_->clear();
  for (std::size_t i = 0; i < view.options.size(); ++i) {
    const OptionView& o = view.options[i];
    optionLines_.push_back(o.line);
    const int row = static_cast<int>(i);
    const bool right = o.digit >= 0 && o.digit == view.rightDigit;
    auto* mark = new QTableWidgetItem(o.digit >= 0 ? QString::number(o.digit) : u"?"_s);
    mark->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    mark->setCheckState(right ? Qt::Checked : Qt::Unchecked);
    mark->setToolTip(right ? u"Правильный ответ"_s : u"Отметьте, чтобы сделать ответ правильным"_s);
    options_->setItem(row, 0, mark);
    const QString optionText = fromCp1251(o.text);
    QTableWidgetItem* item = options_->item(row, 1);
    if (!item || item->text() != optionText)
      options_->setItem(row, 1, new QTableWidgetItem(optionText));
    if (o.digit >= 0)
      rightAnswer_->addItem(QString::number(o.digit) + u" — "_s + optionText, o.digit);
  }
  if (currentRow >= 0 && currentRow < options_->rowCount())
    options_->setCurrentCell(currentRow,
                             options_->currentColumn() < 0 ? 1 : options_->currentColumn());
  const int rightIndex = rightAnswer_->findData(view.rightDigit);
  if (rightIndex < 0 && view.rightDigit >= 0)
    rightAnswer_->addItem(QString::number(view.rightDigit) + u" — нет такого варианта"_s,
                          view.rightDigit);
  rightAnswer_->setCurrentIndex(rightAnswer_->findData(view.rightDigit));
  optionsShared_->setText(
      view.options.empty()
          ? u"У вопроса нет вариантов ответа: программа покажет «Ответы не найдены.»."_s
      : view.optionsSharedWith.empty()
          ? u"Варианты только у этого вопроса."_s
          : sharedText(u"Варианты"_s, view.number, view.optionsSharedWith));
  ownOptions_->setEnabled(!view.optionsSharedWith.empty());

  QStringList lines;
  for (const std::string& line : view.consultation) lines << fromCp1251(line);
  const QString consult = lines.join(QLatin1Char('\n'));
  if (consultation_->toPlainText() != consult) consultation_->setPlainText(consult);
  consultationShared_->setText(
      !view.hasConsultation
          ? u"Консультации у вопроса нет: программа покажет первую консультацию темы. "
            u"Напишите ее здесь."_s
      : view.consultationSharedWith.empty()
          ? u"Консультация только у этого вопроса."_s
          : sharedText(u"Консультация"_s, view.number, view.consultationSharedWith)
                .replace(u"общие"_s, u"общая"_s));
  ownConsultation_->setEnabled(!view.consultationSharedWith.empty());
  diagram_->setValue(view.diagram ? static_cast<int>(*view.diagram) : 0);
  removePicture_->setEnabled(view.diagram.has_value());
  showPicture(view);
  filling_ = false;
}

void QuestionPanel::showPicture(const QuestionView& view) {
  picture_->clear();
  if (!view.diagram) {
    pictureName_->setText(u"Рисунка нет."_s);
    return;
  }
  if (!view.pictureFile) {
    pictureName_->setText(u"Рисунок %1 не назван в graph.txt."_s.arg(*view.diagram));
    return;
  }
  const std::string& name = *view.pictureFile;
  QImage image;
  QString problem;
  const auto& pending = session_.model().document().pictures();
  const auto waiting = std::find_if(pending.begin(), pending.end(),
                                    [&](const PendingPicture& p) { return p.name == name; });
  if (waiting != pending.end()) {
    if (pictureFormatOf(name) == PictureFormat::Jpeg) {
      if (auto decoded = decodeJpeg(waiting->bytes.data(), waiting->bytes.size())) image = *decoded;
    } else {
      image.loadFromData(QByteArray::fromStdString(waiting->bytes));
    }
  } else {
    const QString path =
        QString::fromLocal8Bit(session_.model().document().folder().c_str()) + fromCp1251(name);
    auto read = readPicture(path, pictureFormatOf(name));
    if (read)
      image = *read;
    else
      problem = fromCp1251(describe(read.error()));
  }
  pictureName_->setText(fromCp1251(name) + (problem.isEmpty() ? QString() : u"\n"_s + problem));
  if (!image.isNull())
    picture_->setPixmap(QPixmap::fromImage(image.scaled(
        kThumbnailWidth - 4, kThumbnailHeight - 4, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

void QuestionPanel::questionTextChanged() {
  if (filling_ || !hasQuestion()) return;
  QString text = questionText_->toPlainText();
  if (text.contains(QLatin1Char('\n'))) {
    // Pasted lines become one: the file keeps a question on one line.
    const int cursor = questionText_->textCursor().position();
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    filling_ = true;
    questionText_->setPlainText(text);
    QTextCursor c = questionText_->textCursor();
    c.setPosition(std::min(cursor, static_cast<int>(text.size())));
    questionText_->setTextCursor(c);
    filling_ = false;
  }
  const std::string bytes = typed(text);
  const std::size_t q = *place_.question;
  edit(
      u"Текст вопроса"_s, [&](CourseModel& m) { return m.setQuestionText(place_.topic, q, bytes); },
      MergeKey::QuestionText);
}

void QuestionPanel::optionChanged(QTableWidgetItem* item) {
  if (filling_ || !hasQuestion()) return;
  const int row = item->row();
  if (row < 0 || static_cast<std::size_t>(row) >= optionLines_.size()) return;
  const std::size_t line = optionLines_[static_cast<std::size_t>(row)];
  const std::size_t q = *place_.question;
  if (item->column() == 0) {
    bool isDigit = false;
    const int digit = item->text().toInt(&isDigit);
    if (item->checkState() == Qt::Checked && isDigit) {
      edit(u"Правильный ответ"_s, [&](CourseModel& m) {
        return m.setRightAnswer(place_.topic, q, static_cast<unsigned>(digit));
      });
    } else {
      showPlace(place_);  // the right answer is chosen, not unchosen
    }
    return;
  }
  QString text = item->text();
  text.replace(QLatin1Char('\n'), QLatin1Char(' '));
  const std::string bytes = typed(text);
  edit(
      u"Вариант ответа"_s, [&](CourseModel& m) { return m.setOptionText(line, bytes); },
      MergeKey::OptionText, line);
}

void QuestionPanel::rightAnswerChosen(int index) {
  if (index < 0) return;
  const int digit = rightAnswer_->itemData(index).toInt();
  const std::size_t q = *place_.question;
  edit(u"Правильный ответ"_s, [&](CourseModel& m) {
    return m.setRightAnswer(place_.topic, q, static_cast<unsigned>(digit));
  });
}

std::optional<std::size_t> QuestionPanel::selectedOptionLine() const {
  const int row = options_->currentRow();
  if (row < 0 || static_cast<std::size_t>(row) >= optionLines_.size()) return std::nullopt;
  return optionLines_[static_cast<std::size_t>(row)];
}

void QuestionPanel::addOption() {
  const std::size_t q = *place_.question;
  const QString text = u"Новый вариант"_s;
  if (!edit(u"Вариант добавлен"_s,
            [&](CourseModel& m) { return m.addOption(place_.topic, q, *toCp1251(text)); })) {
    emit notice(u"У вопроса уже девять вариантов: цифр для вариантов больше нет."_s);
    return;
  }
  const int last = options_->rowCount() - 1;
  options_->setCurrentCell(last, 1);
  options_->setFocus();
  options_->editItem(options_->item(last, 1));
}

void QuestionPanel::removeOption() {
  const auto line = selectedOptionLine();
  if (!line) return;
  const std::size_t q = *place_.question;
  edit(u"Вариант удален"_s, [&](CourseModel& m) { return m.removeOption(place_.topic, q, *line); });
}

void QuestionPanel::moveOption(int delta) {
  const auto line = selectedOptionLine();
  if (!line) return;
  const int row = options_->currentRow();
  const std::size_t q = *place_.question;
  if (edit(u"Вариант перемещен"_s,
           [&](CourseModel& m) { return m.moveOption(place_.topic, q, *line, delta); }))
    options_->setCurrentCell(row + delta, 1);
}

void QuestionPanel::shareWith(bool options) {
  const CourseModel& model = session_.model();
  const std::size_t count = model.questionCount(place_.topic);
  const auto number =
      prompts_.askNumber(this, options ? u"Общие варианты"_s : u"Общая консультация"_s,
                         options ? u"Номер вопроса этой темы, варианты которого взять:"_s
                                 : u"Номер вопроса этой темы, консультацию которого взять:"_s,
                         1, 1, static_cast<int>(kMostQuestions));
  if (!number) return;
  std::optional<std::size_t> other;
  for (std::size_t p = 0; p < count; ++p)
    if (model.questionNumber(place_.topic, p) == static_cast<unsigned>(*number)) other = p;
  const std::size_t q = *place_.question;
  if (!other || *other == q) {
    emit notice(u"В теме нет другого вопроса с номером %1."_s.arg(*number));
    return;
  }
  const bool done =
      options ? edit(u"Общие варианты"_s,
                     [&](CourseModel& m) { return m.shareOptions(place_.topic, q, *other); })
              : edit(u"Общая консультация"_s,
                     [&](CourseModel& m) { return m.shareConsultation(place_.topic, q, *other); });
  if (!done)
    emit notice(options
                    ? u"У вопроса %1 нет вариантов, которые можно разделить."_s.arg(*number)
                    : u"У вопроса %1 нет консультации, которую можно разделить."_s.arg(*number));
}

void QuestionPanel::consultationChanged() {
  if (filling_ || !hasQuestion()) return;
  std::vector<std::string> lines;
  const QString text = consultation_->toPlainText();
  if (!text.isEmpty())
    for (const QString& line : text.split(QLatin1Char('\n'))) lines.push_back(typed(line));
  const std::size_t q = *place_.question;
  edit(
      u"Консультация"_s, [&](CourseModel& m) { return m.setConsultation(place_.topic, q, lines); },
      MergeKey::Consultation);
}

void QuestionPanel::diagramChanged(int value) {
  const std::size_t q = hasQuestion() ? *place_.question : 0;
  edit(u"Номер рисунка"_s, [&](CourseModel& m) {
    return m.setDiagram(
        place_.topic, q,
        value > 0 ? std::optional<unsigned>(static_cast<unsigned>(value)) : std::nullopt);
  });
}

void QuestionPanel::choosePictureClicked() {
  const QString path = prompts_.chooseOpenFile(this, u"Рисунок к вопросу"_s,
                                               u"Рисунки (*.jpg *.jpeg *.png *.bmp *.ico)"_s);
  if (path.isEmpty() || !hasQuestion()) return;
  const QFileInfo info(path);
  const std::string name = toCp1251(info.fileName()).value_or("");
  if (pictureKind(name) == PictureKind::Unknown || pictureKind(name) == PictureKind::Metafile) {
    emit notice(u"Программа показывает рисунки JPEG, PNG, BMP и ICO."_s);
    return;
  }
  const std::size_t q = *place_.question;
  const QString folder = QString::fromLocal8Bit(session_.model().document().folder().c_str());
  // A picture already in the course folder is named as it is; another is copied in.
  if (QFileInfo(folder).canonicalFilePath() == info.canonicalPath() && !name.empty()) {
    edit(u"Рисунок"_s,
         [&](CourseModel& m) { return m.attachPicture(place_.topic, q, name, std::nullopt); });
    return;
  }
  if (info.size() > kLargestPicture) {
    emit notice(u"Рисунок больше 32 МБ: возьмите рисунок поменьше."_s);
    return;
  }
  auto bytes = readText(QFile::encodeName(path).toStdString());
  if (!bytes) {
    emit notice(u"Файл «%1» не удается прочитать."_s.arg(info.fileName()));
    return;
  }
  std::string source =
      info.suffix().isEmpty() ? std::string("picture") : "picture." + info.suffix().toStdString();
  edit(u"Рисунок"_s,
       [&](CourseModel& m) { return m.attachPicture(place_.topic, q, source, std::move(*bytes)); });
}

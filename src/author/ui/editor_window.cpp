#include "author/ui/editor_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QSettings>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTreeView>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "author/folder_save.h"
#include "author/ui/card_preview.h"
#include "author/ui/course_dialogs.h"
#include "author/ui/course_tree.h"
#include "author/ui/editor_prompts.h"
#include "author/ui/question_panel.h"
#include "convert/course_folder.h"
#include "convert/formats.h"
#include "platform/cp1251.h"
#include "platform/text_file.h"
#include "platform/ui/codec.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kRecentFolders = 8;
const QString kRecentKey = u"recentFolders"_s;

std::string localPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

// The template course packed into the editor: what "Создать курс" starts from.
std::array<std::optional<std::string>, kCourseFileCount> templateFiles() {
  std::array<std::optional<std::string>, kCourseFileCount> files;
  for (std::size_t i = 0; i < kCourseFileCount; ++i) {
    QFile file(u":/template/"_s + QString::fromLatin1(courseFileName(kCourseFiles[i])));
    if (file.open(QIODevice::ReadOnly)) files[i] = file.readAll().toStdString();
  }
  return files;
}

QString joinedNotes(const std::vector<ConvertNote>& notes) {
  QStringList lines;
  for (const ConvertNote& note : notes)
    lines << QString::fromStdString(note.file + (note.line ? ":" + std::to_string(note.line) : "") +
                                    (note.leftOut ? ": пропущен: " : ": замечание: ") +
                                    note.message);
  return lines.join(QLatin1Char('\n'));
}

}  // namespace

EditorWindow::EditorWindow(EditorPrompts& prompts, QSettings& settings, QWidget* parent)
    : QMainWindow(parent), prompts_(prompts), settings_(settings) {
  setObjectName(u"EditorWindow"_s);
  treeModel_ = new CourseTreeModel(session_, this);

  auto* topicsSide = new QWidget(this);
  auto* topicsLayout = new QVBoxLayout(topicsSide);
  topicsLayout->setContentsMargins(4, 4, 4, 4);
  auto* treeLabel = new QLabel(u"Темы и &вопросы:"_s, topicsSide);
  tree_ = new QTreeView(topicsSide);
  tree_->setObjectName(u"Tree"_s);
  tree_->setAccessibleName(u"Темы и вопросы"_s);
  tree_->setModel(treeModel_);
  tree_->setHeaderHidden(true);
  tree_->setUniformRowHeights(true);  // thousands of rows scroll without measuring each
  tree_->setContextMenuPolicy(Qt::ActionsContextMenu);
  treeLabel->setBuddy(tree_);
  topicsLayout->addWidget(treeLabel);
  topicsLayout->addWidget(tree_);
  connect(tree_->selectionModel(), &QItemSelectionModel::currentChanged, this,
          &EditorWindow::currentChanged);

  panel_ = new QuestionPanel(session_, prompts_, this);
  auto* panelScroll = new QScrollArea(this);
  panelScroll->setWidget(panel_);
  panelScroll->setWidgetResizable(true);
  panelScroll->setFrameShape(QFrame::NoFrame);
  connect(panel_, &QuestionPanel::notice, this, &EditorWindow::showNotice);

  preview_ = new CardPreview(this);
  preview_->setObjectName(u"Preview"_s);

  auto* checkSide = new QWidget(this);
  auto* checkLayout = new QVBoxLayout(checkSide);
  checkLayout->setContentsMargins(4, 0, 4, 4);
  summary_ = new QLabel(checkSide);
  summary_->setObjectName(u"CheckSummary"_s);
  summary_->setAccessibleName(u"Итог проверки"_s);
  summary_->setTextFormat(Qt::PlainText);
  auto* findingsLabel = new QLabel(u"Замечания про&верки:"_s, checkSide);
  findings_ = new QTreeWidget(checkSide);
  findings_->setObjectName(u"Findings"_s);
  findings_->setAccessibleName(u"Замечания проверки"_s);
  findings_->setRootIsDecorated(false);
  findings_->setHeaderLabels({u"Место"_s, u"Замечание"_s});
  findings_->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
  findings_->setWordWrap(true);
  findings_->setTextElideMode(Qt::ElideNone);
  findingsLabel->setBuddy(findings_);
  summary_->setWordWrap(true);
  checkLayout->addWidget(findingsLabel);
  checkLayout->addWidget(summary_);
  checkLayout->addWidget(findings_);
  connect(findings_, &QTreeWidget::itemActivated, this, &EditorWindow::goToFinding);

  // The question as the student sees it above the findings on the whole course.
  auto* side = new QSplitter(Qt::Vertical, this);
  side->addWidget(preview_);
  side->addWidget(checkSide);
  side->setStretchFactor(0, 1);
  side->setStretchFactor(1, 1);
  side->setSizes({430, 430});
  auto* main = new QSplitter(Qt::Horizontal, this);
  main->addWidget(topicsSide);
  main->addWidget(panelScroll);
  main->addWidget(side);
  main->setStretchFactor(0, 1);
  main->setStretchFactor(1, 2);
  main->setStretchFactor(2, 0);
  main->setSizes({250, 570, preview_->minimumSizeHint().width()});
  setCentralWidget(main);

  connect(&session_, &CourseSession::changed, this, &EditorWindow::courseChanged);
  connect(&session_.undoStack(), &QUndoStack::cleanChanged, this, &EditorWindow::updateTitle);
  connect(&checker_, &CheckRunner::checked, this, &EditorWindow::showFindings);
  buildMenus();
  qApp->installEventFilter(this);
  statusBar();
  resize(1380, 900);
  updateTitle();
  updateActions();
  panel_->showPlace({});
}

EditorWindow::~EditorWindow() { qApp->removeEventFilter(this); }

QString EditorWindow::folder() const {
  if (!session_.isOpen()) return {};
  return QDir::cleanPath(QString::fromLocal8Bit(session_.model().document().folder().c_str()));
}

void EditorWindow::buildMenus() {
  auto add = [this](QMenu* menu, const QString& text, const QKeySequence& key, auto slot,
                    bool needsCourse = true) {
    QAction* action = menu->addAction(text);
    if (!key.isEmpty()) action->setShortcut(key);
    connect(action, &QAction::triggered, this, slot);
    if (needsCourse) courseActions_.push_back(action);
    return action;
  };
  QMenu* file = menuBar()->addMenu(u"&Файл"_s);
  add(
      file, u"&Создать курс…"_s, QKeySequence::New, [this] { createCourse(); }, false);
  add(file, u"&Открыть курс…"_s, QKeySequence::Open, &EditorWindow::openChosenFolder, false);
  recentMenu_ = file->addMenu(u"&Последние курсы"_s);
  connect(recentMenu_, &QMenu::aboutToShow, this, &EditorWindow::fillRecentMenu);
  add(file, u"Со&хранить"_s, QKeySequence::Save, [this] { save(); });
  file->addSeparator();
  add(file, u"&Импорт…"_s, QKeySequence(), &EditorWindow::importFile);
  add(file, u"&Экспорт…"_s, QKeySequence(), &EditorWindow::exportFile);
  file->addSeparator();
  add(
      file, u"В&ыход"_s, QKeySequence::Quit, [this] { close(); }, false);

  QMenu* editMenu = menuBar()->addMenu(u"&Правка"_s);
  QAction* undo = session_.undoStack().createUndoAction(this, u"&Отменить"_s);
  undo->setShortcut(QKeySequence::Undo);
  QAction* redo = session_.undoStack().createRedoAction(this, u"&Повторить"_s);
  redo->setShortcuts({QKeySequence(u"Ctrl+Y"_s), QKeySequence(u"Ctrl+Shift+Z"_s)});
  editMenu->addAction(undo);
  editMenu->addAction(redo);

  QMenu* topic = menuBar()->addMenu(u"&Тема"_s);
  add(topic, u"&Добавить тему…"_s, QKeySequence(), &EditorWindow::addTopic);
  add(topic, u"&Переименовать тему…"_s, QKeySequence(Qt::Key_F2), &EditorWindow::renameTopic);
  topicUp_ = add(topic, u"Тему в&ыше"_s, QKeySequence(u"Ctrl+Alt+Up"_s), [this] { moveTopic(-1); });
  topicDown_ =
      add(topic, u"Тему &ниже"_s, QKeySequence(u"Ctrl+Alt+Down"_s), [this] { moveTopic(1); });
  add(topic, u"&Удалить тему"_s, QKeySequence(), &EditorWindow::deleteTopic);

  QMenu* question = menuBar()->addMenu(u"&Вопрос"_s);
  QAction* addAfter = add(question, u"Добавить вопрос &после выбранного"_s,
                          QKeySequence(u"Ctrl+Return"_s), [this] { addQuestion(true, false); });
  QAction* addEnd =
      add(question, u"Добавить вопрос в &конец темы"_s, QKeySequence(u"Ctrl+Shift+Return"_s),
          [this] { addQuestion(false, false); });
  QAction* addShared = add(question, u"Добавить вопрос с &теми же вариантами"_s, QKeySequence(),
                           [this] { addQuestion(true, true); });
  QAction* remove = add(question, u"&Удалить вопрос"_s, QKeySequence(u"Ctrl+Delete"_s),
                        &EditorWindow::deleteQuestion);
  questionUp_ =
      add(question, u"Вопрос в&ыше"_s, QKeySequence(u"Ctrl+Up"_s), [this] { moveQuestion(-1); });
  questionDown_ =
      add(question, u"Вопрос &ниже"_s, QKeySequence(u"Ctrl+Down"_s), [this] { moveQuestion(1); });
  tree_->addActions({addAfter, addEnd, addShared, remove, questionUp_, questionDown_});

  QMenu* course = menuBar()->addMenu(u"&Курс"_s);
  add(course, u"&Диапазоны…"_s, QKeySequence(), &EditorWindow::editRanges);
  add(course, u"&Название и заставка…"_s, QKeySequence(), &EditorWindow::editIdentity);
  add(course, u"&Запустить"_s, QKeySequence(Qt::Key_F5), &EditorWindow::runCourse);

  QMenu* help = menuBar()->addMenu(u"&Справка"_s);
  add(
      help, u"&О редакторе"_s, QKeySequence(),
      [this] {
        prompts_.inform(this, u"О редакторе"_s,
                        u"Редактор курса Ворсанит\n\nТемы, вопросы, варианты ответа, консультации, "
                        u"рисунки и диапазоны курса без знания формата его файлов. Файлы курса "
                        u"меняются только там, где вы их правили.\n\nGPL-3.0-or-later"_s);
      },
      false);
}

// ---- Opening, creating, saving ----

bool EditorWindow::settleChanges() {
  if (!session_.modified()) return true;
  switch (prompts_.askSave(this, u"Курс «%1» изменен. Сохранить изменения?"_s.arg(folder()))) {
    case EditorPrompts::Answer::Save:
      return save();
    case EditorPrompts::Answer::Discard:
      return true;
    case EditorPrompts::Answer::Cancel:
      break;
  }
  return false;
}

void EditorWindow::openChosenFolder() {
  const QString chosen = prompts_.chooseFolder(this, u"Папка курса"_s);
  if (!chosen.isEmpty()) openFolder(chosen);
}

bool EditorWindow::openFolder(const QString& path) {
  if (!settleChanges()) return false;
  const QString shown = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
  if (!QFileInfo(shown + u"/main.txt"_s).exists() && QFileInfo(shown).isDir()) {
    prompts_.inform(this, u"Курс не открыт"_s,
                    u"В папке «%1» нет файла main.txt: это не папка курса. Новый курс начинается "
                    u"командой «Файл → Создать курс…»."_s.arg(shown));
    return false;
  }
  OpenError error;
  auto doc = openCourseFolder(localPath(shown), &error);
  if (!doc) {
    prompts_.inform(
        this, u"Курс не открыт"_s,
        u"Курс «%1» не открыт.\n%2"_s.arg(shown, QString::fromStdString(error.message())));
    return false;
  }
  showCourse(std::move(*doc), true);
  rememberFolder(shown);
  return true;
}

void EditorWindow::showCourse(CourseDocument doc, bool saved) {
  checker_.stop();
  findings_->clear();
  session_.open(CourseModel(std::move(doc)), saved);
  treeModel_->reload();
  const CourseModel& model = session_.model();
  selectPlace(model.topicCount() > 0 && model.questionCount(1) > 0
                  ? Place{1, 0}
                  : Place{model.topicCount() > 0 ? 1u : 0u, std::nullopt});
  tree_->expand(treeModel_->indexOf({1, std::nullopt}));
  updateTitle();
  updateActions();
  scheduleCheck();
}

bool EditorWindow::createCourse(const QString& chosen) {
  if (!settleChanges()) return false;
  const QString path =
      chosen.isEmpty() ? prompts_.chooseFolder(this, u"Папка нового курса"_s) : chosen;
  if (path.isEmpty()) return false;
  const QString shown = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
  if (QFileInfo::exists(shown + u"/main.txt"_s)) {
    prompts_.inform(this, u"Курс не создан"_s,
                    u"В папке «%1» уже есть курс. Откройте его командой «Файл → Открыть курс…» "
                    u"или выберите пустую папку."_s.arg(shown));
    return false;
  }
  OpenError error;
  auto doc = CourseDocument::fromBytes(localPath(shown), templateFiles(), &error);
  if (!doc) return false;
  showCourse(std::move(*doc), false);
  statusBar()->showMessage(
      u"Новый курс из образца: он будет записан в папку при сохранении (Ctrl+S)."_s);
  return true;
}

bool EditorWindow::save() {
  if (!session_.isOpen()) return false;
  CourseDocument& doc = session_.model().document();
  SaveReport report = saveCourse(doc, false);
  if (!report.saved && !report.conflicts.empty()) {
    QStringList names;
    for (const std::string& name : report.conflicts) names << QString::fromStdString(name);
    if (!prompts_.confirm(this, u"Файлы изменены на диске"_s,
                          u"После открытия курса другая программа изменила файлы: %1. "
                          u"Записать поверх них курс из редактора?"_s.arg(names.join(u", "_s))))
      return false;
    report = saveCourse(doc, true);
  }
  if (!report.saved) {
    prompts_.inform(
        this, u"Курс не сохранен"_s,
        u"Курс не сохранен, ни один файл не изменен.\n"_s + QString::fromStdString(report.error));
    return false;
  }
  session_.markSaved();
  rememberFolder(folder());
  updateTitle();
  // Work in progress may be saved with errors; the author is told how many.
  const CourseCheck check = checker_.lastVersion() == doc.version()
                                ? checker_.last()
                                : checker_.checkNow(snapshotOf(doc));
  const QString written =
      report.written.empty() ? u"Сохранено: изменений в файлах нет."_s : u"Сохранено: "_s + [&] {
        QStringList names;
        for (const std::string& n : report.written) names << QString::fromStdString(n);
        return names.join(u", "_s);
      }() + u"."_s;
  if (check.errors() > 0) {
    statusBar()->showMessage(written + u" Ошибок в курсе: %1."_s.arg(check.errors()));
    prompts_.inform(
        this, u"Курс сохранен с ошибками"_s,
        u"Курс сохранен, но в нем ошибок: %1. Пока они есть, программа не загрузит "
        u"некоторые темы. Они перечислены в «Замечаниях проверки»."_s.arg(check.errors()));
  } else {
    statusBar()->showMessage(written);
  }
  return true;
}

void EditorWindow::closeEvent(QCloseEvent* event) {
  if (!settleChanges()) {
    event->ignore();
    return;
  }
  checker_.stop();
  event->accept();
}

void EditorWindow::rememberFolder(const QString& path) {
  QStringList recent = settings_.value(kRecentKey).toStringList();
  recent.removeAll(path);
  recent.prepend(path);
  while (recent.size() > kRecentFolders) recent.removeLast();
  settings_.setValue(kRecentKey, recent);
}

void EditorWindow::fillRecentMenu() {
  recentMenu_->clear();
  const QStringList recent = settings_.value(kRecentKey).toStringList();
  if (recent.isEmpty()) recentMenu_->addAction(u"(пусто)"_s)->setEnabled(false);
  int n = 0;
  for (const QString& path : recent) {
    QAction* action = recentMenu_->addAction(u"&%1 %2"_s.arg(++n).arg(path));
    connect(action, &QAction::triggered, this, [this, path] { openFolder(path); });
  }
}

// ---- The views follow the course ----

Place EditorWindow::currentPlace() const { return treeModel_->placeOf(tree_->currentIndex()); }

void EditorWindow::selectPlace(const Place& place) {
  const QModelIndex index = treeModel_->indexOf(place);
  selecting_ = true;
  if (index.isValid()) {
    if (index.parent().isValid()) tree_->expand(index.parent());
    tree_->setCurrentIndex(index);
    // A place far away is shown in the middle of the list, not at its edge.
    const bool inView = tree_->viewport()->rect().contains(tree_->visualRect(index));
    tree_->scrollTo(
        index, inView ? QAbstractItemView::EnsureVisible : QAbstractItemView::PositionAtCenter);
  } else {
    tree_->setCurrentIndex({});
  }
  selecting_ = false;
  currentChanged();
}

void EditorWindow::currentChanged() {
  if (selecting_) return;
  const Place place = currentPlace();
  session_.setCurrent(place);
  panel_->showPlace(place);
  if (session_.isOpen() && place.question) {
    const QuestionView view = session_.model().question(place.topic, *place.question);
    preview_->showQuestion(&view);
  } else {
    preview_->showQuestion(nullptr);
  }
  updateActions();
}

void EditorWindow::courseChanged(Place place, bool structural) {
  if (structural) {
    QSet<unsigned> expanded;
    for (int t = 0; t < treeModel_->rowCount(); ++t)
      if (tree_->isExpanded(treeModel_->index(t, 0))) expanded.insert(static_cast<unsigned>(t + 1));
    treeModel_->reload();
    for (unsigned t : expanded)
      if (t <= session_.model().topicCount()) tree_->expand(treeModel_->indexOf({t, std::nullopt}));
    selectPlace(place);
  } else {
    if (place.question) {
      const QModelIndex index = treeModel_->indexOf(place);
      emit treeModel_->dataChanged(index, index);
    }
    if (!(currentPlace() == place))
      selectPlace(place);
    else
      currentChanged();
  }
  updateTitle();
  scheduleCheck();
}

void EditorWindow::updateTitle() {
  if (!session_.isOpen()) {
    setWindowTitle(u"Редактор курса Ворсанит"_s);
    setWindowModified(false);
    return;
  }
  setWindowTitle(u"%1[*] — Редактор курса Ворсанит"_s.arg(folder()));
  setWindowModified(session_.modified());
}

void EditorWindow::updateActions() {
  for (QAction* action : courseActions_) action->setEnabled(session_.isOpen());
  const Place place = currentPlace();
  const bool open = session_.isOpen();
  const std::size_t topics = open ? session_.model().topicCount() : 0;
  topicUp_->setEnabled(open && place.topic > 1 && place.topic <= kLastContentTopic);
  topicDown_->setEnabled(open && place.topic >= 1 &&
                         place.topic < std::min<std::size_t>(topics, kLastContentTopic));
  const std::size_t count = open && place.topic ? session_.model().questionCount(place.topic) : 0;
  questionUp_->setEnabled(place.question && *place.question > 0);
  questionDown_->setEnabled(place.question && *place.question + 1 < count);
}

void EditorWindow::showNotice(const QString& text) { statusBar()->showMessage(text, 8000); }

// ---- The live check ----

void EditorWindow::scheduleCheck() {
  if (!session_.isOpen()) return;
  summary_->setText(u"Проверяется…"_s);
  checker_.schedule([this] { return snapshotOf(session_.model().document()); });
}

void EditorWindow::showFindings() {
  const CourseCheck& check = checker_.last();
  findings_->clear();
  const bool current =
      session_.isOpen() && checker_.lastVersion() == session_.model().document().version();
  summary_->setText(fromCp1251(summaryLine(check)) + (current ? QString() : u" Проверяется…"_s));
  QList<QTreeWidgetItem*> items;
  for (const Finding& f : check.findings) {
    auto* item = new QTreeWidgetItem;
    item->setText(0, QString::fromStdString(f.file) +
                         (f.line ? u":"_s + QString::number(f.line) : QString()));
    const QString kind = f.kind == FindingKind::Error     ? u"ошибка: "_s
                         : f.kind == FindingKind::Warning ? u"предупреждение: "_s
                                                          : u"замечание: "_s;
    item->setText(1, kind + fromCp1251(visibleControls(f.what)));
    item->setToolTip(1, item->text(1));
    item->setIcon(0, style()->standardIcon(
                         f.kind == FindingKind::Error     ? QStyle::SP_MessageBoxCritical
                         : f.kind == FindingKind::Warning ? QStyle::SP_MessageBoxWarning
                                                          : QStyle::SP_MessageBoxInformation));
    item->setData(0, Qt::UserRole, QString::fromStdString(f.file));
    item->setData(1, Qt::UserRole, f.line);
    items << item;
  }
  findings_->addTopLevelItems(items);
}

void EditorWindow::goToFinding(QTreeWidgetItem* item) {
  if (!session_.isOpen() || !item) return;
  const auto file = courseFileNamed(item->data(0, Qt::UserRole).toString().toStdString());
  const unsigned line = item->data(1, Qt::UserRole).toUInt();
  if (!file) return;
  if (*file == CourseFileId::Identity) {
    editIdentity();
    return;
  }
  if (line == 0) return;
  const auto place = session_.model().placeOfLine(*file, line - 1);
  if (!place) return;
  selectPlace({place->first, place->second});
  switch (*file) {
    case CourseFileId::Questions:
      panel_->questionText()->setFocus();
      break;
    case CourseFileId::Answers:
      panel_->options()->setFocus();
      break;
    case CourseFileId::Consultations:
      panel_->consultation()->setFocus();
      break;
    case CourseFileId::Ranges:
      editRanges();
      break;
    default:
      tree_->setFocus();
  }
}

// ---- Undo keys reach the course's history from within a text field ----

bool EditorWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::ShortcutOverride && watched->isWidgetType() &&
      isAncestorOf(static_cast<QWidget*>(watched))) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo) ||
        key->keyCombination() == QKeyCombination(Qt::ControlModifier, Qt::Key_Y)) {
      event->ignore();
      return true;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

// ---- Topics and questions ----

void EditorWindow::addTopic() {
  if (session_.model().topicCount() >= kLastContentTopic) {
    prompts_.inform(this, u"Тема не добавлена"_s,
                    u"В курсе уже девять тем: номер темы в файлах курса - одна цифра."_s);
    return;
  }
  const auto title = prompts_.askText(this, u"Новая тема"_s, u"Название темы:"_s, u"Новая тема"_s);
  if (!title || title->trimmed().isEmpty()) return;
  const auto bytes = toCp1251(*title);
  if (!bytes) {
    showNotice(u"В названии есть символ, которого нет в кодировке курса (1251)."_s);
    return;
  }
  const auto t = static_cast<unsigned>(session_.model().topicCount() + 1);
  session_.edit(u"Тема добавлена"_s,
                [&](CourseModel& m) { return m.addTopic(*bytes, CourseModel::newQuestion()); },
                {t, 0});
  tree_->expand(treeModel_->indexOf({t, std::nullopt}));
}

void EditorWindow::renameTopic() {
  const Place place = currentPlace();
  if (place.topic == 0) return;
  const auto title = prompts_.askText(this, u"Название темы"_s, u"Название темы:"_s,
                                      fromCp1251(session_.model().topicTitle(place.topic)));
  if (!title || title->isEmpty()) return;
  const auto bytes = toCp1251(*title);
  if (!bytes) {
    showNotice(u"В названии есть символ, которого нет в кодировке курса (1251)."_s);
    return;
  }
  session_.edit(u"Тема переименована"_s,
                [&](CourseModel& m) { return m.renameTopic(place.topic, *bytes); },
                {place.topic, std::nullopt});
}

void EditorWindow::moveTopic(int delta) {
  const Place place = currentPlace();
  session_.edit(u"Тема перемещена"_s,
                [&](CourseModel& m) { return m.moveTopic(place.topic, delta); },
                {static_cast<unsigned>(static_cast<int>(place.topic) + delta), std::nullopt});
}

void EditorWindow::deleteTopic() {
  const Place place = currentPlace();
  if (place.topic == 0) return;
  if (!prompts_.confirm(this, u"Удалить тему"_s,
                        u"Удалить тему «%1» со всеми ее вопросами (%2), вариантами, консультациями "
                        u"и диапазонами? Это можно отменить (Ctrl+Z)."_s
                            .arg(fromCp1251(session_.model().topicTitle(place.topic)))
                            .arg(session_.model().questionCount(place.topic))))
    return;
  session_.edit(
      u"Тема удалена"_s, [&](CourseModel& m) { return m.deleteTopic(place.topic); },
      {std::min<unsigned>(place.topic, static_cast<unsigned>(session_.model().topicCount() - 1)),
       std::nullopt});
}

void EditorWindow::addQuestion(bool afterSelected, bool sameOptions) {
  const Place place = currentPlace();
  if (place.topic == 0) return;
  if (!CourseModel::holdsQuestions(place.topic)) {
    showNotice(u"Вопросы бывают только у первых девяти тем."_s);
    return;
  }
  const std::size_t count = session_.model().questionCount(place.topic);
  if (count >= kMostQuestions) {
    showNotice(u"В теме уже 999 вопросов: больше номер вопроса не позволяет."_s);
    return;
  }
  const std::size_t at = afterSelected && place.question ? *place.question + 1 : count;
  const std::optional<std::size_t> source = place.question;
  const bool done = session_.edit(
      u"Вопрос добавлен"_s,
      [&](CourseModel& m) {
        Change change = m.insertQuestion(place.topic, at, CourseModel::newQuestion());
        if (sameOptions && source && !change.empty())
          change.append(m.shareOptions(place.topic, at, *source < at ? *source : *source + 1));
        return change;
      },
      {place.topic, at});
  if (done) {
    panel_->questionText()->setFocus();
    panel_->questionText()->selectAll();
  }
}

void EditorWindow::deleteQuestion() {
  const Place place = currentPlace();
  if (!place.question) return;
  const std::size_t count = session_.model().questionCount(place.topic);
  const std::size_t next = *place.question + 1 < count ? *place.question : *place.question - 1;
  session_.edit(
      u"Вопрос удален"_s,
      [&](CourseModel& m) { return m.deleteQuestion(place.topic, *place.question); },
      count > 1 ? Place{place.topic, next} : Place{place.topic, std::nullopt});
}

void EditorWindow::moveQuestion(int delta) {
  const Place place = currentPlace();
  if (!place.question) return;
  const auto to = static_cast<std::size_t>(static_cast<long>(*place.question) + delta);
  session_.edit(u"Вопрос перемещен"_s,
                [&](CourseModel& m) { return m.moveQuestion(place.topic, *place.question, to); },
                {place.topic, to});
}

// ---- Course-wide dialogs ----

void EditorWindow::editRanges() {
  const Place place = currentPlace();
  if (!CourseModel::holdsQuestions(place.topic)) {
    showNotice(u"Выберите тему (одну из первых девяти), чтобы задать ее диапазоны."_s);
    return;
  }
  RangesDialog dialog(fromCp1251(session_.model().topicTitle(place.topic)),
                      session_.model().questionCount(place.topic),
                      session_.model().ranges(place.topic), this);
  if (dialog.exec() != QDialog::Accepted) return;
  const auto rows = dialog.rows();
  if (!rows) {
    showNotice(
        u"В подписи есть символ, которого нет в кодировке курса (1251): диапазоны не изменены."_s);
    return;
  }
  session_.edit(
      u"Диапазоны"_s, [&](CourseModel& m) { return m.setRanges(place.topic, *rows); }, place);
}

void EditorWindow::editIdentity() {
  IdentityDialog dialog(session_.model().identity(), this);
  if (dialog.exec() != QDialog::Accepted) return;
  const auto fields = dialog.fields();
  if (!fields) {
    showNotice(
        u"В тексте есть символ, которого нет в кодировке курса (1251): название не изменено."_s);
    return;
  }
  session_.edit(
      u"Название курса"_s, [&](CourseModel& m) { return m.setIdentity(*fields); }, currentPlace());
}

void EditorWindow::importFile() {
  const QString path = prompts_.chooseOpenFile(
      this, u"Импорт вопросов"_s,
      u"Вопросы (*.xml *.gift *.txt);;Moodle XML (*.xml);;GIFT (*.gift);;Aiken (*.txt)"_s);
  if (path.isEmpty()) return;
  const std::size_t free =
      kLastContentTopic - std::min<std::size_t>(session_.model().topicCount(), kLastContentTopic);
  if (free == 0) {
    prompts_.inform(this, u"Импорт"_s, u"В курсе уже девять тем: новую тему добавить некуда."_s);
    return;
  }
  const auto bytes = readText(localPath(path));
  const QFileInfo info(path);
  if (!bytes) {
    prompts_.inform(this, u"Импорт"_s, u"Файл «%1» не удается прочитать."_s.arg(info.fileName()));
    return;
  }
  const std::string name = info.fileName().toStdString();
  const std::string title = info.completeBaseName().toStdString();
  const QString suffix = info.suffix().toLower();
  ConvertResult result = suffix == u"xml"_s    ? readMoodleXml(*bytes, name, title)
                         : suffix == u"gift"_s ? readGift(*bytes, name, title)
                                               : readAiken(*bytes, name, title);
  // As the converter brings a bank in: the right answers not always first.
  shuffleOptions(result.course);
  std::vector<ConvertNote> notes = result.notes;
  std::size_t taken = 0;
  QString report;
  if (result.readable && result.course.questionCount() > 0) {
    if (result.course.topics.size() > free) {
      for (std::size_t k = free; k < result.course.topics.size(); ++k)
        notes.push_back(
            {name, 0,
             "тема «" + result.course.topics[k].title + "» не помещается: в курсе не больше 9 тем.",
             true});
      result.course.topics.resize(free);
    }
    const CourseFiles files = renderCourse(result.course, name, notes);
    taken = files.questionCount;
    auto other = CourseDocument::fromBytes(
        "", {files.main, files.questions, files.answers, files.consultations, files.ranges,
             std::nullopt, std::nullopt});
    if (other && taken > 0) {
      const auto first = static_cast<unsigned>(session_.model().topicCount() + 1);
      const CourseModel imported(std::move(*other));
      session_.edit(u"Импорт"_s, [&](CourseModel& m) { return m.appendTopics(imported); },
                    {first, 0});
    }
  }
  std::size_t leftOut = 0;
  for (const ConvertNote& note : notes) leftOut += note.leftOut ? 1 : 0;
  report = u"Перенесено вопросов: %1; пропущено: %2."_s.arg(taken).arg(leftOut);
  if (!notes.empty()) report += u"\n\n"_s + joinedNotes(notes);
  prompts_.inform(this, u"Импорт из «%1»"_s.arg(info.fileName()), report);
}

void EditorWindow::exportFile() {
  QString filter;
  QString path = prompts_.chooseSaveFile(this, u"Экспорт вопросов"_s,
                                         u"Moodle XML (*.xml);;GIFT (*.gift)"_s, &filter);
  if (path.isEmpty()) return;
  const bool gift = filter.contains(u"gift"_s) || path.endsWith(u".gift"_s, Qt::CaseInsensitive);
  if (QFileInfo(path).suffix().isEmpty()) {
    path += gift ? u".gift"_s : u".xml"_s;
    // The file dialog asked about the name without the extension.
    if (QFileInfo::exists(path) &&
        !prompts_.confirm(this, u"Экспорт"_s,
                          u"Файл «%1» уже есть. Заменить его?"_s.arg(QFileInfo(path).fileName())))
      return;
  }
  QTemporaryDir work;
  const std::string folder = localPath(work.path()) + "/course";
  if (!writeSnapshot(snapshotOf(session_.model().document()), folder)) {
    prompts_.inform(this, u"Экспорт"_s, u"Не удается подготовить курс к экспорту."_s);
    return;
  }
  const ConvertResult result = readCourseFolder(asFolder(folder));
  const std::string bytes = gift ? writeGift(result.course) : writeMoodleXml(result.course);
  // The file dialog asked before replacing a file of that name.
  if (const auto failure = writeNewFile(localPath(path), bytes, true)) {
    prompts_.inform(this, u"Экспорт"_s, QString::fromStdString(*failure));
    return;
  }
  QString report =
      u"Записано вопросов: %1 в «%2»; пропущено: %3."_s.arg(result.course.questionCount())
          .arg(QFileInfo(path).fileName())
          .arg(result.leftOut());
  if (!result.notes.empty()) report += u"\n\n"_s + joinedNotes(result.notes);
  prompts_.inform(this, u"Экспорт"_s, report);
}

void EditorWindow::runCourse() {
  if (session_.modified()) {
    switch (prompts_.askSave(
        this, u"Программа читает курс с диска. Сохранить изменения перед запуском?"_s)) {
      case EditorPrompts::Answer::Save:
        if (!save()) return;
        break;
      case EditorPrompts::Answer::Discard:
        break;
      case EditorPrompts::Answer::Cancel:
        return;
    }
  }
  const QString besides = QCoreApplication::applicationDirPath() + u"/vorsanit"_s;
  const QString program = QFileInfo(besides).isExecutable() ? besides : u"vorsanit"_s;
  if (!prompts_.startProgram(program, folder()))
    prompts_.inform(this, u"Курс не запущен"_s,
                    u"Программа «%1» не запускается. Установлен ли пакет vorsanit?"_s.arg(program));
}

// The course document: open and save gives back every byte and touches no
// file; a change writes only its files, all of them or none; a file changed
// behind the editor's back is not overwritten unasked.
#include "author/course_document.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <random>

#include "author/course_model.h"
#include "author/course_snapshot.h"
#include "author/folder_save.h"
#include "convert/course_folder.h"
#include "platform/cp1251.h"
#include "platform/text_file.h"

namespace {

namespace fs = std::filesystem;
using Files = std::map<std::string, std::string>;  // name -> bytes

class Folder {
 public:
  Folder() {
    std::random_device random;
    dir_ = fs::temp_directory_path() / ("vors_author_" + std::to_string(random()));
    fs::create_directories(dir_);
  }
  ~Folder() {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  std::string path() const { return dir_.string() + "/"; }
  void write(const Files& files) const {
    for (const auto& [name, bytes] : files) std::ofstream(dir_ / name, std::ios::binary) << bytes;
  }
  Files read() const {
    Files files;
    for (const auto& entry : fs::directory_iterator(dir_))
      files[entry.path().filename().string()] = *readText(entry.path().string());
    return files;
  }
  std::int64_t mtime(const std::string& name) const {
    struct stat info {};
    ::stat((dir_ / name).c_str(), &info);
    return info.st_mtim.tv_sec * 1'000'000'000LL + info.st_mtim.tv_nsec;
  }

 private:
  fs::path dir_;
};

Files filesOf(const std::string& folder) {
  Files files;
  for (const auto& entry : fs::directory_iterator(folder))
    if (entry.path().extension() == ".txt")
      files[entry.path().filename().string()] = *readText(entry.path().string());
  return files;
}

// A course of every shape of line end and encoding the program reads.
Files oddCourse() {
  return {
      {"main.txt", cp("Тема\n\nВторая тема")},  // LF, an empty line, no final line end
      {"vopros.txt",
       "\xEF\xBB\xBF+++1\r\n_001_1_1_\xD0\x92\xD0\xBE\xD0\xBF\xD1\x80\xD0\xBE\xD1\x81\r\n"
       "+++2\n_001_1_1_Q\r\n"},  // UTF-8 with its mark, mixed line ends
      {"otvet.txt", "+++1\r\n**_1_\r\n_1_\xD0\x94\xD0\xB0\r\n+++2\r\n**_1_\r\n_1_x"},  // UTF-8
      {"konsult.txt", cp("+++1\r\n**_1_\r\nлишний CR\r внутри\r\n+++2\r\n**_1_\r\n ")},
      {"diapazon.txt", cp("+++1\r\n**1\r\n_1_1_Все\r\n")},
      {"graph.txt", "1 a b.jpg\r\n\r\n"},
      {"kurs.txt", cp("название=Курс\r\nстранная строка\r\n")},
  };
}

// A larger course as the converter writes it, from the sample.
Files convertedSample() {
  std::vector<ConvertNote> notes;
  const CourseFiles files =
      renderCourse(readCourseFolder(asFolder(SAMPLE_COURSE_DIR)).course, "x", notes);
  return {{"main.txt", files.main},
          {"vopros.txt", files.questions},
          {"otvet.txt", files.answers},
          {"konsult.txt", files.consultations},
          {"diapazon.txt", files.ranges}};
}

void expectRoundTrip(const std::string& name, const std::string& folder) {
  SCOPED_TRACE(name);
  const Files before = filesOf(folder);
  OpenError error;
  auto doc = openCourseFolder(folder, &error);
  ASSERT_TRUE(doc) << error.message();
  for (CourseFileId id : kCourseFiles) {
    const auto at = before.find(courseFileName(id));
    EXPECT_EQ(doc->file(id).present, at != before.end()) << courseFileName(id);
    if (at != before.end()) {
      EXPECT_EQ(doc->render(id), at->second) << courseFileName(id);
    }
  }
  // An edit taken back leaves nothing to write either.
  CourseModel model(std::move(*doc));
  if (model.topicCount() > 0 && model.questionCount(1) > 0) {
    const Change change = model.setQuestionText(1, 0, "x");
    model.undo(change);
  }
  EXPECT_TRUE(model.document().unchanged());
  const SaveReport report = saveCourse(model.document(), false);
  EXPECT_TRUE(report.saved);
  EXPECT_TRUE(report.written.empty());
  EXPECT_EQ(filesOf(folder), before);
}

TEST(CourseDocument, OpenAndSaveChangesNoByte) {
  expectRoundTrip("sample course", asFolder(SAMPLE_COURSE_DIR));
  expectRoundTrip("template", asFolder(TEMPLATE_COURSE_DIR));
  for (const auto& [name, files] : std::map<std::string, Files>{{"odd shapes", oddCourse()},
                                                                {"converted", convertedSample()}}) {
    Folder folder;
    folder.write(files);
    expectRoundTrip(name, folder.path());
  }
}

TEST(CourseDocument, RefusesWhatTheProgramCannotRead) {
  const std::pair<Files, std::string> cases[] = {
      {{{"main.txt", std::string("a\0b", 3)}}, "Файл main.txt, строка 1: файл не является текстом"},
      {{{"otvet.txt", "\xEF\xBB\xBF\xF0\x9F\x98\x80"}},
       "Файл otvet.txt, строка 1: символа U+1F600"},
  };
  for (const auto& [files, message] : cases) {
    Folder folder;
    folder.write(files);
    OpenError error;
    EXPECT_FALSE(openCourseFolder(folder.path(), &error));
    EXPECT_EQ(error.message().substr(0, message.size()), message);
  }
  Folder folder;
  fs::create_directory(folder.path() + "vopros.txt");
  OpenError error;
  EXPECT_FALSE(openCourseFolder(folder.path(), &error));
  EXPECT_EQ(error.message(), "Файл vopros.txt: это не обычный файл.");
  // A link is not read through: its target's lines would be saved into the folder.
  Folder linked, outside;
  outside.write({{"secret.txt", "+++1\r\n"}});
  fs::create_symlink(outside.path() + "secret.txt", linked.path() + "vopros.txt");
  EXPECT_FALSE(openCourseFolder(linked.path(), &error));
  EXPECT_EQ(error.message(),
            "Файл vopros.txt: это символическая ссылка; редактор открывает только обычные файлы.");
}

TEST(CourseDocument, SavesOnlyChangedFilesAndKeepsTheirShape) {
  Folder folder;
  folder.write(oddCourse());
  const std::int64_t mainTime = folder.mtime("main.txt");
  CourseModel model(*openCourseFolder(folder.path(), nullptr));
  model.setOptionText(model.question(1, 0).options[0].line, cp("Нет"));
  const SaveReport report = saveCourse(model.document(), false);
  ASSERT_TRUE(report.saved) << report.error;
  EXPECT_EQ(report.written, std::vector<std::string>{"otvet.txt"});
  Files expected = oddCourse();
  expected["otvet.txt"] = "+++1\r\n**_1_\r\n_1_\xD0\x9D\xD0\xB5\xD1\x82\r\n+++2\r\n**_1_\r\n_1_x";
  EXPECT_EQ(folder.read(), expected);  // no temporary left
  EXPECT_EQ(folder.mtime("main.txt"), mainTime);
}

TEST(CourseDocument, AllFilesOfASaveOrNone) {
  Folder folder;
  folder.write(oddCourse());
  CourseModel model(*openCourseFolder(folder.path(), nullptr));
  model.setQuestionText(1, 0, "x");
  model.attachPicture(1, 0, "p.png", std::string("\x89PNG", 4));
  // A file planted under the picture's name after it was chosen stops the save.
  folder.write({{model.document().pictures().front().name, "planted"}});
  const SaveReport report = saveCourse(model.document(), false);
  EXPECT_FALSE(report.saved);
  EXPECT_EQ(report.error, "«diagram2.png» не записан: файл с таким именем уже есть.");
  Files expected = oddCourse();
  expected["diagram2.png"] = "planted";
  EXPECT_EQ(folder.read(), expected);
}

TEST(CourseDocument, APictureGetsANameNothingInTheFolderHas) {
  Folder folder;
  folder.write(oddCourse());
  fs::create_symlink("/nonexistent", folder.path() + "diagram2.png");  // planted, dangling
  CourseModel model(*openCourseFolder(folder.path(), nullptr));
  model.attachPicture(1, 0, "p.png", std::string("\x89PNG", 4));
  EXPECT_EQ(model.document().pictures().front().name, "diagram2-2.png");
  const SaveReport report = saveCourse(model.document(), false);
  EXPECT_TRUE(report.saved) << report.error;
}

TEST(CourseDocument, ARedoDoesNotWriteASavedPictureAgain) {
  Folder folder;
  folder.write(oddCourse());
  CourseModel model(*openCourseFolder(folder.path(), nullptr));
  const Change change = model.attachPicture(1, 0, "p.png", std::string("\x89PNG", 4));
  ASSERT_TRUE(saveCourse(model.document(), false).saved);
  model.undo(change);
  model.redo(change);
  const SaveReport report = saveCourse(model.document(), false);
  EXPECT_TRUE(report.saved) << report.error;
  EXPECT_TRUE(model.document().unchanged());
}

TEST(CourseDocument, AFileChangedOnDiskIsNotOverwrittenUnasked) {
  Folder folder;
  folder.write(oddCourse());
  CourseModel model(*openCourseFolder(folder.path(), nullptr));
  model.setQuestionText(1, 0, "x");
  folder.write({{"vopros.txt", "+++1\r\n_001_1_1_changed\r\n"}});
  SaveReport report = saveCourse(model.document(), false);
  EXPECT_FALSE(report.saved);
  EXPECT_EQ(report.conflicts, std::vector<std::string>{"vopros.txt"});
  EXPECT_EQ(folder.read()["vopros.txt"], "+++1\r\n_001_1_1_changed\r\n");
  report = saveCourse(model.document(), true);
  EXPECT_TRUE(report.saved);
  EXPECT_EQ(folder.read()["vopros.txt"].substr(0, 19), "\xEF\xBB\xBF+++1\r\n_001_1_1_x");
  // Written, the file is the editor's again: the next save has nothing to ask.
  model.setQuestionText(1, 0, "y");
  EXPECT_TRUE(saveCourse(model.document(), false).saved);
}

TEST(CourseDocument, APlantedLinkIsReplacedNotFollowed) {
  Folder folder, outside;
  folder.write(oddCourse());
  const std::string answers = oddCourse()["otvet.txt"];
  outside.write({{"target.txt", answers}});
  CourseModel model(*openCourseFolder(folder.path(), nullptr));
  model.setOptionText(model.question(1, 0).options[0].line, "x");
  // Planted after the folder was opened.
  fs::remove(folder.path() + "otvet.txt");
  fs::create_symlink(outside.path() + "target.txt", folder.path() + "otvet.txt");
  ASSERT_TRUE(saveCourse(model.document(), true).saved);
  EXPECT_EQ(outside.read()["target.txt"], answers);
  EXPECT_FALSE(fs::is_symlink(folder.path() + "otvet.txt"));
}

// The live check sees the course as edited, pictures not yet saved included.
TEST(CourseSnapshot, TheCheckerSeesTheEditedCourseAndItsPictures) {
  Folder work;
  CourseModel model(*openCourseFolder(asFolder(SAMPLE_COURSE_DIR), nullptr));
  const std::string picture = *readText(SAMPLE_COURSE_DIR "/diagram1.jpg");
  model.attachPicture(2, 0, "new.JPG", picture);
  model.deleteQuestion(3, 0);
  const CourseCheck check = checkSnapshot(snapshotOf(model.document()), work.path() + "live");
  EXPECT_EQ(summaryLine(check), cp("Курс: 3 темы, 105 вопросов; ошибок 0, предупреждений 0."));
  // The editor's copy, not the course folder, was written.
  EXPECT_FALSE(fs::exists(SAMPLE_COURSE_DIR "/diagram4.jpg"));
}

}  // namespace

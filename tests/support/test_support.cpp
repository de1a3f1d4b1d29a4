#include "support/test_support.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <atomic>
#include <fstream>

#include "platform/cp1251.h"

void RecordingMessageSink::message(QWidget*, const QString& title, const QString& text) {
  shown.push_back({title, text});
}

QStringList RecordingMessageSink::titles() const {
  QStringList list;
  for (const auto& m : shown) list << m.title;
  return list;
}

unsigned ScriptedRandom::below(unsigned n) {
  const unsigned value = next < script.size() ? script[next++] : 0;
  return n == 0 ? 0 : value % n;
}

TempFolder::TempFolder() {
  static std::atomic<int> counter{0};
  dir_ = std::filesystem::temp_directory_path() /
         ("vorsanit-test-" + std::to_string(QCoreApplication::applicationPid()) + "-" +
          std::to_string(counter++));
  std::filesystem::remove_all(dir_);
  std::filesystem::create_directories(dir_);
}

TempFolder::~TempFolder() {
  std::error_code ec;
  std::filesystem::remove_all(dir_, ec);
}

std::string TempFolder::path() const { return dir_.string() + "/"; }

void TempFolder::write(const std::string& name, const std::string& bytes) const {
  std::ofstream out(dir_ / name, std::ios::binary);
  out << bytes;
}

void TempFolder::writeLines(const std::string& name,
                            const std::vector<std::string>& utf8Lines) const {
  std::string bytes;
  for (const auto& line : utf8Lines) bytes += cp1251FromUtf8(line) + "\r\n";
  write(name, bytes);
}

void TempFolder::copySampleCourse() const {
  for (const auto& entry : std::filesystem::directory_iterator(SAMPLE_COURSE_DIR))
    std::filesystem::copy_file(entry.path(), dir_ / entry.path().filename(),
                               std::filesystem::copy_options::overwrite_existing);
}

void whileModal(const std::function<void()>& body, const std::function<bool(QWidget*)>& handler) {
  bool active = true;
  QTimer timer;
  timer.setInterval(5);
  QObject::connect(&timer, &QTimer::timeout, [&] {
    if (!active) return;
    QWidget* modal = QApplication::activeModalWidget();
    if (modal && modal->isVisible()) active = handler(modal);
  });
  timer.start();
  body();
  timer.stop();
}

void settle() {
  for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
}

#include "author/ui/check_runner.h"

#include <QCoreApplication>
#include <QFile>

CheckRunner::CheckRunner(QObject* parent) : QObject(parent) {
  pause_.setSingleShot(true);
  connect(&pause_, &QTimer::timeout, this, &CheckRunner::start);
}

CheckRunner::~CheckRunner() { stop(); }

void CheckRunner::stop() {
  pause_.stop();
  take_ = nullptr;
  again_ = false;
  if (thread_.joinable()) thread_.join();
  QCoreApplication::removePostedEvents(this);  // a result nobody waits for any more
  busy_ = false;
  last_ = CourseCheck();
  lastVersion_ = static_cast<std::uint64_t>(-1);
}

void CheckRunner::schedule(std::function<CourseSnapshot()> take, int pauseMs) {
  take_ = std::move(take);
  pause_.start(pauseMs);
}

void CheckRunner::start() {
  if (!take_) return;
  if (busy_) {
    again_ = true;
    return;
  }
  if (thread_.joinable()) thread_.join();
  auto snapshot = std::make_shared<CourseSnapshot>(take_());
  const std::string folder = QFile::encodeName(work_.path()).toStdString() + "/live";
  busy_ = true;
  thread_ = std::thread([this, snapshot, folder] {
    auto result = std::make_shared<CourseCheck>(checkSnapshot(*snapshot, folder));
    const std::uint64_t version = snapshot->version;
    QMetaObject::invokeMethod(
        this, [this, result, version] { finished(result, version); }, Qt::QueuedConnection);
  });
}

void CheckRunner::finished(std::shared_ptr<CourseCheck> result, std::uint64_t version) {
  busy_ = false;
  last_ = std::move(*result);
  lastVersion_ = version;
  emit checked();
  if (again_) {
    again_ = false;
    start();
  }
}

CourseCheck CheckRunner::checkNow(const CourseSnapshot& snapshot) {
  const std::string folder = QFile::encodeName(work_.path()).toStdString() + "/now";
  return checkSnapshot(snapshot, folder);
}

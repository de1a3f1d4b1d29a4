#pragma once
// The course checker, live: a moment after the last edit the course as edited
// is checked on a thread of its own, so that typing never waits for it; an edit
// made meanwhile starts the next check when this one is done.
#include <QObject>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>
#include <thread>

#include "author/course_snapshot.h"

class CheckRunner final : public QObject {
  Q_OBJECT

 public:
  explicit CheckRunner(QObject* parent = nullptr);
  ~CheckRunner() override;

  // The course changed: check it after the pause, with the snapshot taken then.
  void schedule(std::function<CourseSnapshot()> take, int pauseMs = 350);
  // Checks now and waits for it (the save says how many errors the course has).
  CourseCheck checkNow(const CourseSnapshot& snapshot);
  bool running() const { return thread_.joinable() && busy_; }
  const CourseCheck& last() const { return last_; }
  std::uint64_t lastVersion() const { return lastVersion_; }
  // Stops checking this course: waits for a check under way and drops its
  // result and any check still to come (another course is opened, the window closes).
  void stop();

 signals:
  void checked();

 private:
  void start();
  void finished(std::shared_ptr<CourseCheck> result, std::uint64_t version);

  QTemporaryDir work_;
  QTimer pause_;
  std::function<CourseSnapshot()> take_;
  std::thread thread_;
  bool busy_ = false;
  bool again_ = false;
  CourseCheck last_;
  std::uint64_t lastVersion_ = static_cast<std::uint64_t>(-1);
};

#pragma once
// The seams between the program and the world: program folder, message boxes,
// clock and chance. main() hands the real ones to the windows; tests hand fakes.
#include <QDateTime>
#include <QString>
#include <random>
#include <string>

class QWidget;

// A message box with one OK button.
class MessageSink {
 public:
  virtual ~MessageSink() = default;
  virtual void message(QWidget* parent, const QString& title, const QString& text) = 0;
};

class QtMessageSink final : public MessageSink {
 public:
  void message(QWidget* parent, const QString& title, const QString& text) override;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual QDateTime now() const = 0;
};

class SystemClock final : public Clock {
 public:
  QDateTime now() const override { return QDateTime::currentDateTime(); }
};

// Uniform whole numbers 0..n-1.
class Random {
 public:
  virtual ~Random() = default;
  virtual unsigned below(unsigned n) = 0;
};

class EngineRandom final : public Random {
 public:
  explicit EngineRandom(std::uint64_t seed) : engine_(seed) {}
  unsigned below(unsigned n) override;

 private:
  std::mt19937_64 engine_;
};

struct Services {
  std::string programFolder;  // ends in '/', or empty for the current directory
  MessageSink& messages;
  Clock& clock;
  Random& random;

  // A course file in the program folder.
  std::string path(const std::string& name) const { return programFolder + name; }
};

// The folder of the running program file, up to and including its last separator.
std::string programFolderOf(const QString& programPath);

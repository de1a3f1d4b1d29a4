#pragma once
// What the program is asked to do on its command line: run the course in its
// own folder or in a given one, run the sample course, or only answer --help
// or --version on the terminal.
#include <string>
#include <vector>

struct CommandLine {
  enum class Action { Run, RunSample, Help, Version, Error };
  Action action = Action::Run;
  std::string folder;  // Run: the course folder given, empty for the program's own
  std::string error;   // Error: what was wrong, for the terminal (UTF-8)
};

// args are the arguments after the program name.
CommandLine parseCommandLine(const std::vector<std::string>& args);

// The texts printed for --help and --version (UTF-8).
std::string helpText();
std::string versionText();

// What the program says on the terminal when it cannot reach a display:
// display and wayland are the values of DISPLAY and WAYLAND_DISPLAY (UTF-8).
std::string noDisplayText(const std::string& display, const std::string& wayland);

// Whether starting the windows can work at all: a display to connect to, or
// a platform chosen explicitly (QT_QPA_PLATFORM, -platform on the command line).
bool displayAvailable(const std::string& display, const std::string& wayland,
                      const std::string& qpaPlatform, const std::vector<std::string>& args);

// Makes sure the sample course is in dataFolder, copying it from sampleSource
// when dataFolder has no main.txt yet (an earlier copy, and its logs, are kept).
// Returns an empty string, or what went wrong (UTF-8).
std::string prepareSampleCourse(const std::string& sampleSource, const std::string& dataFolder);

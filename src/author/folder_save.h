#pragma once
// Writing a course document back into its folder: only the files whose bytes
// changed, each to a new temporary beside it and renamed over the old one, all
// of one save or none of them. A file changed on disk since it was read is not
// overwritten unless asked.
#include <string>
#include <vector>

#include "author/course_document.h"

struct SaveReport {
  bool saved = false;
  std::vector<std::string> written;    // bare names of the files written
  std::vector<std::string> conflicts;  // files changed on disk since they were read
  std::string error;                   // UTF-8, Russian: why nothing was written
};

// Saves doc into doc.folder() (created when missing, one level). With
// overwriteChanged false, files changed on disk meanwhile stop the save and
// are named in conflicts.
SaveReport saveCourse(CourseDocument& doc, bool overwriteChanged);

// Why a file operation failed, in Russian (errno).
std::string writeFailureReason(int error);

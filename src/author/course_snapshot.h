#pragma once
// The course as edited, written out for the tools that read course folders: the
// course checker and the export to other formats. A snapshot is taken on the
// editor's thread and written anywhere else, so that the checker's work never
// holds up typing.
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "author/course_document.h"
#include "check/course_check.h"

struct CourseSnapshot {
  std::uint64_t version = 0;  // the document's version it was taken at
  std::string courseFolder;   // where the pictures already saved lie
  std::array<std::optional<std::string>, kCourseFileCount> files;  // nullopt: no such file
  std::vector<PendingPicture> pictures;
};
CourseSnapshot snapshotOf(const CourseDocument& doc);

// Writes the snapshot into folder (made when missing, emptied of what an
// earlier snapshot left), the pictures graph.txt names linked from the course
// folder. Returns false when the folder cannot be written.
bool writeSnapshot(const CourseSnapshot& snapshot, const std::string& folder);

// The checker's findings on the course as edited, through a snapshot written
// into workFolder; the line numbers are those of the document at snapshot time.
CourseCheck checkSnapshot(const CourseSnapshot& snapshot, const std::string& workFolder);

#include "author/course_snapshot.h"

#include <filesystem>
#include <fstream>

#include "platform/cp1251.h"
#include "platform/text_file.h"
#include "study/diagram_map.h"

namespace fs = std::filesystem;

CourseSnapshot snapshotOf(const CourseDocument& doc) {
  CourseSnapshot snapshot;
  snapshot.version = doc.version();
  snapshot.courseFolder = doc.folder();
  for (std::size_t i = 0; i < kCourseFileCount; ++i)
    if (doc.file(kCourseFiles[i]).present) snapshot.files[i] = doc.render(kCourseFiles[i]);
  snapshot.pictures = doc.pictures();
  return snapshot;
}

bool writeSnapshot(const CourseSnapshot& snapshot, const std::string& folder) {
  std::error_code ec;
  const fs::path dir(folder);
  // The folder is the editor's own: whatever an earlier snapshot left goes.
  fs::remove_all(dir, ec);
  fs::create_directories(dir, ec);
  if (ec) return false;
  for (std::size_t i = 0; i < kCourseFileCount; ++i) {
    if (!snapshot.files[i]) continue;
    std::ofstream out(dir / courseFileName(kCourseFiles[i]), std::ios::binary);
    out << *snapshot.files[i];
    if (!out) return false;
  }
  for (const PendingPicture& picture : snapshot.pictures)
    std::ofstream(dir / picture.name, std::ios::binary) << picture.bytes;
  // The pictures graph.txt names by a name of the course folder are linked, not copied.
  const auto graph = snapshot.files[static_cast<std::size_t>(CourseFileId::Diagrams)];
  if (!graph) return true;
  for (const DiagramEntry& entry : readDiagramMap(splitLines(*graph))) {
    const fs::path name(utf8FromCp1251(entry.file));
    if (name.empty() || name.is_absolute()) continue;
    const fs::path first = *name.begin();
    if (first == "." || first == ".." || fs::exists(fs::symlink_status(dir / first, ec))) continue;
    const fs::path source = fs::path(snapshot.courseFolder) / first;
    if (fs::exists(source, ec)) fs::create_symlink(fs::absolute(source, ec), dir / first, ec);
  }
  return true;
}

CourseCheck checkSnapshot(const CourseSnapshot& snapshot, const std::string& workFolder) {
  if (!writeSnapshot(snapshot, workFolder)) {
    CourseCheck check;
    check.readable = false;
    return check;
  }
  const std::string folder = asFolder(workFolder);
  return checkCourse(folder, folder);
}

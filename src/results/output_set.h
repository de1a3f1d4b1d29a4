#pragma once
// The output files of one run, written all or nothing, into a folder that only
// the teacher can write to: a folder that is a symbolic link, another
// account's, or open to others' writing (the course folder, where every
// candidate appends to the logs) is refused, since whoever can write there
// can swap the pages the teacher reads or read what they hold. The files are
// the teacher's alone (0600) unless asked to be readable by all (0644).
// Nothing already in the folder is trusted either: each file is first written
// to a temporary created new under a random name (O_CREAT | O_EXCL |
// O_NOFOLLOW, so that a planted link or file of that name is never
// followed), every one is synced, and only then are they renamed over the
// targets in turn. On a failure, or when the run is stopped, the temporaries
// are removed and whatever the folder held stays as it was. Temporaries a
// killed run left (regular files of the same user, untouched for a day) go
// after the next successful run.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class OutputSet {
 public:
  OutputSet();
  ~OutputSet();  // removes whatever was not committed
  OutputSet(const OutputSet&) = delete;
  OutputSet& operator=(const OutputSet&) = delete;

  // Opens the folder, made when missing (with the files' access, 0700 or 0755).
  // False when it cannot be opened (failureCode() set) or is refused (refusal() set).
  bool open(const std::string& folder, bool readableByAll = false);
  // Why the folder was refused, in UTF-8; empty when it was not.
  const std::string& refusal() const { return refusal_; }
  // Starts a file of that bare name; its index for write(). -1 on a failure.
  int add(const std::string& name);
  // Appends to a file; the bytes are buffered. False once a write has failed.
  bool write(int file, std::string_view bytes);
  // Syncs every file, then renames each over its target; false on a failure,
  // with the temporaries removed (targets renamed before it stay renamed).
  bool commit();
  // Removes the temporaries: nothing of this run is left in the folder.
  void abandon();

  // What went wrong and where: a system error number and the file's path.
  int failureCode() const { return failureCode_; }
  const std::string& failurePath() const { return failurePath_; }
  // The target paths, in the order they were added.
  std::vector<std::string> targets() const;
  // A path under which a library that opens files by name writes a file's
  // temporary (the open descriptor itself, so no name in the folder is
  // followed), and one for its own temporaries in the folder.
  std::string pathForLibrary(int file) const;
  std::string folderForLibrary() const;

  // Device and inode of an existing entry of that name in the folder (not
  // following a link); false when there is none.
  bool identity(const std::string& name, unsigned long& device, unsigned long& inode) const;

 private:
  struct File;
  bool fail(int code, const std::string& path);
  bool flush(File& f);
  // Whether a folder entry is named as add() names a temporary for name.
  static bool isTemporaryOf(std::string_view entry, const std::string& name);
  void removeStaleTemporaries() const;

  std::string folder_;
  int dir_ = -1;
  std::vector<std::unique_ptr<File>> files_;
  int failureCode_ = 0;
  std::string failurePath_;
  std::string refusal_;
  int fileMode_ = 0600;
};

// Removes the temporaries of every open output set when the run is stopped
// by SIGINT, SIGTERM or SIGHUP, then ends the run.
void removeOutputsOnSignals();

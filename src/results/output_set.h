#pragma once
// The output files of one run, written all or nothing. The output folder may
// be one that anybody can write to (the course folder, where the logs are
// appended), so nothing already in it is trusted: each file is first written
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

  // Opens the folder (made when missing). False with failure() set when it cannot be.
  bool open(const std::string& folder);
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
};

// Removes the temporaries of every open output set when the run is stopped
// by SIGINT, SIGTERM or SIGHUP, then ends the run.
void removeOutputsOnSignals();

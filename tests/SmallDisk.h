#pragma once
// Folders whose file system fails on purpose, for the tests of full disks
// and read-only folders: a small tmpfs mounted on a folder. The mount is
// made in a mount namespace of the test process's own, so that only this
// process and the programs it starts see it, and it goes with the process
// whatever happens. Needs the right to mount (root in the test machine);
// without it `mounted()` is false and the tests that need it skip.

#include <cstddef>
#include <string>

namespace torvane::testing {

class SmallDisk {
 public:
  // Mounts a tmpfs of `bytes` on `folder` (which must exist).
  SmallDisk(std::string folder, std::size_t bytes);
  ~SmallDisk();
  SmallDisk(const SmallDisk&) = delete;
  SmallDisk& operator=(const SmallDisk&) = delete;

  bool mounted() const { return mounted_; }
  // Takes all the room that is left, with a file named "filler".
  void Fill();
  // Makes the file system read-only: nothing in it can be created, changed
  // or removed, whoever tries (root too).
  void MakeReadOnly();

 private:
  std::string folder_;
  std::size_t bytes_;
  bool mounted_ = false;
};

}  // namespace torvane::testing

// One program at a time changes the data of a data folder: the program that
// holds the folder's lock. Another program that asks for it is told which
// program has it; reading the tables needs no lock.
#pragma once

#include <QString>

#include <memory>

namespace tessaro::store {

class FolderLock {
 public:
  FolderLock();
  ~FolderLock();  // releases the lock when this program holds it no other way
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

  // Takes the lock of `dataFolder` for this program. Taking it again within
  // this program succeeds. False when another program holds it (or the
  // folder cannot be opened); errorString() then names the folder and, where
  // the system tells, the program that holds it.
  bool acquire(const QString& dataFolder);
  bool isHeld() const { return held_ != nullptr; }
  void release();
  QString errorString() const { return error_; }

  struct Held;

 private:
  std::shared_ptr<Held> held_;
  QString error_;
};

}  // namespace tessaro::store

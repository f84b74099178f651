#pragma once
// Only one Tarvolin runs at a time for a user: the first instance holds an exclusive lock on a
// small lock file. The lock belongs to the open file, so the system releases it when the
// process ends in any way, a crash included; a stale lock can never keep the program out.

#include <QString>

namespace tarvolin::ui {

class SingleInstanceLock {
 public:
  enum class Result {
    Acquired,       // this process is the one instance
    HeldElsewhere,  // another living process holds the lock
    Unavailable,    // the lock file cannot be opened; the guard cannot work here
  };

  SingleInstanceLock() = default;
  ~SingleInstanceLock() { release(); }
  SingleInstanceLock(const SingleInstanceLock&) = delete;
  SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;

  Result acquire(const QString& lockPath);
  void release();
  bool held() const { return fd_ >= 0; }

  // The user's runtime folder when there is one (it is private and emptied at logout), else
  // the temporary folder with the user id in the name.
  static QString defaultLockPath();

 private:
  int fd_ = -1;
};

}  // namespace tarvolin::ui

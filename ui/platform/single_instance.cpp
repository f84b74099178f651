#include "ui/platform/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include <QDir>
#include <QFile>

namespace tarvolin::ui {

SingleInstanceLock::Result SingleInstanceLock::acquire(const QString& lockPath) {
  release();
  const QByteArray name = QFile::encodeName(lockPath);
  int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  // A lock file made by someone else may be read-only for us; flock works on it all the same.
  if (fd < 0) fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return Result::Unavailable;
  int rc;
  do {
    rc = ::flock(fd, LOCK_EX | LOCK_NB);
  } while (rc != 0 && errno == EINTR);
  if (rc != 0) {
    const bool busy = errno == EWOULDBLOCK;
    ::close(fd);
    return busy ? Result::HeldElsewhere : Result::Unavailable;
  }
  fd_ = fd;
  return Result::Acquired;
}

void SingleInstanceLock::release() {
  if (fd_ < 0) return;
  ::close(fd_);  // closing the only descriptor of the open file drops the lock
  fd_ = -1;
}

QString SingleInstanceLock::defaultLockPath() {
  const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
  if (!runtime.isEmpty() && QDir(runtime).exists())
    return QDir(runtime).filePath(QStringLiteral("TVN_One_Start.lock"));
  return QDir(QDir::tempPath())
      .filePath(QStringLiteral("TVN_One_Start-%1.lock").arg(static_cast<qulonglong>(::getuid())));
}

}  // namespace tarvolin::ui

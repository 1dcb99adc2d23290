#include "ui/SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QThread>

namespace sonalog::ui {

namespace {

constexpr char kInstanceName[] = "QvxSonalg";
constexpr char kLockFileName[] = "QvxSonalg.lock";
constexpr char kRaiseRequest[] = "raise\n";
constexpr int kConnectTimeoutMs = 1000;
constexpr int kConnectAttempts = 3;
constexpr int kRetryPauseMs = 200;
// A socket path must fit sockaddr_un (108 bytes with its terminator).
constexpr qsizetype kMaxSocketPath = 100;

QString socketPath(const std::string& workingFolder) {
  const QString inFolder = QFile::decodeName(QByteArray::fromStdString(workingFolder)) + kInstanceName;
  if (QFile::encodeName(inFolder).size() <= kMaxSocketPath) return inFolder;
  // A working folder too deep for a socket: one name per folder in the temporary folder.
  const QByteArray hash = QCryptographicHash::hash(QByteArray::fromStdString(workingFolder),
                                                   QCryptographicHash::Sha1).toHex().left(16);
  return QDir::tempPath() + "/" + kInstanceName + "-" + QString::fromLatin1(hash);
}

}  // namespace

SingleInstance::SingleInstance(const std::string& workingFolder)
    : lock_(QFile::decodeName(QByteArray::fromStdString(workingFolder)) + kLockFileName),
      serverName_(socketPath(workingFolder)) {
  // A lock is stale only when its process is gone, never because it is old: the program may run
  // for days.
  lock_.setStaleLockTime(0);
}

SingleInstance::~SingleInstance() {
  if (server_) server_->close();
  lock_.unlock();
}

bool SingleInstance::askRunningInstance() {
  QLocalSocket socket;
  socket.connectToServer(serverName_);
  if (!socket.waitForConnected(kConnectTimeoutMs)) return false;
  socket.write(kRaiseRequest);
  socket.waitForBytesWritten(kConnectTimeoutMs);
  socket.disconnectFromServer();
  return true;
}

SingleInstance::Result SingleInstance::acquire() {
  if (!lock_.tryLock(0)) {
    if (lock_.error() != QLockFile::LockFailedError) return Result::Unavailable;
    // A live holder answers on its socket (it listens right after taking the lock; give it a
    // moment). One that does not - its process id was reused by another program after a crash,
    // say - must not block this start.
    for (int attempt = 0; attempt < kConnectAttempts; ++attempt) {
      if (askRunningInstance()) return Result::OtherInstance;
      QThread::msleep(kRetryPauseMs);
    }
    lock_.removeStaleLockFile();
    if (!lock_.tryLock(0)) return lock_.error() == QLockFile::LockFailedError ? Result::OtherInstance
                                                                            : Result::Unavailable;
  }
  server_ = std::make_unique<QLocalServer>();
  QLocalServer::removeServer(serverName_);  // a socket file left by a crash
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  server_->listen(serverName_);
  connect(server_.get(), &QLocalServer::newConnection, this, [this] {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
      connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
      if (raise_) raise_();
    }
  });
  return Result::Acquired;
}

}  // namespace sonalog::ui

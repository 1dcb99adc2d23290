#include "ui/widgets/SingleInstance.h"

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

// The socket in the working folder, when its path fits, then one name per working folder in the
// temporary folder, for a working folder too deep for a socket or one that cannot take files.
QStringList socketPaths(const std::string& workingFolder) {
  QStringList paths;
  const QString inFolder = QFile::decodeName(QByteArray::fromStdString(workingFolder)) + kInstanceName;
  if (QFile::encodeName(inFolder).size() <= kMaxSocketPath) paths << inFolder;
  const QByteArray hash = QCryptographicHash::hash(QByteArray::fromStdString(workingFolder),
                                                   QCryptographicHash::Sha1).toHex().left(16);
  paths << QDir::tempPath() + "/" + kInstanceName + "-" + QString::fromLatin1(hash);
  return paths;
}

}  // namespace

SingleInstance::SingleInstance(const std::string& workingFolder)
    : lock_(QFile::decodeName(QByteArray::fromStdString(workingFolder)) + kLockFileName),
      serverNames_(socketPaths(workingFolder)) {
  // A lock is stale only when its process is gone, never because it is old: the program may run
  // for days.
  lock_.setStaleLockTime(0);
}

SingleInstance::~SingleInstance() {
  if (server_) server_->close();
  lock_.unlock();
}

bool SingleInstance::askRunningInstance() {
  for (const QString& name : serverNames_) {
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(kConnectTimeoutMs)) continue;
    socket.write(kRaiseRequest);
    socket.waitForBytesWritten(kConnectTimeoutMs);
    socket.disconnectFromServer();
    return true;
  }
  return false;
}

bool SingleInstance::listen() {
  server_ = std::make_unique<QLocalServer>();
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  connect(server_.get(), &QLocalServer::newConnection, this, [this] {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
      connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
      if (raise_) raise_();
    }
  });
  for (const QString& name : serverNames_) {
    QLocalServer::removeServer(name);  // a socket file left by a crash: nobody answered on it
    if (server_->listen(name)) return true;
  }
  return false;
}

SingleInstance::Result SingleInstance::acquire() {
  // A running instance answers whatever became of its lock file. Asking costs nothing when none
  // runs: connecting to a missing or dead socket fails at once.
  if (askRunningInstance()) return Result::OtherInstance;
  const bool locked = lock_.tryLock(0);
  if (!locked && lock_.error() == QLockFile::LockFailedError) {
    // A holder that started a moment ago listens right after taking the lock: give it a moment.
    // One that never answers - its process id was reused by another program after a crash,
    // say - must not block this start.
    for (int attempt = 0; attempt < kConnectAttempts; ++attempt) {
      QThread::msleep(kRetryPauseMs);
      if (askRunningInstance()) return Result::OtherInstance;
    }
    lock_.removeStaleLockFile();
    if (!lock_.tryLock(0) && lock_.error() == QLockFile::LockFailedError) return Result::OtherInstance;
  }
  listen();
  return lock_.isLocked() ? Result::Acquired : Result::Unavailable;
}

}  // namespace sonalog::ui

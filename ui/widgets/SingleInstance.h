#pragma once
// One running program per user: a running instance listens on a local socket named "QvxSonalg"
// (kept in the working folder, else in the temporary folder) on which a second start asks it to
// raise its window; a lock file in the working folder settles two starts at the same moment. The
// socket is asked first, so an instance whose lock file was deleted, or could never be made (a
// full disk), is still found. A lock left by an instance that died never blocks a start.

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <functional>
#include <memory>
#include <string>

namespace sonalog::ui {

class SingleInstance : public QObject {
  Q_OBJECT

 public:
  // workingFolder ends with "/".
  explicit SingleInstance(const std::string& workingFolder);
  ~SingleInstance() override;

  enum class Result {
    Acquired,       // this process is the only instance and listens for later starts
    OtherInstance,  // another instance runs and has been asked to raise its window
    Unavailable,    // the lock cannot be made (a full disk, an unwritable working folder): no instance
                    // answered, so this one runs and listens; start-up says what else fails there
  };
  Result acquire();
  // Called in the first instance whenever a later start asks for its window.
  void onRaise(std::function<void()> raise) { raise_ = std::move(raise); }

  // The name this instance listens on (empty before acquire() or when no name could be used).
  QString serverName() const { return server_ ? server_->serverName() : QString(); }

 private:
  bool askRunningInstance();
  bool listen();

  QLockFile lock_;
  QStringList serverNames_;  // where an instance listens, in the order tried
  std::unique_ptr<QLocalServer> server_;
  std::function<void()> raise_;
};

}  // namespace sonalog::ui

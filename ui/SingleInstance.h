#pragma once
// One running program per user: a lock file in the working folder tells whether another instance
// runs, and a local socket named "QvxSonalg" (kept in the working folder) lets a second start ask
// the first to raise its window. A lock left by an instance that died never blocks a start.

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
    Unavailable,    // the lock cannot be made (an unwritable working folder); start-up says why
  };
  Result acquire();
  // Called in the first instance whenever a later start asks for its window.
  void onRaise(std::function<void()> raise) { raise_ = std::move(raise); }

  QString serverName() const { return serverName_; }

 private:
  bool askRunningInstance();

  QLockFile lock_;
  QString serverName_;
  std::unique_ptr<QLocalServer> server_;
  std::function<void()> raise_;
};

}  // namespace sonalog::ui

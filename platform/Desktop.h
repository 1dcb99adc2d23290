#pragma once
// Handing a document to the desktop: the freedesktop "xdg-open" tool for the ordinary open, and
// the default application for plain text when the document is to be edited.

#include <string>

namespace sonalog::platform {

// What the desktop's tool reported.
enum class DesktopOpen {
  Ok,
  NoTool,          // xdg-open is not installed (or could not be started)
  NoAssociation,   // the tool found no application for the document (its exit status 3)
  Failed,          // any other failure the tool reported
};

// Runs the tool and waits for it (it returns once the application has been started).
// edit: open with the desktop's default application for text/plain when one is set.
DesktopOpen openWithDesktop(const std::string& path, bool edit);

}  // namespace sonalog::platform

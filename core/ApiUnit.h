#pragma once
// The helpers every subsystem shares that carry the program's own texts: the warnings for a
// failed desktop open and a failed play, and the help page.

#include <string>

#include "platform/UserInterface.h"

namespace sonalog {

// The page that About, Help and F1 open: the user guide installed beside the program
// (<prefix>/share/doc/sonalog/guide/index.html for a program in <prefix>/bin), else the installed
// README, else the README of the source tree the program was built from. Empty when none exists.
std::string helpPagePath(const std::string& programFolder);
// Hands the help page to the desktop; says so when there is none or nothing can show it.
void openHelpPage(UserInterface& ui, const std::string& programFolder);

// The warning for a failed desktop open of a document that is neither an mp3 file nor a
// playlist (an export, a log, the user guide); nothing for Ok.
void reportDocumentOpenFailure(UserInterface& ui, OpenResult result, const std::string& path);

// The warnings (caption "play") for a failed open of one mp3 file (playlist false) or of a
// playlist; nothing for Ok.
void reportPlayFailure(UserInterface& ui, OpenResult result, bool playlist);

}  // namespace sonalog

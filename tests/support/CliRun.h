#pragma once
// Runs the sonalog binary as a separate process in a test's working folder and captures what it
// printed, for the command tests.

#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "tests/support/TempHome.h"

namespace sonalog::testing {

struct CliRun {
  int status = -1;  // exit status, -1 when the process did not exit normally
  std::string out;
  std::string err;
};

// Runs `sonalog ARGS` (ARGS already shell-quoted) with no standard input, in the temporary root
// as its current folder, so that a relative name can never reach the real one. A run that has
// not ended after a minute is killed and reports status 124, so a hang fails the test instead of
// stopping the suite. A wrapper (a command that ends by running its arguments) goes before it.
inline CliRun sonalog(const TempHome& home, const std::string& args, const std::string& wrapper = "") {
  const std::string command = "cd '" + home.path() + "' && timeout -k 5 60 " + wrapper + " '" + SONALOG_CLI_PATH + "' " + args +
                              " </dev/null >'" + home.path("cli-stdout.log") + "' 2>'" + home.path("cli-stderr.log") + "'";
  const int raw = std::system(command.c_str());
  CliRun r;
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.out = home.readFile("cli-stdout.log");
  r.err = home.readFile("cli-stderr.log");
  return r;
}

}  // namespace sonalog::testing

#pragma once

#include <optional>

namespace pelmora {

// Reads the program's command line before any window exists, so that --version and --help
// need no display. Returns the exit status when the program is to end here: 0 after printing
// the version or the usage on standard output, 2 after a wrong argument, reported on standard
// error with the usage. Returns nothing when the window is to open.
std::optional<int> answerCommandLine(int argc, char *argv[]);

} // namespace pelmora

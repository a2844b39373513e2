#pragma once

#include "cli/commandline.h"

namespace pavelora::cli {

// Writes a new document of the line's tile set and board holding a generated patch as one
// joined group, centred on the board, reporting any failure on standard error. Returns the
// exit code: 0 when the document was written, 1 otherwise.
int generateCommand(const CommandLine& line);

} // namespace pavelora::cli

#pragma once

#include "cli/commandline.h"

namespace pavelora::cli {

// --check: opens the document and prints one line "x y" (board centimetres) on standard
// output for every vertex of a group's tiles that no vertex star can complete. Returns 0 when
// there is none, 1 when there are, 2 when the document cannot be opened or its tile set has
// no vertex rules.
int checkCommand(const CommandLine& line);

// --complete-forced: adds the forced tiles to every group of the document and saves it under
// `output`. Returns 0 when saved, 2 when the document cannot be opened, its tile set has no
// vertex rules or the output cannot be written.
int completeForcedCommand(const CommandLine& line);

} // namespace pavelora::cli

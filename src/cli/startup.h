#pragma once

namespace pavelora::cli {

// Sets up the process before anything else runs. A write beyond the file-size limit
// (ulimit -f) would otherwise end the program with SIGXFSZ in the middle of a save; with
// the signal ignored the write fails with EFBIG, and the save fails like any other, keeping
// the old file.
void prepareProcess();

} // namespace pavelora::cli

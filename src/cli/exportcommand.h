#pragma once

#include "cli/commandline.h"

namespace pavelora::cli {

// Opens the document and writes its board as a JPEG image, reporting any failure on
// standard error. Needs a QGuiApplication (any platform). Returns the exit code: 0 when the
// image was written, 1 otherwise.
int exportJpegCommand(const CommandLine& line);

// The same for --export, in the format of the line.
int exportCommand(const CommandLine& line);

} // namespace pavelora::cli

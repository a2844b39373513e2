#pragma once

#include "document/documentio.h"

#include <QString>

namespace pavelora::cli {

// Opens the document a command works on, set up for a 96 dpi screen: the commands work in
// board centimetres or at a scale of their own, so any screen will do. When the document does
// not open, why is on standard error (an error code as the program reports it, else the path
// and the message the editor shows) and the result is not opened.
OpenResult openForCommand(const QString& path);

} // namespace pavelora::cli

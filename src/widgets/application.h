#pragma once

#include <QString>

namespace pavelora {

// Runs the editor: the application object, the main window, and the event loop until the
// window goes; `document`, when not empty, opens at the first size change. Returns the exit
// code.
int runEditor(int& argc, char** argv, const QString& document);

} // namespace pavelora

#pragma once

#include <QString>

class QTranslator;

namespace pavelora {

// Loads Qt's own texts (buttons of message boxes, file dialogs, context menus) in Japanese
// into `translator` from Qt's translations folder. False when they are not installed.
bool loadQtTexts(QTranslator& translator);

// Runs the editor: the application object, the main window, and the event loop until the
// window goes; `document`, when not empty, opens at the first size change. Returns the exit
// code.
int runEditor(int& argc, char** argv, const QString& document);

} // namespace pavelora

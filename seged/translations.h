#pragma once

class QCoreApplication;

// Installs Qt's own Hungarian texts (message box and dialog buttons: "Igen",
// "Nem", "Mégse"). Looks in Qt's translations folder, then in "translations"
// beside the program. False, with a warning, when none is found; the
// program then runs with Qt's English texts.
bool InstallHungarianTranslations(QCoreApplication& app);

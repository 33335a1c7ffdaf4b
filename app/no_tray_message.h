#pragma once

#include <QString>

class QMessageBox;

// What the user is told once when the desktop has no notification area: what
// is missing, how to get it, and how to reach the commands meanwhile.
QString NoTrayMessageText();

// Shows it without blocking the notes (object name "NoTrayMessage"); it
// deletes itself when closed.
QMessageBox* ShowNoTrayMessage();

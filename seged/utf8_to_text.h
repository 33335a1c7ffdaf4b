#pragma once

#include <QByteArray>

// Decodes downloaded UTF-8 into the program's single-byte text
// (Windows-1250). A character the code page lacks becomes a similar letter
// (its base letter without accents) or "?". Text that is not well-formed
// UTF-8 gives the empty text.
QByteArray Utf8ToText(const QByteArray& utf8);

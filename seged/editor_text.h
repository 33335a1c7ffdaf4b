#pragma once

#include <QString>

class QPlainTextEdit;

// A table text in a plain text editor and back, character for character.
// QTextDocument turns a lone CR or LF, U+2029 and its frame marks
// (U+FDD0, U+FDD1) into block breaks, and toPlainText() also turns U+00A0
// into a space and U+2028 into a line break. So the editor holds a stand-in
// for each character it cannot keep, marked with the character it stands
// for, and the text is read back from the raw blocks: what the user did not
// touch comes back exactly. CR LF in the table is one line break in the
// editor; a line break typed by the user is stored as CR LF.
void SetEditorText(QPlainTextEdit& editor, const QString& stored);
QString EditorText(const QPlainTextEdit& editor);

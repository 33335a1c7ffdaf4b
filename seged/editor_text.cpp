#include "seged/editor_text.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

#include <utility>
#include <vector>

namespace {
// The character format property that holds the character a stand-in
// replaces.
constexpr int StandInFor = QTextFormat::UserProperty + 0x2029;

bool IsKeptByDocument(QChar c)
{
    switch (c.unicode()) {
    case u'\r':
    case u'\n':
    case QChar::ParagraphSeparator:
    case 0xFDD0:  // QTextBeginningOfFrame
    case 0xFDD1:  // QTextEndOfFrame
        return false;
    default:
        return true;
    }
}

// Line-like characters show as a line break; the frame marks as the
// replacement character.
QChar StandIn(QChar original)
{
    return original.unicode() >= 0xFDD0 ? QChar(QChar::ReplacementCharacter)
                                        : QChar(QChar::LineSeparator);
}
}  // namespace

void SetEditorText(QPlainTextEdit& editor, const QString& stored)
{
    QString shown;
    shown.reserve(stored.size());
    std::vector<std::pair<int, QChar>> standIns;
    for (qsizetype i = 0; i < stored.size(); ++i) {
        const QChar c = stored.at(i);
        if (c == u'\r' && i + 1 < stored.size() && stored.at(i + 1) == u'\n') {
            shown += u'\n';
            ++i;
        } else if (IsKeptByDocument(c)) {
            shown += c;
        } else {
            standIns.emplace_back(static_cast<int>(shown.size()), c);
            shown += StandIn(c);
        }
    }
    editor.setPlainText(shown);
    if (standIns.empty())
        return;
    QTextDocument* document = editor.document();
    QTextCursor cursor(document);
    for (const auto& [position, original] : standIns) {
        QTextCharFormat marked;
        marked.setProperty(StandInFor, static_cast<int>(original.unicode()));
        cursor.setPosition(position);
        cursor.setPosition(position + 1, QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(marked);
    }
    // Marking is part of loading, not an edit the user could undo.
    document->clearUndoRedoStacks();
    document->setModified(false);
    editor.moveCursor(QTextCursor::Start);
}

QString EditorText(const QPlainTextEdit& editor)
{
    const QTextDocument* document = editor.document();
    QString stored;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        if (block != document->begin())
            stored += QStringLiteral("\r\n");
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            QString text = fragment.text();
            const QVariant original = fragment.charFormat().property(StandInFor);
            if (original.isValid()) {
                const QChar wanted(static_cast<char16_t>(original.toInt()));
                // Text typed next to a stand-in takes its format; only the
                // stand-in itself is given back.
                for (QChar& c : text) {
                    if (c == StandIn(wanted))
                        c = wanted;
                }
            }
            stored += text;
        }
    }
    return stored;
}

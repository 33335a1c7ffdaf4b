#include "seged/utf8_to_text.h"

#include "table/cp1250.h"
#include "table/utf8.h"

#include <QChar>
#include <QString>

#include <string_view>

namespace {
// The base letter of a decomposable character, when it is one character
// once its combining marks are left out and the code page holds it.
std::optional<unsigned char> SimilarByte(char32_t cp)
{
    QString base = QChar::decomposition(cp);
    for (int depth = 0; depth < 4 && !base.isEmpty(); ++depth) {
        QString letters;
        for (const QChar c : base)
            if (c.category() != QChar::Mark_NonSpacing &&
                c.category() != QChar::Mark_SpacingCombining &&
                c.category() != QChar::Mark_Enclosing)
                letters += c;
        if (letters.size() != 1)
            return std::nullopt;
        const char32_t letter = letters.at(0).unicode();
        if (const auto byte = Cp1250ByteFor(letter))
            return byte;
        base = QChar::decomposition(letter);
    }
    return std::nullopt;
}
}  // namespace

QByteArray Utf8ToText(const QByteArray& utf8)
{
    const std::string_view text(utf8.constData(), static_cast<std::size_t>(utf8.size()));
    QByteArray out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    char32_t cp = 0;
    bool valid = true;
    while (NextCodePoint(text, pos, cp, &valid)) {
        if (!valid)
            return {};
        if (const auto byte = Cp1250ByteFor(cp))
            out += static_cast<char>(*byte);
        else if (const auto similar = SimilarByte(cp))
            out += static_cast<char>(*similar);
        else
            out += '?';
    }
    return out;
}

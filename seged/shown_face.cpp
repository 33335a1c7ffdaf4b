#include "seged/shown_face.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QStringList>

#include <cstdlib>
#include <limits>

namespace {

// "Family [Foundry]" as the font database lists families of several foundries.
QString BareFamily(const QString& listed)
{
    const qsizetype bracket = listed.lastIndexOf(QStringLiteral(" ["));
    if (bracket > 0 && listed.endsWith(QLatin1Char(']')))
        return listed.left(bracket);
    return listed;
}

// The listed name of an installed family, or nothing. Aliases such as
// "Arial" are not installed families even when the matcher resolves them.
QString InstalledFamily(const QString& family)
{
    const QString bare = BareFamily(family);
    for (const QString& listed : QFontDatabase::families()) {
        if (listed.compare(family, Qt::CaseInsensitive) == 0 ||
            BareFamily(listed).compare(bare, Qt::CaseInsensitive) == 0)
            return listed;
    }
    return {};
}

// The family's style with the wanted slant and the weight nearest to the
// wanted one; empty when the family lists no style. Among equals the shortest
// name wins: "Bold" rather than "Condensed Bold".
QString NearestStyle(const QString& family, int weight, bool slanted)
{
    QString best;
    int bestScore = std::numeric_limits<int>::max();
    for (const QString& style : QFontDatabase::styles(family)) {
        const QFont face = QFontDatabase::font(family, style, 10);
        // A wrong slant counts more than any weight difference.
        const int slantMiss = (face.style() != QFont::StyleNormal) == slanted ? 0 : 10000;
        const int score = slantMiss + std::abs(QFontDatabase::weight(family, style) - weight);
        if (score < bestScore || (score == bestScore && style.size() < best.size())) {
            bestScore = score;
            best = style;
        }
    }
    return best;
}

}  // namespace

TShownFace ShownFace(const QFont& wanted)
{
    TShownFace shown;
    shown.Font = wanted;
    QString family = InstalledFamily(wanted.family());
    if (family.isEmpty()) {
        shown.MissingName = wanted.family();
        family = InstalledFamily(QFontInfo(wanted).family());
        if (family.isEmpty())
            return shown;
    }
    shown.Font.setFamily(family);
    const QString style =
        NearestStyle(family, wanted.weight(), wanted.style() != QFont::StyleNormal);
    if (!style.isEmpty())
        shown.Font.setStyleName(style);
    return shown;
}

#include "seged/locale_collation.h"

#include <QCollator>
#include <QStringDecoder>

#include <memory>

namespace {
std::optional<QString> DecodeUtf8(std::string_view text)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString decoded =
        decoder.decode(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
    if (decoder.hasError())
        return std::nullopt;
    return decoded;
}

class TCollatorCompare {
public:
    explicit TCollatorCompare(const QLocale& locale) : m_caseless(locale), m_cased(locale)
    {
        m_caseless.setCaseSensitivity(Qt::CaseInsensitive);
        m_cased.setCaseSensitivity(Qt::CaseSensitive);
    }

    std::optional<int> operator()(std::string_view a, std::string_view b, bool ignoreCase) const
    {
        const auto first = DecodeUtf8(a);
        const auto second = DecodeUtf8(b);
        if (!first || !second)
            return std::nullopt;
        // Case only breaks ties: ICU's case-sensitive strength already
        // behaves so, the POSIX backend need not.
        const int caseless = m_caseless.compare(*first, *second);
        if (caseless != 0 || ignoreCase)
            return caseless;
        return m_cased.compare(*first, *second);
    }

private:
    QCollator m_caseless;
    QCollator m_cased;
};
}  // namespace

TTextCompare MakeCollatorTextCompare(const QLocale& locale)
{
    auto compare = std::make_shared<const TCollatorCompare>(locale);
    return [compare](std::string_view a, std::string_view b, bool ignoreCase) {
        return (*compare)(a, b, ignoreCase);
    };
}

#include "table/text_compare.h"

#include <locale>
#include <memory>

namespace {
// UTF-8 to UTF-32 (wchar_t on this platform); false on malformed input.
bool Widen(std::string_view text, std::wstring& out)
{
    out.clear();
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        int extra;
        char32_t cp;
        if (lead < 0x80) {
            cp = lead;
            extra = 0;
        } else if (lead >= 0xC2 && lead < 0xE0) {
            cp = lead & 0x1F;
            extra = 1;
        } else if (lead >= 0xE0 && lead < 0xF0) {
            cp = lead & 0x0F;
            extra = 2;
        } else if (lead >= 0xF0 && lead < 0xF5) {
            cp = lead & 0x07;
            extra = 3;
        } else
            return false;
        if (i + static_cast<std::size_t>(extra) >= text.size() && extra > 0)
            return false;
        for (int k = 1; k <= extra; ++k) {
            const auto c = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
            if ((c & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (c & 0x3F);
        }
        if ((extra == 2 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) ||
            (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF)))
            return false;
        out.push_back(static_cast<wchar_t>(cp));
        i += static_cast<std::size_t>(extra) + 1;
    }
    return true;
}

std::locale LoadLocale(const std::string& name)
{
    try {
        return std::locale(name.empty() ? "" : name.c_str());
    } catch (const std::runtime_error&) {
        return std::locale::classic();
    }
}

class LocaleCompare {
public:
    explicit LocaleCompare(const std::string& name)
        : m_locale(LoadLocale(name)),
          m_collate(&std::use_facet<std::collate<wchar_t>>(m_locale)),
          m_ctype(&std::use_facet<std::ctype<wchar_t>>(m_locale))
    { }

    std::optional<int> operator()(std::string_view a, std::string_view b, bool ignoreCase)
    {
        if (!Widen(a, m_a) || !Widen(b, m_b))
            return std::nullopt;
        if (ignoreCase) {
            m_ctype->tolower(m_a.data(), m_a.data() + m_a.size());
            m_ctype->tolower(m_b.data(), m_b.data() + m_b.size());
        }
        return m_collate->compare(m_a.data(), m_a.data() + m_a.size(), m_b.data(),
                                  m_b.data() + m_b.size());
    }

private:
    std::locale m_locale;
    const std::collate<wchar_t>* m_collate;
    const std::ctype<wchar_t>* m_ctype;
    std::wstring m_a, m_b;  // reused between calls: a sort compares many times
};
}  // namespace

TTextCompare MakeLocaleTextCompare(const std::string& localeName)
{
    auto compare = std::make_shared<LocaleCompare>(localeName);
    return [compare](std::string_view a, std::string_view b, bool ignoreCase) {
        return (*compare)(a, b, ignoreCase);
    };
}

namespace {
// Only a to z: the process locale (which Qt sets) must not change byte order.
unsigned char AsciiUpper(unsigned char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}
}  // namespace

int CompareBytes(std::string_view a, std::string_view b, bool ignoreCase)
{
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        auto ca = static_cast<unsigned char>(a[i]);
        auto cb = static_cast<unsigned char>(b[i]);
        if (ignoreCase) {
            ca = AsciiUpper(ca);
            cb = AsciiUpper(cb);
        }
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

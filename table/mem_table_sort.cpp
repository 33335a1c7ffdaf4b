// The sort order of a table and the text comparison it shares with the search.
#include "table/mem_table.h"

#include "table/utf8.h"

#include <algorithm>
#include <cctype>

namespace {
std::string Trim(const std::string& s)
{
    const auto first = s.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

template <typename T>
int Sign(const T& a, const T& b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}
}  // namespace

int TqorMemTable::CompareText(std::string_view a, std::string_view b, bool ignoreCase,
                              bool ignoreLocale) const
{
    if (ignoreLocale)
        return CompareBytes(a, b, ignoreCase);
    const std::optional<int> result = m_compare ? m_compare(a, b, ignoreCase) : std::nullopt;
    if (!result)
        throw EMemTableInvalidLocale("Invalid locale.");
    return *result;
}

std::vector<TqorMemTable::SortKey> TqorMemTable::ParseSortFields() const
{
    std::vector<SortKey> keys;
    const std::string list = Trim(SortFields);
    if (list.empty())
        return keys;
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t end = std::min(list.find(';', start), list.size());
        const std::string item = Trim(list.substr(start, end - start));
        start = end + 1;
        if (item.empty())
            continue;
        const std::size_t colon = item.find(':');
        const std::string name = Trim(item.substr(0, colon));
        TField& field = GetField(name);
        if (field.IsBlob() || field.FieldKind == fkAggregate)
            throw EDatabaseError("Can't index on field " + field.DisplayName());
        SortKey key;
        key.field = field.Index();
        key.descending = SortOptions.count(mtcoDescending) > 0;
        key.caseInsensitive = SortOptions.count(mtcoCaseInsensitive) > 0;
        key.partial = SortOptions.count(mtcoPartialKey) > 0;
        key.ignoreNull = SortOptions.count(mtcoIgnoreNullKey) > 0;
        key.ignoreLocale = SortOptions.count(mtcoIgnoreLocale) > 0;
        if (colon != std::string::npos) {
            for (char c : item.substr(colon + 1)) {
                switch (std::toupper(static_cast<unsigned char>(c))) {
                case 'C':
                    key.caseInsensitive = true;
                    break;
                case 'D':
                    key.descending = true;
                    break;
                case 'N':
                    key.ignoreNull = true;
                    break;
                case 'P':
                    key.partial = true;
                    break;
                case 'L':
                    key.ignoreLocale = true;
                    break;
                default:
                    break;
                }
            }
        }
        keys.push_back(key);
    }
    return keys;
}

int TqorMemTable::CompareValues(const TValueView& a, const TValueView& b, const SortKey& key) const
{
    const bool aNull = std::holds_alternative<std::monostate>(a);
    const bool bNull = std::holds_alternative<std::monostate>(b);
    int result = 0;
    if (aNull || bNull) {
        if (key.ignoreNull)
            return 0;
        result = aNull == bNull ? 0 : (aNull ? -1 : 1);
    } else if (const auto* sa = std::get_if<std::string_view>(&a)) {
        const auto* sb = std::get_if<std::string_view>(&b);
        if (!sb)
            return 0;
        if (key.partial) {
            // Cut in characters: a cut in bytes can split one, which the
            // locale comparison refuses.
            const std::size_t n = std::min(Utf8Length(*sa), Utf8Length(*sb));
            result = CompareText(Utf8Left(*sa, n), Utf8Left(*sb, n), key.caseInsensitive,
                                 key.ignoreLocale);
        } else {
            result = CompareText(*sa, *sb, key.caseInsensitive, key.ignoreLocale);
        }
    } else if (a.index() == b.index()) {
        if (const auto* ia = std::get_if<std::int32_t>(&a))
            result = Sign(*ia, std::get<std::int32_t>(b));
        else if (const auto* ba = std::get_if<bool>(&a))
            result = Sign(*ba, std::get<bool>(b));
        else if (const auto* da = std::get_if<TDateTime>(&a))
            result = Sign(da->value, std::get<TDateTime>(b).value);
    }
    return key.descending ? -result : result;
}

int TqorMemTable::CompareRecords(const Record& a, const Record& b) const
{
    for (const SortKey& key : m_sortKeys) {
        const auto column = static_cast<std::size_t>(key.field);
        if (const int c = CompareValues(a.values.View(column), b.values.View(column), key))
            return c;
    }
    // Equal keys keep the order in which the records were added, which also
    // makes every record's place in the sort order unique.
    return Sign(a.serial, b.serial);
}

std::size_t TqorMemTable::SortedInsertPosition(const Record& record) const
{
    const auto it = std::lower_bound(m_sorted.begin(), m_sorted.end(), &record,
                                     [this](const Record* element, const Record* probe) {
                                         return CompareRecords(*element, *probe) < 0;
                                     });
    return static_cast<std::size_t>(it - m_sorted.begin());
}

void TqorMemTable::RebuildSortOrder()
{
    std::vector<Record*> order;
    order.reserve(m_rows.size());
    for (const auto& row : m_rows)
        order.push_back(row.get());
    std::sort(order.begin(), order.end(),
              [this](const Record* a, const Record* b) { return CompareRecords(*a, *b) < 0; });
    m_sorted = std::move(order);
}

void TqorMemTable::ApplySort()
{
    if (!Active())
        return;
    LeaveEditState();
    std::vector<SortKey> keys = ParseSortFields();

    Record* current = (m_cursor >= 0 && m_cursor < Count()) ? At(m_cursor) : nullptr;
    if (keys.empty()) {
        m_sortActive = false;
        m_sortKeys.clear();
        m_sorted.clear();
    } else {
        // Build the new order beside the old one, so a failing comparison
        // leaves the table as it was.
        std::swap(m_sortKeys, keys);
        try {
            RebuildSortOrder();
        } catch (...) {
            std::swap(m_sortKeys, keys);
            throw;
        }
        m_sortActive = true;
    }

    int position = -1;
    for (int i = 0; current && i < Count(); ++i) {
        if (At(i) == current) {
            position = i;
            break;
        }
    }
    if (position >= 0) {
        m_cursor = position;
        NotifyRecordChanged(nullptr);
    } else {
        m_cursor = Count() > 0 ? 0 : -1;
        m_atEndFlag = Count() == 0;
        NotifyRecordChanged(nullptr);
        FireAfterScroll();
    }
}

#include "table/packed_record.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <string>

// The block: the count (8 bytes), count payloads of 8 bytes, count kinds of
// one byte, then the texts. A text's payload is its offset among the texts
// and its size, 32 bits each.
namespace {
using Kind = TPackedRecordBuilder::Kind;

constexpr std::size_t HeaderSize = sizeof(std::uint64_t);
constexpr std::size_t PayloadSize = sizeof(std::uint64_t);

std::uint64_t Load64(const std::byte* at)
{
    std::uint64_t value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

std::size_t TextsStart(std::size_t count)
{
    return HeaderSize + count * (PayloadSize + 1);
}
}  // namespace

TValueView ViewOf(const TValue& value)
{
    switch (value.index()) {
    case Kind::Text:
        return std::string_view(std::get<std::string>(value));
    case Kind::Integer:
        return std::get<std::int32_t>(value);
    case Kind::Boolean:
        return std::get<bool>(value);
    case Kind::Date:
        return std::get<TDateTime>(value);
    default:
        return {};
    }
}

TValue ValueOf(const TValueView& view)
{
    switch (view.index()) {
    case Kind::Text:
        return std::string(std::get<std::string_view>(view));
    case Kind::Integer:
        return std::get<std::int32_t>(view);
    case Kind::Boolean:
        return std::get<bool>(view);
    case Kind::Date:
        return std::get<TDateTime>(view);
    default:
        return {};
    }
}

TPackedRecord::TPackedRecord(std::span<const TValue> values)
{
    TPackedRecordBuilder builder;
    builder.Reset(values.size());
    for (std::size_t i = 0; i < values.size(); ++i)
        builder.SetValue(i, values[i]);
    *this = builder.Build();
}

std::size_t TPackedRecord::Count() const
{
    return m_block ? static_cast<std::size_t>(Load64(m_block.get())) : 0;
}

TValueView TPackedRecord::View(std::size_t index) const
{
    const std::size_t count = Count();
    const std::uint64_t payload = Load64(m_block.get() + HeaderSize + index * PayloadSize);
    const auto kind = static_cast<Kind>(m_block[HeaderSize + count * PayloadSize + index]);
    switch (kind) {
    case Kind::Text: {
        const auto* texts = reinterpret_cast<const char*>(m_block.get() + TextsStart(count));
        return std::string_view(texts + static_cast<std::uint32_t>(payload),
                                static_cast<std::size_t>(payload >> 32));
    }
    case Kind::Integer:
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(payload));
    case Kind::Boolean:
        return payload != 0;
    case Kind::Date:
        return TDateTime{std::bit_cast<double>(payload)};
    default:
        return {};
    }
}

TValue TPackedRecord::Value(std::size_t index) const
{
    return ValueOf(View(index));
}

std::vector<TValue> TPackedRecord::Values() const
{
    std::vector<TValue> values(Count());
    for (std::size_t i = 0; i < values.size(); ++i)
        values[i] = Value(i);
    return values;
}

void TPackedRecordBuilder::Reset(std::size_t count)
{
    m_payloads.resize(count);
    m_kinds.assign(count, Null);
    m_textSize = 0;
}

void TPackedRecordBuilder::SetDate(std::size_t index, TDateTime value)
{
    Set(index, Date, std::bit_cast<std::uint64_t>(value.value));
}

void TPackedRecordBuilder::SetText(std::size_t index, std::string_view text)
{
    if (!text.empty())
        std::memcpy(TextRoom(text.size()), text.data(), text.size());
    CommitText(index, text.size());
}

void TPackedRecordBuilder::SetValue(std::size_t index, const TValue& value)
{
    switch (value.index()) {
    case Kind::Text:
        SetText(index, std::get<std::string>(value));
        return;
    case Kind::Integer:
        SetInteger(index, std::get<std::int32_t>(value));
        return;
    case Kind::Boolean:
        SetBoolean(index, std::get<bool>(value));
        return;
    case Kind::Date:
        SetDate(index, std::get<TDateTime>(value));
        return;
    default:
        SetNull(index);
        return;
    }
}

char* TPackedRecordBuilder::TextRoom(std::size_t size)
{
    if (!m_text || m_textCapacity - m_textSize < size) {
        const std::size_t capacity =
            std::max({std::size_t{256}, 2 * m_textCapacity, m_textSize + size});
        auto text = std::make_unique_for_overwrite<char[]>(capacity);
        if (m_textSize > 0)
            std::memcpy(text.get(), m_text.get(), m_textSize);
        m_text = std::move(text);
        m_textCapacity = capacity;
    }
    return m_text.get() + m_textSize;
}

void TPackedRecordBuilder::CommitText(std::size_t index, std::size_t size)
{
    // Offsets and sizes are kept in 32 bits each.
    constexpr std::size_t Limit = std::numeric_limits<std::uint32_t>::max();
    if (m_textSize > Limit || size > Limit - m_textSize)
        throw std::length_error("A record's texts are longer than 4 GiB");
    Set(index, Text, m_textSize | (static_cast<std::uint64_t>(size) << 32));
    m_textSize += size;
}

TPackedRecord TPackedRecordBuilder::Build() const
{
    const std::size_t count = m_kinds.size();
    const std::size_t textsStart = TextsStart(count);
    TPackedRecord record;
    record.m_block = std::make_unique_for_overwrite<std::byte[]>(textsStart + m_textSize);
    std::byte* const block = record.m_block.get();
    const std::uint64_t count64 = count;
    std::memcpy(block, &count64, HeaderSize);
    if (count > 0) {
        std::memcpy(block + HeaderSize, m_payloads.data(), count * PayloadSize);
        std::memcpy(block + HeaderSize + count * PayloadSize, m_kinds.data(), count);
    }
    if (m_textSize > 0)
        std::memcpy(block + textsStart, m_text.get(), m_textSize);
    return record;
}

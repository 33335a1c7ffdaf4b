#include "table/packed_record.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <string>

TValueView ViewOf(const TValue& value)
{
    switch (value.index()) {
    case vkText:
        return std::string_view(std::get<std::string>(value));
    case vkInteger:
        return std::get<std::int32_t>(value);
    case vkBoolean:
        return std::get<bool>(value);
    case vkDate:
        return std::get<TDateTime>(value);
    default:
        return {};
    }
}

TValue ValueOf(const TValueView& view)
{
    switch (view.index()) {
    case vkText:
        return std::string(std::get<std::string_view>(view));
    case vkInteger:
        return std::get<std::int32_t>(view);
    case vkBoolean:
        return std::get<bool>(view);
    case vkDate:
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
    if (!m_block)
        return 0;
    std::uint64_t count;
    std::memcpy(&count, m_block.get(), sizeof count);
    return static_cast<std::size_t>(count);
}

TValueView TPackedRecord::View(std::size_t index) const
{
    switch (Kind(index)) {
    case vkText:
        return Text(index);
    case vkInteger:
        return Integer(index);
    case vkBoolean:
        return Boolean(index);
    case vkDate:
        return Date(index);
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
    m_kinds.assign(count, vkNull);
    m_textSize = 0;
}

void TPackedRecordBuilder::SetDate(std::size_t index, TDateTime value)
{
    Set(index, vkDate, std::bit_cast<std::uint64_t>(value.value));
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
    case vkText:
        SetText(index, std::get<std::string>(value));
        return;
    case vkInteger:
        SetInteger(index, std::get<std::int32_t>(value));
        return;
    case vkBoolean:
        SetBoolean(index, std::get<bool>(value));
        return;
    case vkDate:
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
    Set(index, vkText, m_textSize | (static_cast<std::uint64_t>(size) << 32));
    m_textSize += size;
}

TPackedRecord TPackedRecordBuilder::Build() const
{
    const std::size_t count = m_kinds.size();
    const std::size_t textsStart = TPackedRecord::TextsStart(count);
    TPackedRecord record;
    record.m_block = std::make_unique_for_overwrite<std::byte[]>(textsStart + m_textSize);
    std::byte* const block = record.m_block.get();
    const std::uint64_t count64 = count;
    constexpr std::size_t Header = TPackedRecord::HeaderSize;
    constexpr std::size_t Payload = TPackedRecord::PayloadSize;
    std::memcpy(block, &count64, Header);
    if (count > 0) {
        std::memcpy(block + Header, m_payloads.data(), count * Payload);
        std::memcpy(block + Header + count * Payload, m_kinds.data(), count);
    }
    if (m_textSize > 0)
        std::memcpy(block + textsStart, m_text.get(), m_textSize);
    return record;
}

#pragma once

#include "table/values.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>
#include <string_view>
#include <variant>
#include <vector>

// A value as a record stores it, its text not copied; the alternatives are
// those of TValue, in the same order.
using TValueView = std::variant<std::monostate, std::string_view, std::int32_t, bool, TDateTime>;

TValueView ViewOf(const TValue& value);
TValue ValueOf(const TValueView& view);

// The kinds of value, numbered as the alternatives of TValue.
enum TValueKind : std::uint8_t { vkNull, vkText, vkInteger, vkBoolean, vkDate };

// The values of one record in one block: eight bytes and a kind per value,
// then the bytes of every text. A table of many records so keeps one
// allocation per record, not one per value and per text.
class TPackedRecord {
public:
    TPackedRecord() = default;
    explicit TPackedRecord(std::span<const TValue> values);

    std::size_t Count() const;
    // The value at index, which is below Count().
    TValueView View(std::size_t index) const;
    // The same, read by its kind: the kind is the index of the alternative
    // in TValue, and each reader below is for one kind only.
    TValueKind Kind(std::size_t index) const
    {
        return static_cast<TValueKind>(m_block[HeaderSize + Count() * PayloadSize + index]);
    }
    std::string_view Text(std::size_t index) const
    {
        const std::uint64_t payload = Payload(index);
        const auto* texts = reinterpret_cast<const char*>(m_block.get() + TextsStart(Count()));
        return {texts + static_cast<std::uint32_t>(payload),
                static_cast<std::size_t>(payload >> 32)};
    }
    std::int32_t Integer(std::size_t index) const
    {
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(Payload(index)));
    }
    bool Boolean(std::size_t index) const { return Payload(index) != 0; }
    TDateTime Date(std::size_t index) const
    {
        return TDateTime{std::bit_cast<double>(Payload(index))};
    }
    TValue Value(std::size_t index) const;
    std::vector<TValue> Values() const;

private:
    friend class TPackedRecordBuilder;
    // The block: the count, count payloads of eight bytes, count kinds of one
    // byte, then the texts. A text's payload is its offset among the texts
    // and its size, 32 bits each.
    static constexpr std::size_t HeaderSize = sizeof(std::uint64_t);
    static constexpr std::size_t PayloadSize = sizeof(std::uint64_t);
    static constexpr std::size_t TextsStart(std::size_t count)
    {
        return HeaderSize + count * (PayloadSize + 1);
    }
    std::uint64_t Payload(std::size_t index) const
    {
        std::uint64_t payload;
        std::memcpy(&payload, m_block.get() + HeaderSize + index * PayloadSize, sizeof payload);
        return payload;
    }

    std::unique_ptr<std::byte[]> m_block;
};

// Makes packed records one value at a time. A reader keeps one builder for a
// whole file, so its room is made once.
class TPackedRecordBuilder {
public:
    // Starts a record of count values, each of them null.
    void Reset(std::size_t count);

    void SetNull(std::size_t index) { m_kinds[index] = vkNull; }
    void SetInteger(std::size_t index, std::int32_t value)
    {
        Set(index, vkInteger, static_cast<std::uint32_t>(value));
    }
    void SetBoolean(std::size_t index, bool value) { Set(index, vkBoolean, value ? 1u : 0u); }
    void SetDate(std::size_t index, TDateTime value);
    void SetText(std::size_t index, std::string_view text);
    void SetValue(std::size_t index, const TValue& value);
    // Room for a text of up to size bytes; valid until CommitText, which
    // takes the size bytes written there as the value at index.
    char* TextRoom(std::size_t size);
    void CommitText(std::size_t index, std::size_t size);

    TPackedRecord Build() const;

private:
    void Set(std::size_t index, TValueKind kind, std::uint64_t payload)
    {
        m_kinds[index] = kind;
        m_payloads[index] = payload;
    }

    std::vector<std::uint64_t> m_payloads;
    std::vector<std::uint8_t> m_kinds;
    std::unique_ptr<char[]> m_text;
    std::size_t m_textSize = 0;
    std::size_t m_textCapacity = 0;
};

#pragma once

#include "table/values.h"

#include <cstddef>
#include <cstdint>
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
    TValue Value(std::size_t index) const;
    std::vector<TValue> Values() const;

private:
    friend class TPackedRecordBuilder;
    std::unique_ptr<std::byte[]> m_block;
};

// Makes packed records one value at a time. A reader keeps one builder for a
// whole file, so its room is made once.
class TPackedRecordBuilder {
public:
    // Starts a record of count values, each of them null.
    void Reset(std::size_t count);

    void SetNull(std::size_t index) { m_kinds[index] = Null; }
    void SetInteger(std::size_t index, std::int32_t value)
    {
        Set(index, Integer, static_cast<std::uint32_t>(value));
    }
    void SetBoolean(std::size_t index, bool value) { Set(index, Boolean, value ? 1u : 0u); }
    void SetDate(std::size_t index, TDateTime value);
    void SetText(std::size_t index, std::string_view text);
    void SetValue(std::size_t index, const TValue& value);
    // Room for a text of up to size bytes; valid until CommitText, which
    // takes the size bytes written there as the value at index.
    char* TextRoom(std::size_t size);
    void CommitText(std::size_t index, std::size_t size);

    TPackedRecord Build() const;

    // Kinds of value, numbered as the alternatives of TValue.
    enum Kind : std::uint8_t { Null, Text, Integer, Boolean, Date };

private:
    void Set(std::size_t index, Kind kind, std::uint64_t payload)
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

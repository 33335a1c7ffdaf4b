#pragma once

#include "table/data_link.h"
#include "table/errors.h"
#include "table/field.h"
#include "table/packed_record.h"
#include "table/text_compare.h"
#include "table/values.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

class TqorCustomStreamFormat;
class TStream;
struct TAtomicWriteOptions;

struct TFieldDef {
    std::string Name;
    TFieldType DataType = ftUnknown;
    int Size = 0;
    bool Required = false;
};

// An index definition read from a table file. The table keeps it and writes
// it back; it does not order records by it.
struct TIndexDef {
    std::string Name;
    std::string Fields;
    std::string DisplayName;
    bool Descending = false;
    bool CaseInsensitive = false;
    bool NonMaintained = false;
    bool Unique = false;
};

enum TqorMemTableCompareOptions {
    mtcoDescending,
    mtcoCaseInsensitive,
    mtcoPartialKey,
    mtcoIgnoreNullKey,
    mtcoIgnoreLocale
};

using TqorMemTableCompareOptionSet = std::set<TqorMemTableCompareOptions>;

// A table held wholly in memory: typed nullable fields, records in row order
// and optionally in a sort order, a cursor, an edit cycle, an auto-increment
// key, and reading and writing through a stream format.
class TqorMemTable {
public:
    explicit TqorMemTable(std::string name = "Tbl");
    ~TqorMemTable();
    TqorMemTable(const TqorMemTable&) = delete;
    TqorMemTable& operator=(const TqorMemTable&) = delete;

    const std::string& Name() const { return m_name; }

    // --- fields (changed only while the table is closed) ---
    // Makes a field of the class that belongs to the type; the seven types of
    // IsSupportedFieldType only.
    TField& AddField(const std::string& name, TFieldType type, int size = 0);
    void ClearFields();
    static bool IsSupportedFieldType(TFieldType type);
    int FieldCount() const { return static_cast<int>(m_fields.size()); }
    TField& Fields(int index) const { return *m_fields.at(static_cast<std::size_t>(index)); }
    TField* FindField(const std::string& name) const;
    TField& GetField(const std::string& name) const;
    TField* AutoIncField() const { return m_autoIncField; }

    std::vector<TFieldDef> FieldDefs;
    std::vector<TIndexDef> IndexDefs;

    // --- life cycle and editing ---
    void Open();
    void Close();
    bool Active() const { return m_state != dsInactive; }
    TDataSetState State() const { return m_state; }
    bool Modified() const { return m_modified; }

    void Insert();
    void AddAtEnd();
    void Edit();
    void Post();
    void Cancel();
    void Delete();

    // --- cursor and search ---
    void MoveFirst();
    void MoveNext();
    bool AtEnd() const;
    bool FindByValue(const std::string& fieldNames, const TValue& value);
    int CountRecords() const;
    int RecordNumber() const;

    TValue GetValue(const std::string& fieldName) const;
    void SetValue(const std::string& fieldName, const TValue& value);

    // --- sort ---
    std::string SortFields;
    TqorMemTableCompareOptionSet SortOptions;
    void ApplySort();
    bool IsSorted() const { return m_sortActive; }

    // --- files ---
    TqorCustomStreamFormat* DefaultFormat = nullptr;
    void ReadFromFile(const std::string& path);
    // The file is replaced in one step; a failure leaves the old file whole.
    void WriteToFile(const std::string& path);
    void WriteToFile(const std::string& path, const TAtomicWriteOptions& options);
    void LoadFromStream(TStream& stream);
    void SaveToStream(TStream& stream);

    // --- auto-increment key ---
    int AutoIncMinValue = 0;
    std::int64_t HighestAutoInc() const { return m_highestAutoInc; }
    void ResetAutoIncCounter();

    // The collation of the search and the sort; the user's locale by default.
    void SetTextCompare(TTextCompare compare) { m_compare = std::move(compare); }
    // Compares two texts as the search and the sort do; raises
    // EMemTableInvalidLocale when the comparison fails.
    int CompareText(std::string_view a, std::string_view b, bool ignoreCase,
                    bool ignoreLocale) const;

    // --- events ---
    std::function<void(TqorMemTable&)> BeforeScroll;
    std::function<void(TqorMemTable&)> AfterScroll;

    // --- for stream formats ---
    void DisableControls();
    void EnableControls();
    bool ControlsDisabled() const { return m_disableCount > 0; }
    bool IsLoading() const { return m_loading; }
    bool IsSaving() const { return m_saving; }
    void SetSaving(bool saving) { m_saving = saving; }
    // Marks a read: read-only fields writable, no auto-increment values for
    // new records, the sort not maintained.
    void BeginLoad();
    // Ends a read: leaves a pending new record (stored when any field was
    // assigned), rebuilds the sort and moves to the first record.
    void EndLoad();
    // The values of the record at a position of the current order.
    std::vector<TValue> RecordValues(int position) const;
    TValue RecordValue(int position, int fieldIndex) const;
    // The same values as stored, for writers that read them without copies.
    const TPackedRecord& StoredValues(int position) const;
    // Assigns a value already of the field's type into the record being
    // edited, without conversion.
    void SetBufferValue(int fieldIndex, TValue&& value);
    // For readers, which build each record whole: BeginReadRecord ends an
    // edit in progress and checks that one more record may be added;
    // AddReadRecord then adds the record at the end, as Post adds a new one.
    void BeginReadRecord();
    void AddReadRecord(TPackedRecord values);

    // Link bookkeeping (TDataSource calls these).
    void AttachSource(TDataSource* source);
    void DetachSource(TDataSource* source);

    // --- used by TField ---
    TValue CurrentValue(int fieldIndex) const;
    void SetFieldValue(TField& field, const TValue& value);
    // Raises EDatabaseError with "<Name>: " before the message.
    [[noreturn]] void RaiseNamed(const std::string& message) const;
    void MarkModifiedByControl();

    // More records than this added since the table was opened is refused.
    static constexpr std::int64_t MaxRecordsAdded = 2147483599;

protected:
    struct Record {
        TPackedRecord values;
        std::uint64_t serial = 0;
    };
    // Records added since the last Open; tests raise it to reach the limit.
    std::int64_t m_recordsAdded = 0;

private:
    struct SortKey {
        int field = 0;
        bool descending = false;
        bool caseInsensitive = false;
        bool partial = false;
        bool ignoreNull = false;
        bool ignoreLocale = false;
    };

    void CheckActive() const;
    void LeaveEditState();
    void StartNewRecord(bool atEnd);
    // Adds a new record at its place in the current order and moves the
    // cursor to it; the record is taken from `record`, which keeps it when this throws.
    void PlaceNewRecord(std::unique_ptr<Record>& record);
    // Adds a new record with the next serial at its place (see PlaceNewRecord).
    void AddNewRecord(TPackedRecord values);
    void DropPending();
    void SetState(TDataSetState state);
    void UpdateLinkedControls();
    void NotifyRecordChanged(TField* field);
    void NotifyLayoutChanged();
    void NotifyDataSetChanged();
    void NotifyStateChanged();
    void FireAfterScroll();

    int Count() const;
    Record* At(int position) const;
    int RowIndexOf(const Record* record) const;

    std::vector<SortKey> ParseSortFields() const;
    int CompareRecords(const Record& a, const Record& b) const;
    int CompareValues(const TValueView& a, const TValueView& b, const SortKey& key) const;
    std::size_t SortedInsertPosition(const Record& record) const;
    void RebuildSortOrder();

    std::string m_name;
    std::vector<std::unique_ptr<TField>> m_fields;
    TField* m_autoIncField = nullptr;

    TDataSetState m_state = dsInactive;
    std::vector<std::unique_ptr<Record>> m_rows;
    std::vector<Record*> m_sorted;
    std::vector<SortKey> m_sortKeys;
    bool m_sortActive = false;
    int m_cursor = -1;
    bool m_atEndFlag = true;

    std::vector<TValue> m_buffer;
    std::optional<int> m_insertPosition;
    bool m_modified = false;

    std::int64_t m_highestAutoInc = -1;
    std::uint64_t m_nextSerial = 0;
    bool m_loading = false;
    bool m_saving = false;
    int m_disableCount = 0;

    TTextCompare m_compare;
    std::vector<TDataSource*> m_sources;
};

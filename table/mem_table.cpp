#include "table/mem_table.h"

#include "table/utf8.h"

#include <algorithm>
#include <climits>
#include <locale>
#include <stdexcept>

namespace {
const char* const ClosedDataset = "Cannot perform this operation on a closed dataset";
const char* const OpenDataset = "Cannot perform this operation on an open dataset";

const std::ctype<wchar_t>& UserCaseRules()
{
    static const std::locale user = [] {
        try {
            return std::locale("");
        } catch (const std::runtime_error&) {
            return std::locale::classic();
        }
    }();
    return std::use_facet<std::ctype<wchar_t>>(user);
}

// Field names ignore case by the user's locale, so "LEÍRÁS" names "leírás".
bool SameNameIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() == b.size() && CompareBytes(a, b, true) == 0)
        return true;
    if (!IsValidUtf8(a) || !IsValidUtf8(b))
        return false;
    const std::ctype<wchar_t>& rules = UserCaseRules();
    std::size_t i = 0, j = 0;
    char32_t ca = 0, cb = 0;
    for (;;) {
        const bool moreA = NextCodePoint(a, i, ca);
        const bool moreB = NextCodePoint(b, j, cb);
        if (!moreA || !moreB)
            return moreA == moreB;
        if (ca != cb &&
            rules.tolower(static_cast<wchar_t>(ca)) != rules.tolower(static_cast<wchar_t>(cb)))
            return false;
    }
}
}  // namespace

TqorMemTable::TqorMemTable(std::string name)
    : m_name(std::move(name)), m_compare(MakeLocaleTextCompare())
{ }

TqorMemTable::~TqorMemTable()
{
    for (TDataSource* source : std::vector<TDataSource*>(m_sources))
        source->SetDataSet(nullptr);
}

void TqorMemTable::RaiseNamed(const std::string& message) const
{
    throw EDatabaseError(m_name.empty() ? message : m_name + ": " + message);
}

void TqorMemTable::CheckActive() const
{
    if (m_state == dsInactive)
        RaiseNamed(ClosedDataset);
}

// --- fields ---

bool TqorMemTable::IsSupportedFieldType(TFieldType type)
{
    switch (type) {
    case ftString:
    case ftInteger:
    case ftBoolean:
    case ftDateTime:
    case ftAutoInc:
    case ftMemo:
    case ftGraphic:
        return true;
    default:
        return false;
    }
}

TField& TqorMemTable::AddField(const std::string& name, TFieldType type, int size)
{
    if (Active())
        RaiseNamed(OpenDataset);
    std::unique_ptr<TField> field;
    switch (type) {
    case ftString:
        field = std::make_unique<TStringField>(*this, name, size);
        break;
    case ftInteger:
        field = std::make_unique<TIntegerField>(*this, name);
        break;
    case ftBoolean:
        field = std::make_unique<TBooleanField>(*this, name);
        break;
    case ftDateTime:
        field = std::make_unique<TDateTimeField>(*this, name);
        break;
    case ftAutoInc:
        field = std::make_unique<TAutoIncField>(*this, name);
        break;
    case ftMemo:
        field = std::make_unique<TMemoField>(*this, name);
        break;
    case ftGraphic:
        field = std::make_unique<TGraphicField>(*this, name);
        break;
    default:
        throw EMemTableError(std::string("Unsupported field type (") + FieldTypeName(type) + ")");
    }
    field->m_index = FieldCount();
    m_fields.push_back(std::move(field));
    NotifyLayoutChanged();
    return *m_fields.back();
}

void TqorMemTable::ClearFields()
{
    if (Active())
        RaiseNamed(OpenDataset);
    m_fields.clear();
    m_autoIncField = nullptr;
    NotifyLayoutChanged();
}

TField* TqorMemTable::FindField(const std::string& name) const
{
    for (const auto& field : m_fields) {
        if (SameNameIgnoringCase(field->FieldName, name))
            return field.get();
    }
    return nullptr;
}

TField& TqorMemTable::GetField(const std::string& name) const
{
    TField* field = FindField(name);
    if (!field)
        RaiseNamed("Field '" + name + "' not found");
    return *field;
}

// --- life cycle ---

void TqorMemTable::Open()
{
    if (Active())
        return;
    if (m_fields.empty()) {
        if (FieldDefs.empty())
            throw EMemTableError("There must be at least one field");
        for (const TFieldDef& def : FieldDefs) {
            TField& field = AddField(def.Name, def.DataType, def.Size);
            field.Required = def.Required;
        }
    } else {
        FieldDefs.clear();
        for (const auto& field : m_fields) {
            if (field->FieldKind == fkData || field->FieldKind == fkInternalCalc)
                FieldDefs.push_back(
                    {field->FieldName, field->DataType, field->Size, field->Required});
        }
    }
    m_autoIncField = nullptr;
    for (const auto& field : m_fields) {
        if (field->DataType == ftAutoInc) {
            m_autoIncField = field.get();
            break;
        }
    }
    ResetAutoIncCounter();
    m_rows.clear();
    m_sorted.clear();
    m_sortActive = false;
    m_sortKeys.clear();
    m_cursor = -1;
    m_atEndFlag = true;
    m_recordsAdded = 0;
    DropPending();
    SetState(dsBrowse);
    NotifyDataSetChanged();
}

void TqorMemTable::Close()
{
    if (!Active())
        return;
    DropPending();
    m_rows.clear();
    m_sorted.clear();
    m_sortKeys.clear();
    m_sortActive = false;
    m_cursor = -1;
    m_atEndFlag = true;
    SetState(dsInactive);
}

void TqorMemTable::ResetAutoIncCounter()
{
    m_highestAutoInc = static_cast<std::int64_t>(AutoIncMinValue) - 1;
}

// --- editing ---

void TqorMemTable::DropPending()
{
    m_buffer.clear();
    m_insertPosition.reset();
    m_modified = false;
    for (TDataSource* source : m_sources) {
        for (TDataLink* link : source->m_links)
            link->m_modified = false;
    }
}

void TqorMemTable::LeaveEditState()
{
    if (m_state == dsEdit || m_state == dsInsert) {
        if (m_modified)
            Post();
        else
            Cancel();
    }
}

void TqorMemTable::BeginReadRecord()
{
    LeaveEditState();
    if (m_recordsAdded >= MaxRecordsAdded)
        throw EMemTableFatalError(
            "Bookmark counter is out of range. Please close and reopen table.");
}

void TqorMemTable::AddReadRecord(TPackedRecord values)
{
    if (m_autoIncField) {
        const TValueView id = values.View(static_cast<std::size_t>(m_autoIncField->Index()));
        if (const auto* n = std::get_if<std::int32_t>(&id); n && *n > m_highestAutoInc)
            m_highestAutoInc = *n;
    }
    m_insertPosition.reset();
    AddNewRecord(std::move(values));
    m_atEndFlag = false;
}

void TqorMemTable::AddNewRecord(TPackedRecord values)
{
    auto record = std::make_unique<Record>();
    record->values = std::move(values);
    record->serial = m_nextSerial;
    PlaceNewRecord(record);
    ++m_nextSerial;
    ++m_recordsAdded;
}

void TqorMemTable::StartNewRecord(bool atEnd)
{
    CheckActive();
    BeginReadRecord();
    std::vector<TValue> buffer(m_fields.size());
    if (m_autoIncField && !m_loading) {
        const std::int64_t next = m_highestAutoInc + 1;
        if (next > INT32_MAX)
            throw EMemTableError("Auto-increment value is out of range");
        buffer[static_cast<std::size_t>(m_autoIncField->Index())] = static_cast<std::int32_t>(next);
    }
    m_buffer = std::move(buffer);
    m_insertPosition.reset();
    if (!atEnd && Count() > 0 && m_cursor >= 0)
        m_insertPosition = m_cursor + 1;
    m_modified = false;
    SetState(dsInsert);
    NotifyRecordChanged(nullptr);
}

void TqorMemTable::Insert()
{
    StartNewRecord(false);
}

void TqorMemTable::AddAtEnd()
{
    StartNewRecord(true);
}

void TqorMemTable::Edit()
{
    CheckActive();
    if (m_state == dsEdit || m_state == dsInsert)
        return;
    if (Count() == 0) {
        Insert();
        return;
    }
    m_buffer = At(m_cursor)->values.Values();
    m_modified = false;
    SetState(dsEdit);
}

void TqorMemTable::Post()
{
    CheckActive();
    if (m_state != dsEdit && m_state != dsInsert)
        RaiseNamed("Dataset not in edit or insert mode");
    UpdateLinkedControls();

    std::int64_t highest = m_highestAutoInc;
    if (m_autoIncField) {
        const TValue& id = m_buffer[static_cast<std::size_t>(m_autoIncField->Index())];
        if (const auto* n = std::get_if<std::int32_t>(&id); n && *n > highest)
            highest = *n;
    }

    if (m_state == dsInsert) {
        // The buffer stays until the record is placed, so that a failed
        // Post loses no value.
        AddNewRecord(TPackedRecord(m_buffer));
    } else {
        Record* record = At(m_cursor);
        if (m_sortActive) {
            Record probe{TPackedRecord(m_buffer), record->serial};
            m_sorted.erase(m_sorted.begin() + m_cursor);
            std::size_t pos = 0;
            try {
                pos = SortedInsertPosition(probe);
            } catch (...) {
                m_sorted.insert(m_sorted.begin() + m_cursor, record);
                throw;
            }
            record->values = std::move(probe.values);
            m_sorted.insert(m_sorted.begin() + static_cast<std::ptrdiff_t>(pos), record);
            m_cursor = static_cast<int>(pos);
        } else {
            record->values = TPackedRecord(m_buffer);
        }
    }
    m_highestAutoInc = highest;
    m_atEndFlag = false;
    DropPending();
    SetState(dsBrowse);
    NotifyRecordChanged(nullptr);
}

void TqorMemTable::PlaceNewRecord(std::unique_ptr<Record>& record)
{
    Record* raw = record.get();
    if (m_sortActive) {
        const std::size_t pos = SortedInsertPosition(*raw);
        if (m_sorted.size() == m_sorted.capacity())
            m_sorted.reserve(2 * m_sorted.size() + 1);
        m_rows.push_back(std::move(record));
        m_sorted.insert(m_sorted.begin() + static_cast<std::ptrdiff_t>(pos), raw);
        m_cursor = static_cast<int>(pos);
    } else if (m_insertPosition) {
        const int pos = std::min(*m_insertPosition - 1, Count());
        m_rows.insert(m_rows.begin() + pos, std::move(record));
        m_cursor = pos;
    } else {
        m_rows.push_back(std::move(record));
        m_cursor = Count() - 1;
    }
}

void TqorMemTable::Cancel()
{
    if (m_state != dsEdit && m_state != dsInsert)
        return;
    const bool droppedNew = m_state == dsInsert;
    DropPending();
    SetState(dsBrowse);
    NotifyRecordChanged(nullptr);
    if (droppedNew && !m_loading)
        FireAfterScroll();
}

void TqorMemTable::Delete()
{
    CheckActive();
    if (m_state == dsInsert) {
        Cancel();
        return;
    }
    if (Count() == 0)
        RaiseNamed("Cannot perform this operation on an empty dataset");
    DropPending();
    SetState(dsBrowse);

    Record* doomed = At(m_cursor);
    const int rowIndex = RowIndexOf(doomed);
    if (m_sortActive)
        m_sorted.erase(m_sorted.begin() + m_cursor);
    m_rows.erase(m_rows.begin() + rowIndex);

    const int count = Count();
    if (count == 0) {
        m_cursor = -1;
        m_atEndFlag = true;
    } else {
        m_cursor = std::min(m_cursor, count - 1);
        m_atEndFlag = false;
    }
    NotifyRecordChanged(nullptr);
    FireAfterScroll();
}

// --- cursor ---

int TqorMemTable::Count() const
{
    return static_cast<int>(m_sortActive ? m_sorted.size() : m_rows.size());
}

TqorMemTable::Record* TqorMemTable::At(int position) const
{
    const auto i = static_cast<std::size_t>(position);
    return m_sortActive ? m_sorted[i] : m_rows[i].get();
}

int TqorMemTable::RowIndexOf(const Record* record) const
{
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        if (m_rows[i].get() == record)
            return static_cast<int>(i);
    }
    return -1;
}

void TqorMemTable::MoveFirst()
{
    CheckActive();
    LeaveEditState();
    m_cursor = Count() > 0 ? 0 : -1;
    m_atEndFlag = Count() == 0;
    NotifyRecordChanged(nullptr);
    FireAfterScroll();
}

void TqorMemTable::MoveNext()
{
    CheckActive();
    LeaveEditState();
    if (m_atEndFlag)
        return;
    if (m_cursor + 1 < Count()) {
        ++m_cursor;
        NotifyRecordChanged(nullptr);
    } else {
        m_atEndFlag = true;
    }
    FireAfterScroll();
}

bool TqorMemTable::AtEnd() const
{
    return !Active() || Count() == 0 || m_atEndFlag;
}

int TqorMemTable::CountRecords() const
{
    CheckActive();
    return Count();
}

int TqorMemTable::RecordNumber() const
{
    if (!Active() || Count() == 0 || m_cursor < 0)
        return -1;
    return m_cursor + 1;
}

std::vector<TValue> TqorMemTable::RecordValues(int position) const
{
    return At(position)->values.Values();
}

TValue TqorMemTable::RecordValue(int position, int fieldIndex) const
{
    const TPackedRecord& values = At(position)->values;
    const auto column = static_cast<std::size_t>(fieldIndex);
    return column < values.Count() ? values.Value(column) : TValue{};
}

const TPackedRecord& TqorMemTable::StoredValues(int position) const
{
    return At(position)->values;
}

bool TqorMemTable::FindByValue(const std::string& fieldNames, const TValue& value)
{
    CheckActive();
    LeaveEditState();
    if (BeforeScroll)
        BeforeScroll(*this);
    if (fieldNames.find(';') != std::string::npos)
        throw EMemTableError("More fields than values");
    const TField& field = GetField(fieldNames);
    const TValue wanted = field.Convert(value);
    const TValueView wantedView = ViewOf(wanted);
    const auto* wantedText = std::get_if<std::string_view>(&wantedView);
    const auto column = static_cast<std::size_t>(field.Index());

    for (int i = 0; i < Count(); ++i) {
        const TValueView have = At(i)->values.View(column);
        const auto* haveText = std::get_if<std::string_view>(&have);
        const bool equal = wantedText && haveText
                               ? CompareText(*haveText, *wantedText, false, false) == 0
                               : have == wantedView;
        if (equal) {
            m_cursor = i;
            m_atEndFlag = false;
            NotifyRecordChanged(nullptr);
            FireAfterScroll();
            return true;
        }
    }
    return false;
}

// --- values ---

TValue TqorMemTable::CurrentValue(int fieldIndex) const
{
    const auto column = static_cast<std::size_t>(fieldIndex);
    if (m_state == dsEdit || m_state == dsInsert)
        return column < m_buffer.size() ? m_buffer[column] : TValue{};
    if (m_state == dsInactive || m_cursor < 0 || m_cursor >= Count())
        return {};
    const TPackedRecord& values = At(m_cursor)->values;
    return column < values.Count() ? values.Value(column) : TValue{};
}

TValue TqorMemTable::GetValue(const std::string& fieldName) const
{
    return GetField(fieldName).Value();
}

void TqorMemTable::SetValue(const std::string& fieldName, const TValue& value)
{
    GetField(fieldName).SetValue(value);
}

void TqorMemTable::SetFieldValue(TField& field, const TValue& value)
{
    if (m_state != dsEdit && m_state != dsInsert)
        RaiseNamed("Dataset is not in edit mode.");
    if (field.ReadOnly && !m_loading)
        throw EDatabaseError("Field " + field.DisplayName() + " is read only");
    SetBufferValue(field.Index(), field.Convert(value));
    NotifyRecordChanged(&field);
}

void TqorMemTable::SetBufferValue(int fieldIndex, TValue&& value)
{
    m_buffer.at(static_cast<std::size_t>(fieldIndex)) = std::move(value);
    m_modified = true;
}

void TqorMemTable::MarkModifiedByControl()
{
    CheckActive();
    if (m_state == dsBrowse)
        Edit();
    m_modified = true;
}

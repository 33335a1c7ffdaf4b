// Reading and writing a table through its stream format.
#include "table/mem_table.h"

#include "table/file_io.h"
#include "table/stream.h"
#include "table/stream_format.h"

#include <cstdint>
#include <exception>

namespace {
class TFileReadStream : public TStream {
public:
    explicit TFileReadStream(TFileReader& reader) : m_reader(reader) { }
    std::size_t Read(char* buffer, std::size_t size) override
    {
        const std::size_t got = m_reader.Read(buffer, size);
        m_read += got;
        return got;
    }
    void Write(std::string_view) override { throw EWriteError("Stream write error"); }
    std::size_t SizeHint() const override
    {
        const std::uint64_t size = m_reader.Size();
        return size > m_read ? static_cast<std::size_t>(size - m_read) : 0;
    }

private:
    TFileReader& m_reader;
    std::uint64_t m_read = 0;
};

TqorCustomStreamFormat& RequireFormat(TqorCustomStreamFormat* format)
{
    if (!format)
        throw EMemTableError("No format specified.");
    return *format;
}
}  // namespace

void TqorMemTable::SaveToStream(TStream& stream)
{
    TqorCustomStreamFormat& format = RequireFormat(DefaultFormat);
    CheckActive();
    // The preparation may fail after it has changed the table, so the
    // clean-up runs for it as well.
    try {
        format.BeforeSave(*this, stream);
        format.SaveDefinitions(*this, stream);
        format.SaveRecords(*this, stream);
    } catch (...) {
        try {
            format.AfterSave(*this, stream);
        } catch (...) {
            // The first failure is the one the caller needs to see.
        }
        throw;
    }
    format.AfterSave(*this, stream);
}

void TqorMemTable::LoadFromStream(TStream& stream)
{
    TqorCustomStreamFormat& format = RequireFormat(DefaultFormat);
    try {
        format.BeforeLoad(*this, stream);
        format.LoadDefinitions(*this, stream);
        format.MatchColumns(*this, stream);
        format.LoadRecords(*this, stream);
    } catch (...) {
        try {
            format.AfterLoad(*this, stream);
        } catch (...) {
            // The first failure is the one the caller needs to see.
        }
        throw;
    }
    format.AfterLoad(*this, stream);
}

void TqorMemTable::WriteToFile(const std::string& path)
{
    WriteToFile(path, TAtomicWriteOptions{});
}

void TqorMemTable::WriteToFile(const std::string& path, const TAtomicWriteOptions& options)
{
    // The whole file is built in memory first and then replaces the old one
    // in one step, so a failure never leaves a shortened file behind.
    TStringStream buffer;
    SaveToStream(buffer);
    WriteFileAtomically(path, buffer.Bytes(), options);
}

void TqorMemTable::ReadFromFile(const std::string& path)
{
    RequireFormat(DefaultFormat);
    TFileReader reader(path);
    TFileReadStream stream(reader);
    LoadFromStream(stream);
}

void TqorMemTable::BeginLoad()
{
    m_loading = true;
    if (m_sortActive) {
        // Records read are appended to the row order; the sort is rebuilt
        // once at the end.
        m_sortActive = false;
        m_sorted.clear();
    }
}

void TqorMemTable::EndLoad()
{
    std::exception_ptr failure;
    if (m_state == dsInsert) {
        try {
            if (m_modified)
                Post();
        } catch (...) {
            failure = std::current_exception();
        }
        if (m_state == dsInsert) {
            DropPending();
            SetState(dsBrowse);
        }
    }
    m_loading = false;
    if (Active()) {
        if (!m_sortKeys.empty()) {
            try {
                RebuildSortOrder();
                m_sortActive = true;
            } catch (...) {
                m_sortKeys.clear();
                m_sorted.clear();
                if (!failure)
                    failure = std::current_exception();
            }
        }
        m_cursor = Count() > 0 ? 0 : -1;
        m_atEndFlag = Count() == 0;
        FireAfterScroll();
    }
    if (failure)
        std::rethrow_exception(failure);
}

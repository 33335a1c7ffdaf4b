#pragma once

#include <vector>

class TField;
class TqorMemTable;
class TDataSource;

// A data-aware control's side of the link to a table: it is told what
// changed and shows its field again; before a post it writes back what the
// user typed.
class TDataLink {
public:
    virtual ~TDataLink();

    void SetDataSource(TDataSource* source);
    TDataSource* DataSource() const { return m_source; }
    TqorMemTable* DataSet() const;

    // The control changed its value: the table enters edit state (or insert
    // on an empty table) and is marked modified.
    void Modified();
    bool IsModified() const { return m_modified; }

    // The current record moved; field is null when the whole record may
    // have changed.
    virtual void RecordChanged(TField* field) { (void)field; }
    virtual void StateChanged() { }
    // The field list changed: look fields up again by name.
    virtual void LayoutChanged() { }
    // Anything may have changed (after a file read or write).
    virtual void DataSetChanged() { }
    // Write the pending value into the field.
    virtual void UpdateData() { }

private:
    friend class TDataSource;
    friend class TqorMemTable;
    TDataSource* m_source = nullptr;
    bool m_modified = false;
};

// Joins one table to any number of links.
class TDataSource {
public:
    explicit TDataSource(TqorMemTable* table = nullptr);
    ~TDataSource();
    TDataSource(const TDataSource&) = delete;
    TDataSource& operator=(const TDataSource&) = delete;

    void SetDataSet(TqorMemTable* table);
    TqorMemTable* DataSet() const { return m_table; }
    const std::vector<TDataLink*>& Links() const { return m_links; }

private:
    friend class TDataLink;
    friend class TqorMemTable;
    TqorMemTable* m_table = nullptr;
    std::vector<TDataLink*> m_links;
};

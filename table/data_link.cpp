#include "table/data_link.h"

#include "table/mem_table.h"

#include <algorithm>

TDataLink::~TDataLink()
{
    SetDataSource(nullptr);
}

void TDataLink::SetDataSource(TDataSource* source)
{
    if (m_source == source)
        return;
    if (m_source) {
        auto& links = m_source->m_links;
        links.erase(std::remove(links.begin(), links.end(), this), links.end());
    }
    m_source = source;
    m_modified = false;
    if (m_source)
        m_source->m_links.push_back(this);
}

TqorMemTable* TDataLink::DataSet() const
{
    return m_source ? m_source->DataSet() : nullptr;
}

void TDataLink::Modified()
{
    TqorMemTable* table = DataSet();
    if (!table)
        return;
    table->MarkModifiedByControl();
    m_modified = true;
}

TDataSource::TDataSource(TqorMemTable* table)
{
    SetDataSet(table);
}

TDataSource::~TDataSource()
{
    SetDataSet(nullptr);
    for (TDataLink* link : std::vector<TDataLink*>(m_links))
        link->SetDataSource(nullptr);
}

void TDataSource::SetDataSet(TqorMemTable* table)
{
    if (m_table == table)
        return;
    if (m_table)
        m_table->DetachSource(this);
    m_table = table;
    if (m_table)
        m_table->AttachSource(this);
    for (TDataLink* link : std::vector<TDataLink*>(m_links))
        link->DataSetChanged();
}

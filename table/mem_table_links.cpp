// The table's side of the data-source link and its events.
#include "table/mem_table.h"

#include <algorithm>

void TqorMemTable::AttachSource(TDataSource* source)
{
    if (std::find(m_sources.begin(), m_sources.end(), source) == m_sources.end())
        m_sources.push_back(source);
}

void TqorMemTable::DetachSource(TDataSource* source)
{
    m_sources.erase(std::remove(m_sources.begin(), m_sources.end(), source), m_sources.end());
}

namespace {
// Links may detach themselves while being told; work on a copy.
template <typename Fn>
void ForEachLink(const std::vector<TDataSource*>& sources, Fn fn)
{
    std::vector<TDataLink*> links;
    for (TDataSource* source : sources)
        links.insert(links.end(), source->Links().begin(), source->Links().end());
    for (TDataLink* link : links)
        fn(*link);
}
}  // namespace

void TqorMemTable::UpdateLinkedControls()
{
    ForEachLink(m_sources, [](TDataLink& link) {
        if (link.IsModified())
            link.UpdateData();
    });
}

void TqorMemTable::NotifyRecordChanged(TField* field)
{
    if (m_disableCount == 0)
        ForEachLink(m_sources, [field](TDataLink& link) { link.RecordChanged(field); });
}

void TqorMemTable::NotifyLayoutChanged()
{
    if (m_disableCount == 0)
        ForEachLink(m_sources, [](TDataLink& link) { link.LayoutChanged(); });
}

void TqorMemTable::NotifyDataSetChanged()
{
    if (m_disableCount == 0)
        ForEachLink(m_sources, [](TDataLink& link) { link.DataSetChanged(); });
}

void TqorMemTable::NotifyStateChanged()
{
    if (m_disableCount == 0)
        ForEachLink(m_sources, [](TDataLink& link) { link.StateChanged(); });
}

void TqorMemTable::SetState(TDataSetState state)
{
    if (m_state == state)
        return;
    m_state = state;
    NotifyStateChanged();
}

void TqorMemTable::FireAfterScroll()
{
    if (AfterScroll)
        AfterScroll(*this);
}

void TqorMemTable::DisableControls()
{
    ++m_disableCount;
}

void TqorMemTable::EnableControls()
{
    if (m_disableCount > 0 && --m_disableCount == 0)
        NotifyDataSetChanged();
}

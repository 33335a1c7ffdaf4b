#include "seged/db_memo.h"

#include "seged/editor_text.h"
#include "seged/table_values.h"
#include "table/data_link.h"
#include "table/mem_table.h"

class TDBMemo::Link final : public TDataLink {
public:
    explicit Link(TDBMemo& memo) : m_memo(memo) { }

    void RecordChanged(TField* field) override
    {
        if (!field || QString::fromStdString(field->FieldName) == m_memo.m_field)
            m_memo.ShowField();
    }
    void StateChanged() override
    {
        // Entering edit state keeps what is being typed; opening and
        // closing the table change what there is to show.
        const TqorMemTable* table = DataSet();
        if (!table || table->State() == dsInactive || table->State() == dsBrowse)
            m_memo.ShowField();
        else
            m_memo.setReadOnly(!m_memo.CanModify());
    }
    void LayoutChanged() override { m_memo.ShowField(); }
    void DataSetChanged() override { m_memo.ShowField(); }
    void UpdateData() override { m_memo.WriteField(); }

private:
    TDBMemo& m_memo;
};

TDBMemo::TDBMemo(QWidget* parent) : QPlainTextEdit(parent), m_link(std::make_unique<Link>(*this))
{
    connect(this, &QPlainTextEdit::textChanged, this, &TDBMemo::UserEdited);
    ShowField();
}

TDBMemo::~TDBMemo()
{
    // The widget's own destruction must not reach the link once it is gone.
    disconnect(this, nullptr, this, nullptr);
}

void TDBMemo::SetDataSource(TDataSource* source)
{
    m_link->SetDataSource(source);
    ShowField();
}

TDataSource* TDBMemo::DataSource() const
{
    return m_link->DataSource();
}

void TDBMemo::SetDataField(const QString& name)
{
    m_field = name;
    ShowField();
}

bool TDBMemo::CanModify() const
{
    const TqorMemTable* table = m_link->DataSet();
    if (!table || !table->Active())
        return false;
    const TField* field = table->FindField(m_field.toStdString());
    return field && !field->ReadOnly;
}

void TDBMemo::ShowField()
{
    if (m_writing)
        return;
    QString text;
    const TqorMemTable* table = m_link->DataSet();
    if (table && table->Active() && table->FindField(m_field.toStdString())) {
        text = NullToStr(table->GetValue(m_field.toStdString()), QString());
    }
    m_showing = true;
    if (text != EditorText(*this))
        SetEditorText(*this, text);
    m_showing = false;
    setReadOnly(!CanModify());
}

void TDBMemo::UserEdited()
{
    if (m_showing || !CanModify())
        return;
    m_link->Modified();
}

void TDBMemo::WriteField()
{
    TqorMemTable* table = m_link->DataSet();
    if (!table)
        return;
    const QString stored = EditorText(*this);
    m_writing = true;
    try {
        table->SetValue(m_field.toStdString(), stored.toStdString());
    } catch (...) {
        m_writing = false;
        throw;
    }
    m_writing = false;
}

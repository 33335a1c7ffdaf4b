#include "seged/db_check_box.h"

#include "seged/table_values.h"
#include "table/data_link.h"
#include "table/mem_table.h"

class TDBCheckBox::Link final : public TDataLink {
public:
    explicit Link(TDBCheckBox& box) : m_box(box) { }

    void RecordChanged(TField* field) override
    {
        if (!field || QString::fromStdString(field->FieldName) == m_box.m_field)
            m_box.ShowField();
    }
    void StateChanged() override
    {
        const TqorMemTable* table = DataSet();
        if (!table || table->State() == dsInactive || table->State() == dsBrowse)
            m_box.ShowField();
        else
            m_box.setEnabled(m_box.CanModify());
    }
    void LayoutChanged() override { m_box.ShowField(); }
    void DataSetChanged() override { m_box.ShowField(); }
    void UpdateData() override { m_box.WriteField(); }

private:
    TDBCheckBox& m_box;
};

TDBCheckBox::TDBCheckBox(const QString& text, QWidget* parent)
    : QCheckBox(text, parent), m_link(std::make_unique<Link>(*this))
{
    // clicked comes from the user (or click()), never from setChecked.
    connect(this, &QCheckBox::clicked, this, &TDBCheckBox::UserClicked);
    ShowField();
}

TDBCheckBox::~TDBCheckBox()
{
    // The widget's own destruction must not reach the link once it is gone.
    disconnect(this, nullptr, this, nullptr);
}

void TDBCheckBox::SetDataSource(TDataSource* source)
{
    m_link->SetDataSource(source);
    ShowField();
}

TDataSource* TDBCheckBox::DataSource() const
{
    return m_link->DataSource();
}

void TDBCheckBox::SetDataField(const QString& name)
{
    m_field = name;
    ShowField();
}

bool TDBCheckBox::CanModify() const
{
    const TqorMemTable* table = m_link->DataSet();
    if (!table || !table->Active())
        return false;
    const TField* field = table->FindField(m_field.toStdString());
    return field && !field->ReadOnly;
}

void TDBCheckBox::ShowField()
{
    if (m_writing)
        return;
    bool ticked = false;
    const TqorMemTable* table = m_link->DataSet();
    if (table && table->Active() && table->FindField(m_field.toStdString())) {
        const TValue value = table->GetValue(m_field.toStdString());
        if (const auto* flag = std::get_if<bool>(&value))
            ticked = *flag;
    }
    setChecked(ticked);
    setEnabled(CanModify());
}

void TDBCheckBox::UserClicked()
{
    if (!CanModify()) {
        ShowField();
        return;
    }
    m_link->Modified();
}

void TDBCheckBox::WriteField()
{
    TqorMemTable* table = m_link->DataSet();
    if (!table)
        return;
    m_writing = true;
    try {
        table->SetValue(m_field.toStdString(), isChecked());
    } catch (...) {
        m_writing = false;
        throw;
    }
    m_writing = false;
}

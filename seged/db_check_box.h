#pragma once

#include <QCheckBox>
#include <QString>

#include <memory>

class TDataSource;

// A check box that shows a Boolean field of a table's current record
// (ticked = true; an empty field shows unticked). A click puts the record
// into edit state and marks it modified; the state is written into the field
// when the record is posted.
class TDBCheckBox : public QCheckBox {
    Q_OBJECT

public:
    explicit TDBCheckBox(const QString& text, QWidget* parent = nullptr);
    ~TDBCheckBox() override;

    void SetDataSource(TDataSource* source);
    TDataSource* DataSource() const;
    void SetDataField(const QString& name);
    const QString& DataField() const { return m_field; }

    // True when a click can reach the field: the table is open and has it.
    bool CanModify() const;

private:
    class Link;
    friend class Link;

    void ShowField();
    void UserClicked();
    void WriteField();

    std::unique_ptr<Link> m_link;
    QString m_field;
    bool m_writing = false;
};

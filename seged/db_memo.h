#pragma once

#include <QPlainTextEdit>
#include <QString>

#include <memory>

class TDataSource;

// A multi-line text field that shows one field of a table's current record.
// Typing puts the record into edit state and marks it modified; the typed
// text is written into the field when the record is posted. Every character
// the user did not touch is written back as it was (see editor_text.h).
class TDBMemo : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit TDBMemo(QWidget* parent = nullptr);
    ~TDBMemo() override;

    void SetDataSource(TDataSource* source);
    TDataSource* DataSource() const;
    void SetDataField(const QString& name);
    const QString& DataField() const { return m_field; }

    // True when typing can reach the field: the table is open and has it.
    bool CanModify() const;

private:
    class Link;
    friend class Link;

    void ShowField();
    void UserEdited();
    void WriteField();

    std::unique_ptr<Link> m_link;
    QString m_field;
    bool m_showing = false;
    bool m_writing = false;
};

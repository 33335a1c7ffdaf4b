#pragma once

#include "table/values.h"

#include <cstdint>
#include <string>
#include <string_view>

class TqorMemTable;

// One column of a table. A field holds no value itself: it reads and writes
// the current record (or the record being edited) of its table.
class TField {
public:
    TField(TqorMemTable& table, std::string fieldName, TFieldType dataType, int size);
    virtual ~TField() = default;
    TField(const TField&) = delete;
    TField& operator=(const TField&) = delete;

    TqorMemTable& DataSet() const { return m_table; }
    int Index() const { return m_index; }

    std::string FieldName;
    TFieldType DataType;
    int Size = 0;
    TFieldKind FieldKind = fkData;
    std::string DisplayLabel;
    int DisplayWidth = 0;
    std::string EditMask;
    bool Required = false;
    bool ReadOnly = false;
    bool Visible = true;
    std::string DefaultExpression;

    // DisplayLabel, or FieldName when the label is empty.
    std::string DisplayName() const;
    // DisplayWidth, or the type's default width when it is 0.
    int EffectiveDisplayWidth() const;
    bool IsBlob() const { return DataType == ftMemo || DataType == ftGraphic; }

    bool IsNull() const;
    TValue Value() const;
    void SetValue(const TValue& value);
    void Clear();

    std::string AsString() const;
    void SetAsString(const std::string& text);
    std::int32_t AsInteger() const;
    void SetAsInteger(std::int32_t value);
    bool AsBoolean() const;
    void SetAsBoolean(bool value);
    TDateTime AsDateTime() const;
    void SetAsDateTime(TDateTime value);

    // Converts any value to this field's type (null stays null); raises the
    // conversion errors of the type.
    virtual TValue Convert(const TValue& value) const = 0;
    // The text form of a value of this field's type.
    virtual std::string ToText(const TValue& value) const = 0;

protected:
    [[noreturn]] void RaiseInvalidInteger(const std::string& text) const;

private:
    friend class TqorMemTable;
    TqorMemTable& m_table;
    int m_index = -1;
};

class TStringField : public TField {
public:
    TStringField(TqorMemTable& table, std::string name, int size);
    // The bytes of text a field of the size keeps: up to the first NUL and,
    // when size is positive, at most size code points.
    static std::size_t FittedSize(std::string_view text, int size);
    TValue Convert(const TValue& value) const override;
    std::string ToText(const TValue& value) const override;
};

class TIntegerField : public TField {
public:
    TIntegerField(TqorMemTable& table, std::string name, TFieldType type = ftInteger);
    TValue Convert(const TValue& value) const override;
    std::string ToText(const TValue& value) const override;
};

class TAutoIncField : public TIntegerField {
public:
    TAutoIncField(TqorMemTable& table, std::string name);
};

class TBooleanField : public TField {
public:
    TBooleanField(TqorMemTable& table, std::string name);
    TValue Convert(const TValue& value) const override;
    std::string ToText(const TValue& value) const override;
};

class TDateTimeField : public TField {
public:
    TDateTimeField(TqorMemTable& table, std::string name);
    TValue Convert(const TValue& value) const override;
    std::string ToText(const TValue& value) const override;
};

// Memo (text) and graphic (bytes) values: an empty value is null.
class TBlobField : public TField {
public:
    TBlobField(TqorMemTable& table, std::string name, TFieldType type);
    TValue Convert(const TValue& value) const override;
    std::string ToText(const TValue& value) const override;
};

class TMemoField : public TBlobField {
public:
    TMemoField(TqorMemTable& table, std::string name);
};

class TGraphicField : public TBlobField {
public:
    TGraphicField(TqorMemTable& table, std::string name);
};

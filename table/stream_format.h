#pragma once

class TqorMemTable;
class TStream;

// A file format of the table. The table calls the steps in a fixed order and
// always calls the clean-up step, also when an earlier step failed. The base
// class does what every format does to the table around a read or a write.
class TqorCustomStreamFormat {
public:
    virtual ~TqorCustomStreamFormat() = default;

    virtual void BeforeSave(TqorMemTable& table, TStream& stream);
    virtual void SaveDefinitions(TqorMemTable& table, TStream& stream) = 0;
    virtual void SaveRecords(TqorMemTable& table, TStream& stream) = 0;
    virtual void AfterSave(TqorMemTable& table, TStream& stream);

    virtual void BeforeLoad(TqorMemTable& table, TStream& stream);
    virtual void LoadDefinitions(TqorMemTable& table, TStream& stream) = 0;
    virtual void MatchColumns(TqorMemTable& table, TStream& stream) = 0;
    virtual void LoadRecords(TqorMemTable& table, TStream& stream) = 0;
    virtual void AfterLoad(TqorMemTable& table, TStream& stream);
};

#pragma once

#include <QList>
#include <QString>

#include <stdexcept>

// A write to a settings file failed; the message names the file's full path.
class EIniFileException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct TIniValue {
    QString Key;
    QString Value;
};

// A settings file in the Windows profile format, read and written by the
// rules of ini_text.h. Nothing is cached: every read reads the file, every
// write reads it, changes it in memory and replaces it atomically (0600).
// Reading never fails; a missing or unreadable file, section or key, or a
// value that is not a number where one is wanted, gives the default.
class TIniFile {
public:
    explicit TIniFile(const QString& fileName);

    // The full path.
    const QString& FileName() const { return m_fileName; }

    QString ReadString(const QString& section, const QString& key,
                       const QString& defaultValue) const;
    int ReadInteger(const QString& section, const QString& key, int defaultValue) const;
    // Stored as an integer; any value but 0 is true.
    bool ReadBool(const QString& section, const QString& key, bool defaultValue) const;

    // Each raises EIniFileException("Unable to write to <full path>") when the
    // file cannot be written or a name or value cannot be stored (see
    // SetIniValue); the file is then left as it was. A character that
    // Windows-1250 lacks is written into a value as '?'.
    void WriteString(const QString& section, const QString& key, const QString& value);
    void WriteInteger(const QString& section, const QString& key, int value);
    void WriteBool(const QString& section, const QString& key, bool value);
    // The keys in the given order with one replacement of the file; the result
    // is the same as that of WriteString for each in turn.
    void WriteStrings(const QString& section, const QList<TIniValue>& values);

private:
    QString m_fileName;
};

#include "ini_file.h"

#include "ini_text.h"

#include "table/cp1250.h"
#include "table/file_io.h"

#include <QFile>
#include <QFileInfo>

#include <filesystem>

namespace {

std::string LocalPath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

// The current bytes; empty for a file that does not exist yet (nor the file
// a link leads to). Anything else that cannot be read raises, so a write
// never replaces a file it did not see.
std::string ContentBeforeWrite(const std::string& path)
{
    std::error_code error;
    if (std::filesystem::status(path, error).type() == std::filesystem::file_type::not_found)
        return {};
    return ReadWholeFile(path);
}

}  // namespace

TIniFile::TIniFile(const QString& fileName) : m_fileName(QFileInfo(fileName).absoluteFilePath()) { }

QString TIniFile::ReadString(const QString& section, const QString& key,
                             const QString& defaultValue) const
{
    try {
        const auto value = FindIniValue(ReadWholeFile(LocalPath(m_fileName)), section, key);
        return value ? QString::fromStdString(Cp1250ToUtf8(*value)) : defaultValue;
    } catch (const std::exception&) {
        return defaultValue;
    }
}

int TIniFile::ReadInteger(const QString& section, const QString& key, int defaultValue) const
{
    try {
        const auto value = FindIniValue(ReadWholeFile(LocalPath(m_fileName)), section, key);
        if (!value)
            return defaultValue;
        return ParseIniInteger(*value).value_or(defaultValue);
    } catch (const std::exception&) {
        return defaultValue;
    }
}

bool TIniFile::ReadBool(const QString& section, const QString& key, bool defaultValue) const
{
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void TIniFile::WriteString(const QString& section, const QString& key, const QString& value)
{
    WriteStrings(section, {{key, value}});
}

void TIniFile::WriteInteger(const QString& section, const QString& key, int value)
{
    WriteString(section, key, QString::number(value));
}

void TIniFile::WriteBool(const QString& section, const QString& key, bool value)
{
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void TIniFile::WriteStrings(const QString& section, const QList<TIniValue>& values)
{
    bool written = false;
    try {
        // A linked settings file is written through its link, which stays.
        const std::string path = LocalPath(m_fileName);
        std::string content = ContentBeforeWrite(path);
        bool allSet = true;
        for (const TIniValue& value : values)
            allSet = allSet && SetIniValue(content, section, value.Key,
                                           Utf8ToCp1250(value.Value.toStdString()));
        if (allSet) {
            WriteFileAtomically(path, content);
            written = true;
        }
    } catch (const std::exception&) {
        // Every cause is reported the same way, below.
    }
    if (!written)
        throw EIniFileException("Unable to write to " + m_fileName.toStdString());
}

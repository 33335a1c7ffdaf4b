// The table file's writes outside a text save: the debounced write after
// every change, the exit's write and the rescue copy when the file cannot
// take it.
#include "app/note_store.h"

#include "seged/clock.h"
#include "seged/error_report.h"
#include "seged/message_boxes.h"
#include "seged/private_folder.h"
#include "table/errors.h"
#include "table/file_io.h"
#include "table/mem_table.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTimer>

#include <cstdio>
#include <exception>
#include <string>

namespace {
QString RescueSuffix()
{
    return QStringLiteral(".unsaved-");
}

void Warn(const QString& text)
{
    std::fprintf(stderr, "Vikora: %s\n", text.toLocal8Bit().constData());
}
}  // namespace

bool TNoteStore::WritePending() const
{
    return m_writeTimer->isActive();
}

void TNoteStore::ScheduleWrite()
{
    m_unwritten = true;
    // Counted from the first change not yet written, not restarted by the
    // ones after it: changes coming without a pause never postpone the
    // write, so each reaches the disk within the delay; a burst is still
    // one write.
    if (!m_writeTimer->isActive())
        m_writeTimer->start();
}

void TNoteStore::WriteInBackground()
{
    if (!m_unwritten || !Tbl.Active())
        return;
    // A properties dialog holding the table writes when it closes (its
    // changes are half applied until then); a report of an earlier failure
    // still open waits for its OK.
    if (m_held)
        return;
    if (m_reporting) {
        m_writeTimer->start();
        return;
    }
    const QString reported = m_lastWriteFailure;
    try {
        WriteTableFile();
    } catch (const std::exception& error) {
        // Retried at the next change and at the exit; reported only when
        // the cause is new, and nothing on disk has been touched.
        const QString cause = QString::fromUtf8(error.what());
        if (cause == reported)
            return;
        m_reporting = true;
        ShowErrorReport(cause, nullptr);
        m_reporting = false;
    } catch (...) {
        // Only the table's own errors (std::exception) can come from a write.
    }
}

void TNoteStore::WriteAtExit(bool sessionEnds)
{
    m_writeTimer->stop();
    if (!sessionEnds) {
        if (!m_tableFileUnreadable) {
            WriteTableFile();
            return;
        }
        if (m_held)
            LetGoOfTable();
        if (m_unwritten)
            WriteRescueCopy();
        return;
    }
    try {
        WriteTableFile();
        return;
    } catch (const std::exception& error) {
        Warn(QString::fromUtf8(error.what()));
    }
    if (!m_unwritten)
        return;  // the file already holds everything the user did
    try {
        Warn(QStringLiteral("the changes were written to %1").arg(WriteRescueCopy()));
    } catch (const std::exception& error) {
        Warn(QString::fromUtf8(error.what()));
    }
}

QString TNoteStore::RescueFolder()
{
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    return cache.isEmpty() ? QString() : cache + QStringLiteral("/Vikora");
}

QString TNoteStore::WriteRescueCopy()
{
    if (m_held)
        LetGoOfTable();
    const QString name = QFileInfo(m_tableFile).fileName() + RescueSuffix() +
                         CurrentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    std::string failure = "Cannot create a rescue copy of \"" + m_tableFile.toStdString() + "\"";
    for (const QString& folder : {QFileInfo(m_tableFile).absolutePath(), RescueFolder()}) {
        if (folder.isEmpty())
            continue;
        try {
            EnsurePrivateFolder(folder);
            QString path = folder + QLatin1Char('/') + name;
            for (int n = 2; QFileInfo::exists(path); ++n)
                path = folder + QLatin1Char('/') + name + QStringLiteral("-%1").arg(n);
            // A new name, private to the user; nothing existing is replaced.
            Tbl.WriteToFile(path.toStdString(), TAtomicWriteOptions{});
            m_unwritten = false;
            return path;
        } catch (const std::exception& error) {
            failure = error.what();
        }
    }
    throw EFCreateError(failure);
}

QStringList TNoteStore::RescueCopies() const
{
    const QFileInfo table(m_tableFile);
    const QStringList pattern{table.fileName() + RescueSuffix() + QLatin1Char('*')};
    QStringList found;
    for (const QString& folder : {table.absolutePath(), RescueFolder()}) {
        if (folder.isEmpty())
            continue;
        for (const QFileInfo& copy : QDir(folder).entryInfoList(pattern, QDir::Files, QDir::Name))
            if (!copy.fileName().endsWith(QStringLiteral(".tmp")))
                found.append(copy.absoluteFilePath());
    }
    found.removeDuplicates();
    return found;
}

void TNoteStore::TellAboutRescueCopies()
{
    const QStringList copies = RescueCopies();
    if (copies.isEmpty())
        return;
    ShowInfo(QStringLiteral("A jegyzetek változásait egy korábbi kilépéskor nem lehetett a "
                            "jegyzetfájlba (%1) írni, ezért ezeken a neveken őriztük meg őket:\n%2")
                 .arg(m_tableFile, copies.join(QLatin1Char('\n'))),
             m_errorOwner);
}

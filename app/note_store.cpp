#include "app/note_store.h"

#include "notes/tulajdonsag.h"
#include "record/notes_table.h"
#include "seged/clock.h"
#include "seged/globals.h"
#include "seged/message_boxes.h"
#include "seged/note_font.h"
#include "seged/table_values.h"
#include "table/file_io.h"
#include "table/mem_table.h"

#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include <exception>

namespace {
std::string Utf8(const QString& text)
{
    return text.toStdString();
}
}  // namespace

TNoteStore::TNoteStore(TqorMemTable& table, QString tableFile, TOpenNoteWindow openNoteWindow,
                       QWidget* errorOwner)
    : Tbl(table),
      m_tableFile(std::move(tableFile)),
      m_openNoteWindow(std::move(openNoteWindow)),
      m_errorOwner(errorOwner),
      m_writeTimer(std::make_unique<QTimer>())
{
    m_writeTimer->setSingleShot(true);
    m_writeTimer->setInterval(DefaultWriteDelay);
    QObject::connect(m_writeTimer.get(), &QTimer::timeout, m_writeTimer.get(),
                     [this] { WriteInBackground(); });
}

TNoteStore::~TNoteStore() = default;

void TNoteStore::SetWriteDelay(int milliseconds)
{
    m_writeTimer->setInterval(milliseconds);
}

void TNoteStore::aUjExecute()
{
    if (Waits([this] { aUjExecute(); }))
        return;
    TNote note;
    note.Place = TNotePlace{300, 75, 330, 100};
    note.Color = Beall.Color;
    note.Font = NoteFontOf(Beall.Font);
    note.Alignment = Beall.Alignment;
    note.Latszik = false;
    note.Tol = TDateTime{Today().value - 1};
    Tbl.Insert();
    try {
        WriteNote(Tbl, note);
        Tbl.Post();
    } catch (...) {
        // No half-made note may stay pending and be posted by the next search.
        Tbl.Cancel();
        throw;
    }
    ScheduleWrite();
    note.Az = ValueToInt(Tbl.GetValue(NoteField::az));
    if (m_openNoteWindow)
        m_openNoteWindow(note, true);
}

void TNoteStore::LoadNotes()
{
    Tbl.Open();
    const std::string path = m_tableFile.toStdString();
    RemoveStaleTempFiles(path);
    m_loaded = true;
    if (QFileInfo::exists(m_tableFile) || QFileInfo(m_tableFile).isSymLink()) {
        try {
            Tbl.ReadFromFile(path);
        } catch (...) {
            // A regular file that cannot even be opened (no read permission)
            // cannot be kept aside either: it is left alone for good.
            QFile probe(m_tableFile);
            if (QFileInfo(m_tableFile).isFile() && !probe.open(QIODevice::ReadOnly))
                m_tableFileUnreadable = true;
            else
                m_tableFileDamaged = true;
            // Definitions that could not be read leave the table closed and
            // without the note fields. The program goes on with an empty
            // table, so that new notes and the exit sequence still work; the
            // file itself is kept aside before the first write.
            if (!Tbl.Active()) {
                Tbl.ClearFields();
                DefineNoteFields(Tbl);
                Tbl.Open();
            }
            throw;
        }
    }
    try {
        while (!Tbl.AtEnd()) {
            OpenNoteIfDue(ValueToInt(Tbl.GetValue(NoteField::az)));
            Tbl.MoveNext();
        }
    } catch (...) {
        // A record that cannot be opened makes the start-up stop with an
        // error as well: the file did not read cleanly either, and is kept
        // before what was read replaces it.
        m_tableFileDamaged = true;
        throw;
    }
    Tbl.MoveFirst();
}

void TNoteStore::OpenNoteIfDue(int az)
{
    const TDateTime t = NullToDate(Tbl.GetValue(NoteField::tol), TDateTime{0});
    if (Today().value < t.value)
        return;

    // The caller stands on the note; only when it does not is the note
    // searched for. (A file from elsewhere may hold two notes with the same
    // identifier; searching would then go back to the first one forever.)
    const TValue current = Tbl.GetValue(NoteField::az);
    if (IsNull(current) || ValueToInt(current) != az) {
        if (!Tbl.FindByValue(NoteField::az, az))
            return;
    }

    if (m_openNoteWindow)
        m_openNoteWindow(ReadNote(Tbl), false);
}

void TNoteStore::ChangeNote(int az, const std::function<void()>& setFields)
{
    if (!Tbl.FindByValue(NoteField::az, az))
        return;
    Tbl.Edit();
    try {
        setFields();
    } catch (...) {
        Tbl.Cancel();
        throw;
    }
    try {
        Tbl.Post();
    } catch (const std::exception&) {
        // The change is dropped so that the next search does not post it
        // behind the user's back.
        Tbl.Cancel();
        ShowError(QStringLiteral("Hiba az adat mentése közben"), m_errorOwner);
        return;
    }
    ScheduleWrite();
}

void TNoteStore::SaveNotePosition(int az, const TNotePlace& place)
{
    if (Waits([=, this] { SaveNotePosition(az, place); }))
        return;
    ChangeNote(az, [&] { WriteNotePlace(Tbl, place); });
}

void TNoteStore::SaveNoteText(int az, const QString& text)
{
    if (Waits([=, this] { SaveNoteText(az, text); }))
        return;
    ChangeNote(az, [&] { Tbl.SetValue(NoteField::szoveg, Utf8(text)); });
    WriteTableFile();
}

void TNoteStore::KeepNoteText(int az, const QString& text)
{
    if (Waits([=, this] { KeepNoteText(az, text); }))
        return;
    ChangeNote(az, [&] { Tbl.SetValue(NoteField::szoveg, Utf8(text)); });
}

void TNoteStore::SaveNoteFlagAndDate(int az, bool latszik, TDateTime tol)
{
    if (Waits([=, this] { SaveNoteFlagAndDate(az, latszik, tol); }))
        return;
    ChangeNote(az, [&] {
        Tbl.SetValue(NoteField::latszik, latszik);
        Tbl.SetValue(NoteField::tol, tol);
    });
}

void TNoteStore::DeleteNote(int az)
{
    if (Waits([=, this] { DeleteNote(az); }))
        return;
    if (!Tbl.FindByValue(NoteField::az, az))
        return;
    Tbl.Delete();
    ScheduleWrite();
}

void TNoteStore::SaveNoteFont(int az, const TFontSpec& font)
{
    if (Waits([=, this] { SaveNoteFont(az, font); }))
        return;
    ChangeNote(az, [&] { WriteNoteFont(Tbl, NoteFontOf(font)); });
}

void TNoteStore::SaveNoteColor(int az, std::int32_t color)
{
    if (Waits([=, this] { SaveNoteColor(az, color); }))
        return;
    ChangeNote(az, [&] { Tbl.SetValue(NoteField::szin, color); });
}

void TNoteStore::SaveNoteAlignment(int az, int alignment)
{
    if (Waits([=, this] { SaveNoteAlignment(az, alignment); }))
        return;
    ChangeNote(az, [&] { Tbl.SetValue(NoteField::igazit, alignment); });
}

void TNoteStore::KeepDamagedTableFile()
{
    const QFileInfo info(m_tableFile);
    if (!info.isFile()) {
        // Nothing readable to keep (a folder or a device stood there).
        m_tableFileDamaged = false;
        return;
    }
    const QString stamp = CurrentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString kept = m_tableFile + QStringLiteral(".damaged-") + stamp;
    for (int n = 2; QFileInfo::exists(kept); ++n)
        kept = m_tableFile + QStringLiteral(".damaged-%1-%2").arg(stamp).arg(n);
    QFile original(m_tableFile);
    if (!original.copy(kept)) {
        // Writing over the only copy of the user's notes is not an option.
        throw EFCreateError("Cannot create file \"" + kept.toStdString() + "\". " +
                            original.errorString().toStdString());
    }
    QFile::setPermissions(kept, QFile::ReadOwner | QFile::WriteOwner);
    m_tableFileDamaged = false;
    ShowInfo(QStringLiteral("A jegyzetfájl (%1) nem volt hibátlanul beolvasható, ezért az "
                            "eredetijét megőriztük ezen a néven:\n%2")
                 .arg(m_tableFile, kept),
             m_errorOwner);
}

void TNoteStore::WriteTableFile()
{
    if (m_held)
        LetGoOfTable();
    if (!m_loaded)
        return;  // nothing read yet, so nothing changed: the file stays
    try {
        if (m_tableFileUnreadable)
            throw EFCreateError("Cannot write file \"" + m_tableFile.toStdString() +
                                "\": it could not be read, so it is not written over");
        EnsureDataFolder();
        if (m_tableFileDamaged)
            KeepDamagedTableFile();
        TAtomicWriteOptions options;
        options.keepBackup = true;
        Tbl.WriteToFile(m_tableFile.toStdString(), options);
    } catch (const std::exception& error) {
        m_lastWriteFailure = QString::fromUtf8(error.what());
        throw;
    }
    m_writeTimer->stop();
    m_unwritten = false;
    m_lastWriteFailure.clear();
}

bool TNoteStore::Waits(std::function<void()> change)
{
    if (!m_held)
        return false;
    m_waiting.push_back(std::move(change));
    return true;
}

std::optional<TNoteProperties> TNoteStore::EditProperties(TDataSource& source, int az,
                                                          std::function<void()> showHelp)
{
    if (m_held)
        return std::nullopt;
    m_held = true;
    TPropertiesCall call;
    call.ShowHelp = std::move(showHelp);
    call.Holding = [this](Tfrm_Tulajdonsag* dialog) { m_holder = dialog; };
    std::optional<TNoteProperties> chosen;
    try {
        chosen = EditNoteProperties(source, az, call);
    } catch (...) {
        LetGoOfTable();
        throw;
    }
    LetGoOfTable();
    // The dialog's own edits of the record and the changes that waited for
    // it reach the file like any other change.
    ScheduleWrite();
    return chosen;
}

void TNoteStore::LetGoOfTable()
{
    if (!m_held)
        return;
    // Still open only when the program ends under it: its edit is dropped
    // as its close box would.
    if (m_holder)
        m_holder->Abandon();
    m_holder = nullptr;
    m_held = false;
    ApplyWaitingChanges();
}

void TNoteStore::ApplyWaitingChanges()
{
    // Every waiting change is tried, also after one has failed; the first
    // failure is reported afterwards.
    std::exception_ptr failure;
    while (!m_held && !m_waiting.empty()) {
        const std::function<void()> change = std::move(m_waiting.front());
        m_waiting.pop_front();
        try {
            change();
        } catch (...) {
            if (!failure)
                failure = std::current_exception();
        }
    }
    if (failure)
        std::rethrow_exception(failure);
}

#include "app/note_store.h"
#include "record/notes_table.h"
#include "seged/beall.h"
#include "seged/clock.h"
#include "seged/globals.h"
#include "seged/message_boxes.h"
#include "seged/note_font.h"
#include "table/csv_format.h"
#include "table/datetime_text.h"
#include "table/mem_table.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

namespace {
struct OpenedWindow {
    TNote note;
    bool isNew;
};

const QDate TodayDate(2026, 12, 10);

double DayValue(const QDate& date, int hour = 0)
{
    return EncodeDateTime(date.year(), date.month(), date.day(), hour);
}

unsigned Mode(const QString& path)
{
    struct stat info { };
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 0777 : 0;
}

QByteArray ReadBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A linked control whose pending value cannot be written: every post fails.
class FailingLink : public TDataLink {
public:
    void StateChanged() override
    {
        if (DataSet() && DataSet()->State() == dsEdit && !IsModified())
            Modified();
    }
    void UpdateData() override { throw EDatabaseError("the control refused its value"); }
};
}  // namespace

class TestNoteStore : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void newNoteGetsDefaultsAndOpensInEditMode();
    void newNotesAreNumberedAndNotWritten();
    void loadOpensOnlyDueNotes();
    void loadWithoutFileOpensNothing();
    void changesReachOnlyTheLocatedNote();
    void unknownIdentifierChangesNothing();
    void longFontNameIsCut();
    void textSaveWritesFileAndDeletionWaitsForIt();
    void failedPostIsReportedAndDropped();
    void damagedFileIsKeptBeforeFirstWrite_data();
    void damagedFileIsKeptBeforeFirstWrite();
    void duplicateIdentifiersDoNotHangStartUp();
    void changeReachesTheFileAfterTheDelay_data();
    void changeReachesTheFileAfterTheDelay();
    void burstOfChangesIsOneWrite();
    void changesWithoutAPauseDoNotPostponeTheWrite();
    void failingBackgroundWriteIsReportedOncePerCause();
    void sessionEndWritesChangesToARescueCopy_data();
    void sessionEndWritesChangesToARescueCopy();
    void unchangedNotesNeedNoRescueCopy();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<TqorMemTable> m_table;
    TqorCSVStreamFormat m_format;
    std::unique_ptr<TNoteStore> m_store;
    std::vector<OpenedWindow> m_opened;
    std::vector<TMessageBoxRequest> m_boxes;

    QString NotesFile() const { return DataFolder + QStringLiteral("/Vikora.csv"); }
    void WriteNotesFile(const QByteArray& bytes);
    void MakeStore();
    // What the exit would write now.
    QByteArray TableBytes();
};

void TestNoteStore::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    qputenv("HOME", m_dir->path().toUtf8());
    qputenv("XDG_DATA_HOME", (m_dir->path() + "/data").toUtf8());
    qputenv("XDG_CACHE_HOME", (m_dir->path() + "/cache").toUtf8());
    ResolveGlobals(m_dir->path() + "/bin/vikora", QRect(0, 0, 1024, 768));
    QCOMPARE(DataFolder, m_dir->path() + "/data/Vikora");
    SetClockForTests([] { return QDateTime(TodayDate, QTime(10, 30)); });
    m_boxes.clear();
    SetMessageBoxAnswerer([this](const TMessageBoxRequest& r) {
        m_boxes.push_back(r);
        return QMessageBox::Ok;
    });
    Beall = TBeall{};
    m_opened.clear();
    MakeStore();
}

void TestNoteStore::MakeStore()
{
    m_table = std::make_unique<TqorMemTable>("Tbl");
    DefineNoteFields(*m_table);
    m_table->DefaultFormat = &m_format;
    m_store =
        std::make_unique<TNoteStore>(*m_table, NotesFile(), [this](const TNote& note, bool isNew) {
            m_opened.push_back({note, isNew});
        });
}

void TestNoteStore::cleanup()
{
    SetClockForTests({});
    SetMessageBoxAnswerer({});
    m_store.reset();
    m_table.reset();
}

void TestNoteStore::WriteNotesFile(const QByteArray& bytes)
{
    QDir().mkpath(DataFolder);
    QFile f(NotesFile());
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

void TestNoteStore::newNoteGetsDefaultsAndOpensInEditMode()
{
    Beall.Color = 0x0000FF00;
    Beall.Alignment = 1;
    Beall.Font = TFontSpec{QStringLiteral("Liberation Sans"), 12, 255, true, false, true};
    m_store->LoadNotes();
    m_store->aUjExecute();

    QCOMPARE(m_opened.size(), size_t(1));
    const OpenedWindow& w = m_opened[0];
    QVERIFY(w.isNew);
    QCOMPARE(w.note.Az, 0);
    QCOMPARE(w.note.Place, (TNotePlace{300, 75, 330, 100}));
    QCOMPARE(w.note.Color, 0x0000FF00);
    QCOMPARE(FontSpecOf(w.note.Font), Beall.Font);
    QCOMPARE(w.note.Text, std::string());
    QCOMPARE(w.note.Alignment, 1);
    QCOMPARE(w.note.Latszik, false);
    QCOMPARE(w.note.Tol.value, DayValue(TodayDate.addDays(-1)));

    QCOMPARE(m_table->GetValue(NoteField::fontname), TValue{std::string("Liberation Sans")});
    QCOMPARE(m_table->GetValue(NoteField::fontsize), TValue{12});
    QCOMPARE(m_table->GetValue(NoteField::fontcolor), TValue{255});
    QCOMPARE(m_table->GetValue(NoteField::isbold), TValue{true});
    QCOMPARE(m_table->GetValue(NoteField::isitalic), TValue{false});
    QCOMPARE(m_table->GetValue(NoteField::isunderline), TValue{true});
    QCOMPARE(m_table->GetValue(NoteField::igazit), TValue{1});
    QVERIFY(IsNull(m_table->GetValue(NoteField::szoveg)));
    QVERIFY(IsNull(m_table->GetValue(NoteField::kep)));
    QVERIFY(IsNull(m_table->GetValue(NoteField::figyelmeztet)));
}

void TestNoteStore::newNotesAreNumberedAndNotWritten()
{
    m_store->LoadNotes();
    m_store->aUjExecute();
    m_store->aUjExecute();
    QCOMPARE(m_opened.size(), size_t(2));
    QCOMPARE(m_opened[1].note.Az, 1);
    // The second note was inserted before the first one, the current record.
    m_table->MoveFirst();
    QCOMPARE(m_table->GetValue(NoteField::az), TValue{1});
    QVERIFY(!QFile::exists(NotesFile()));
}

void TestNoteStore::loadOpensOnlyDueNotes()
{
    // Three notes: due yesterday, due today at 00:00, and today at 08:00.
    m_store->LoadNotes();
    for (int i = 0; i < 3; ++i)
        m_store->aUjExecute();
    m_store->SaveNoteFlagAndDate(0, false, TDateTime{DayValue(TodayDate, 8)});
    m_store->SaveNoteFlagAndDate(1, true, TDateTime{DayValue(TodayDate)});
    m_store->SaveNoteText(2, QStringLiteral("Bevásárlás\r\n100% tej"));

    MakeStore();
    m_opened.clear();
    m_store->LoadNotes();
    QCOMPARE(m_opened.size(), size_t(2));
    QCOMPARE(m_opened[0].note.Az, 2);  // file order: the newest note was inserted first
    QCOMPARE(QString::fromStdString(m_opened[0].note.Text),
             QStringLiteral("Bevásárlás\r\n100% tej"));
    QVERIFY(!m_opened[0].isNew);
    QCOMPARE(m_opened[1].note.Az, 1);
    QCOMPARE(m_opened[1].note.Latszik, true);
    QCOMPARE(m_table->RecordNumber(), 1);

    // The next day the 08:00 note is due as well.
    SetClockForTests([] { return QDateTime(TodayDate.addDays(1), QTime(0, 0)); });
    MakeStore();
    m_opened.clear();
    m_store->LoadNotes();
    QCOMPARE(m_opened.size(), size_t(3));
}

void TestNoteStore::loadWithoutFileOpensNothing()
{
    m_store->LoadNotes();
    QVERIFY(m_table->Active());
    QCOMPARE(m_table->CountRecords(), 0);
    QVERIFY(m_opened.empty());
    QVERIFY(!QFileInfo::exists(DataFolder));
    m_store->WriteTableFile();
    QVERIFY(QFile::exists(NotesFile()));
    QCOMPARE(QFileInfo(DataFolder).permissions() & (QFile::ReadOther | QFile::ReadGroup),
             QFile::Permissions());
}

void TestNoteStore::changesReachOnlyTheLocatedNote()
{
    m_store->LoadNotes();
    m_store->aUjExecute();
    m_store->aUjExecute();
    m_store->SaveNotePosition(0, TNotePlace{10, 20, 200, 150});
    m_store->SaveNoteColor(0, 0x00123456);
    m_store->SaveNoteAlignment(0, 0);
    m_store->SaveNoteFont(0, TFontSpec{QStringLiteral("Arial"), 14, 0x0000FF, false, true, false});

    QVERIFY(m_table->FindByValue(NoteField::az, 0));
    QCOMPARE(m_table->GetValue(NoteField::left), TValue{10});
    QCOMPARE(m_table->GetValue(NoteField::top), TValue{20});
    QCOMPARE(m_table->GetValue(NoteField::width), TValue{200});
    QCOMPARE(m_table->GetValue(NoteField::height), TValue{150});
    QCOMPARE(m_table->GetValue(NoteField::szin), TValue{0x00123456});
    QCOMPARE(m_table->GetValue(NoteField::igazit), TValue{0});
    QCOMPARE(m_table->GetValue(NoteField::fontname), TValue{std::string("Arial")});
    QCOMPARE(m_table->GetValue(NoteField::isitalic), TValue{true});

    QVERIFY(m_table->FindByValue(NoteField::az, 1));
    QCOMPARE(m_table->GetValue(NoteField::left), TValue{300});
    QCOMPARE(m_table->GetValue(NoteField::szin), TValue{Beall.Color});
}

void TestNoteStore::unknownIdentifierChangesNothing()
{
    m_store->LoadNotes();
    m_store->aUjExecute();
    m_store->SaveNotePosition(42, TNotePlace{1, 2, 3, 4});
    m_store->SaveNoteColor(42, 7);
    m_store->DeleteNote(42);
    m_store->SaveNoteText(42, QStringLiteral("x"));
    QCOMPARE(m_table->CountRecords(), 1);
    QCOMPARE(m_table->GetValue(NoteField::left), TValue{300});
    QVERIFY(IsNull(m_table->GetValue(NoteField::szoveg)));
    QVERIFY(m_boxes.empty());
}

void TestNoteStore::longFontNameIsCut()
{
    m_store->LoadNotes();
    m_store->aUjExecute();
    const QString name =
        QStringLiteral("Árvíztűrő tükörfúrógép betűtípusa hosszú");  // 40 characters
    QCOMPARE(name.size(), 40);
    m_store->SaveNoteFont(0, TFontSpec{name, 10, 0, false, false, false});
    QCOMPARE(m_table->GetValue(NoteField::fontname), TValue{name.left(30).toStdString()});
}

void TestNoteStore::textSaveWritesFileAndDeletionWaitsForIt()
{
    m_store->LoadNotes();
    m_store->aUjExecute();
    m_store->aUjExecute();
    m_store->SaveNoteText(0, QStringLiteral("első"));
    const QByteArray written = ReadBytes(NotesFile());
    QVERIFY(written.contains("\"els\xF5\""));
    QVERIFY(written.contains("\"1\""));  // the note with az 1

    m_store->DeleteNote(1);
    QCOMPARE(ReadBytes(NotesFile()), written);  // still there until the next write

    m_store->SaveNoteText(0, QStringLiteral("második"));
    const QByteArray after = ReadBytes(NotesFile());
    QCOMPARE(after.count("\r\n"), written.count("\r\n") - 1);
    QCOMPARE(ReadBytes(NotesFile() + ".bak"), written);
}

void TestNoteStore::failedPostIsReportedAndDropped()
{
    m_store->LoadNotes();
    m_store->aUjExecute();
    TDataSource source(m_table.get());
    FailingLink link;
    link.SetDataSource(&source);

    m_store->SaveNoteColor(0, 1234);
    QCOMPARE(m_boxes.size(), size_t(1));
    QCOMPARE(m_boxes[0].Caption, QStringLiteral("Hiba"));
    QCOMPARE(m_boxes[0].Text, QStringLiteral("Hiba az adat mentése közben"));
    QCOMPARE(m_boxes[0].Icon, QMessageBox::Critical);
    QCOMPARE(m_table->State(), dsBrowse);
    QCOMPARE(m_table->GetValue(NoteField::szin), TValue{Beall.Color});

    // A failed text save still writes the table file.
    link.SetDataSource(nullptr);
    m_store->SaveNoteText(0, QStringLiteral("megmarad"));
    QVERIFY(ReadBytes(NotesFile()).contains("megmarad"));
}

void TestNoteStore::damagedFileIsKeptBeforeFirstWrite_data()
{
    QTest::addColumn<QByteArray>("damaged");
    // Two good records, then one whose integer cannot be read.
    QTest::newRow("unreadable value")
        << QByteArray("\"kep\",\"szin\",\"left\",\"az\",\"szoveg\",\r\n"
                      ",\"1\",\"10\",\"0\",\"egy\",\r\n"
                      ",\"2\",\"20\",\"1\",\"kett\xF5\",\r\n"
                      ",\"x\",\"30\",\"2\",\"h\xE1rom\",\r\n"
                      ",\"4\",\"40\",\"3\",\"n\xE9gy\",\r\n");
    // The file reads, but a record without an identifier cannot be opened.
    QTest::newRow("record that cannot be opened") << QByteArray(
        "\"az\",\"tol\",\"latszik\",\"isbold\",\"isitalic\",\"isunderline\",\"igazit\","
        "\"szoveg\",\r\n"
        "\"0\",\"01/01/2020\",\"False\",\"False\",\"False\",\"False\",\"0\",\"egy\",\r\n"
        ",\"01/01/2020\",\"False\",\"False\",\"False\",\"False\",\"0\",\"kett\xF5\",\r\n");
}

void TestNoteStore::damagedFileIsKeptBeforeFirstWrite()
{
    QFETCH(QByteArray, damaged);
    WriteNotesFile(damaged);
    QVERIFY_THROWS_EXCEPTION(std::exception, m_store->LoadNotes());
    QVERIFY(m_store->TableFileDamaged());

    m_store->WriteTableFile();
    QVERIFY(!m_store->TableFileDamaged());
    const QStringList kept = QDir(DataFolder).entryList({"Vikora.csv.damaged-*"});
    QCOMPARE(kept.size(), 1);
    QCOMPARE(kept[0], QStringLiteral("Vikora.csv.damaged-20261210-103000"));
    QCOMPARE(ReadBytes(DataFolder + "/" + kept[0]), damaged);
    QCOMPARE(m_boxes.size(), size_t(1));
    QVERIFY(m_boxes[0].Text.contains(DataFolder + "/" + kept[0]));

    // Later writes do not keep another copy.
    m_store->WriteTableFile();
    QCOMPARE(QDir(DataFolder).entryList({"Vikora.csv.damaged-*"}).size(), 1);
    QCOMPARE(m_boxes.size(), size_t(1));
}

void TestNoteStore::duplicateIdentifiersDoNotHangStartUp()
{
    WriteNotesFile("\"az\",\"tol\",\"latszik\",\"isbold\",\"isitalic\",\"isunderline\",\"igazit\","
                   "\"szoveg\",\r\n"
                   "\"5\",\"01/01/2020\",\"False\",\"False\",\"False\",\"False\",\"2\",\"a\",\r\n"
                   "\"5\",\"01/01/2020\",\"False\",\"False\",\"False\",\"False\",\"2\",\"b\",\r\n");
    m_store->LoadNotes();
    QCOMPARE(m_opened.size(), size_t(2));
    QCOMPARE(m_opened[0].note.Text, std::string("a"));
    QCOMPARE(m_opened[1].note.Text, std::string("b"));
}

QByteArray TestNoteStore::TableBytes()
{
    const QString copy = m_dir->path() + "/exit-would-write.csv";
    m_table->WriteToFile(copy.toStdString());
    return ReadBytes(copy);
}

void TestNoteStore::changeReachesTheFileAfterTheDelay_data()
{
    QTest::addColumn<QString>("change");
    for (const char* change :
         {"position", "important and date", "delete", "font", "colour", "alignment", "new note"})
        QTest::newRow(change) << QString::fromLatin1(change);
}

void TestNoteStore::changeReachesTheFileAfterTheDelay()
{
    QFETCH(QString, change);
    m_store->LoadNotes();
    m_store->aUjExecute();
    m_store->aUjExecute();
    m_store->SaveNoteText(0, QStringLiteral("első"));
    QVERIFY(!m_store->WritePending());  // the text save wrote at once
    const QByteArray before = ReadBytes(NotesFile());
    m_store->SetWriteDelay(20);

    if (change == "position")
        m_store->SaveNotePosition(1, TNotePlace{11, 12, 130, 140});
    else if (change == "important and date")
        m_store->SaveNoteFlagAndDate(1, true, TDateTime{DayValue(TodayDate.addDays(3))});
    else if (change == "delete")
        m_store->DeleteNote(1);
    else if (change == "font")
        m_store->SaveNoteFont(1, TFontSpec{QStringLiteral("Arial"), 14, 0xFF, true, false, true});
    else if (change == "colour")
        m_store->SaveNoteColor(1, 0x00ABCDEF);
    else if (change == "alignment")
        m_store->SaveNoteAlignment(1, (Beall.Alignment + 1) % 3);
    else if (change == "new note")
        m_store->aUjExecute();

    QVERIFY(m_store->HasUnwrittenChanges());
    QVERIFY(m_store->WritePending());
    QCOMPARE(ReadBytes(NotesFile()), before);
    QTRY_VERIFY(!m_store->WritePending());
    QVERIFY(!m_store->HasUnwrittenChanges());
    const QByteArray expected = TableBytes();
    QVERIFY(expected != before);
    QCOMPARE(ReadBytes(NotesFile()), expected);
    QCOMPARE(ReadBytes(NotesFile() + ".bak"), before);
    QVERIFY(m_boxes.empty());
}

void TestNoteStore::burstOfChangesIsOneWrite()
{
    m_store->LoadNotes();
    m_store->aUjExecute();
    m_store->SaveNoteText(0, QStringLiteral("első"));
    const QByteArray before = ReadBytes(NotesFile());
    m_store->SetWriteDelay(100);
    for (int left = 1; left <= 20; ++left)
        m_store->SaveNotePosition(0, TNotePlace{left, 10, 200, 100});
    m_store->SaveNoteColor(0, 0x00112233);
    QTRY_VERIFY(!m_store->WritePending());
    QCOMPARE(ReadBytes(NotesFile()), TableBytes());
    // One write: the backup is still the file from before the burst.
    QCOMPARE(ReadBytes(NotesFile() + ".bak"), before);
}

void TestNoteStore::changesWithoutAPauseDoNotPostponeTheWrite()
{
    m_store->LoadNotes();
    m_store->aUjExecute();
    m_store->SaveNoteText(0, QStringLiteral("első"));
    const QByteArray before = ReadBytes(NotesFile());
    m_store->SetWriteDelay(100);
    // A drag: a change every 10 ms, for five times the delay.
    QElapsedTimer dragging;
    dragging.start();
    bool writtenMeanwhile = false;
    for (int left = 0; dragging.elapsed() < 500; ++left) {
        m_store->SaveNotePosition(0, TNotePlace{left, 10, 200, 100});
        QTest::qWait(10);
        writtenMeanwhile = writtenMeanwhile || ReadBytes(NotesFile()) != before;
    }
    QVERIFY(writtenMeanwhile);
    QTRY_VERIFY(!m_store->HasUnwrittenChanges());
    QCOMPARE(ReadBytes(NotesFile()), TableBytes());
}

void TestNoteStore::failingBackgroundWriteIsReportedOncePerCause()
{
    m_store->LoadNotes();
    m_store->aUjExecute();
    m_store->SetWriteDelay(10);
    // A folder where the file belongs: every write fails the same way.
    QVERIFY(QDir().mkpath(NotesFile()));
    m_store->SaveNoteColor(0, 1);
    QTRY_COMPARE(m_boxes.size(), size_t(1));
    QCOMPARE(m_boxes[0].Caption, QStringLiteral("Vikora"));
    m_store->SaveNoteColor(0, 2);
    QTRY_VERIFY(!m_store->WritePending());
    QCOMPARE(m_boxes.size(), size_t(1));
    QVERIFY(m_store->HasUnwrittenChanges());
    QVERIFY(QFileInfo(NotesFile()).isDir());

    // Mended: the next change writes everything.
    QVERIFY(QDir(NotesFile()).removeRecursively());
    m_store->SaveNoteColor(0, 3);
    QTRY_VERIFY(!m_store->HasUnwrittenChanges());
    QCOMPARE(ReadBytes(NotesFile()), TableBytes());
    QCOMPARE(m_boxes.size(), size_t(1));
}

void TestNoteStore::sessionEndWritesChangesToARescueCopy_data()
{
    QTest::addColumn<bool>("folderIsAFile");
    QTest::newRow("notes file is a folder: beside it") << false;
    QTest::newRow("data folder is a file: in the cache folder") << true;
}

void TestNoteStore::sessionEndWritesChangesToARescueCopy()
{
    QFETCH(bool, folderIsAFile);
    const QString expectedFolder = folderIsAFile ? m_dir->path() + "/cache/Vikora" : DataFolder;
    if (folderIsAFile) {
        QDir().mkpath(QFileInfo(DataFolder).path());
        WriteNotesFile("");
        QVERIFY(QFile::rename(NotesFile(), m_dir->path() + "/moved"));
        QVERIFY(QDir(DataFolder).removeRecursively());
        QVERIFY(QFile::rename(m_dir->path() + "/moved", DataFolder));
        m_store->LoadNotes();
    } else {
        QVERIFY(QDir().mkpath(NotesFile()));
        QVERIFY_THROWS_EXCEPTION(std::exception, m_store->LoadNotes());
    }
    m_boxes.clear();
    m_store->aUjExecute();
    m_store->SaveNoteColor(0, 0x00445566);

    // An exit from the tray reports and may be retried: nothing is written.
    QVERIFY_THROWS_EXCEPTION(std::exception, m_store->WriteAtExit(false));
    QVERIFY(m_store->RescueCopies().isEmpty());

    m_store->WriteAtExit(true);
    const QStringList copies = m_store->RescueCopies();
    QCOMPARE(copies.size(), 1);
    QCOMPARE(copies[0], expectedFolder + "/Vikora.csv.unsaved-20261210-103000");
    QCOMPARE(ReadBytes(copies[0]), TableBytes());
    QCOMPARE(Mode(copies[0]), 0600u);
    if (folderIsAFile)
        QCOMPARE(Mode(expectedFolder), 0700u);
    QVERIFY(m_boxes.empty());

    // The next start tells where they are.
    MakeStore();
    m_store->TellAboutRescueCopies();
    QCOMPARE(m_boxes.size(), size_t(1));
    QCOMPARE(m_boxes[0].Caption, QStringLiteral("Üzenet"));
    QVERIFY(m_boxes[0].Text.contains(copies[0]));
}

void TestNoteStore::unchangedNotesNeedNoRescueCopy()
{
    m_store->LoadNotes();
    m_store->aUjExecute();
    m_store->SaveNoteText(0, QStringLiteral("megvan"));
    QVERIFY(QFile::remove(NotesFile()));
    QVERIFY(QDir().mkpath(NotesFile()));
    m_store->WriteAtExit(true);
    QVERIFY(m_store->RescueCopies().isEmpty());
    m_store->TellAboutRescueCopies();
    QVERIFY(m_boxes.empty());
}
QTEST_MAIN(TestNoteStore)
#include "tst_note_store.moc"

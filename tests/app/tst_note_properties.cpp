#include <QLabel>
#include <QPointer>
#include <QtTest>

#include "app/note_store.h"
#include "notes/ablak.h"
#include "notes/tulajdonsag.h"
#include "record/notes_table.h"
#include "seged/beall.h"
#include "seged/clock.h"
#include "seged/db_check_box.h"
#include "seged/db_memo.h"
#include "seged/globals.h"
#include "seged/message_boxes.h"
#include "store_for_windows.h"
#include "table/csv_format.h"
#include "table/data_link.h"
#include "table/datetime_text.h"
#include "table/mem_table.h"
#include "tests/file_test_support.h"
#include "tests/typing_test_support.h"

#include <QDateEdit>
#include <QFile>
#include <QTemporaryDir>

#include <memory>

// The properties dialog through the note store: while it holds its note,
// every other change to the notes table waits and is applied when it closes;
// the file is written only by the next text save or at exit; and the note
// window takes what the dialog stored.

namespace {
const QDate TodayDate(2026, 12, 10);  // the fixture's clock
}  // namespace

class TestNoteProperties : public TStoreWithWindowsTest {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void changesWaitWhileTheDialogHoldsItsNote_data();
    void changesWaitWhileTheDialogHoldsItsNote();
    void onlyOneDialogAtATime();
    void exitWhileTheDialogIsOpenKeepsEveryChange();
    void confirmedChangesReachTheFileWithTheNextTextSave();
    void debouncedWriteWaitsForTheDialog();
    void noteWindowTakesWhatWasStored_data();
    void noteWindowTakesWhatWasStored();

private:
    bool m_openWindows = false;
    QList<int> m_opened;

    std::optional<TNoteProperties> Edit(int az, const TPropertiesRunner& runner);
    TValue Field(int az, const char* name);
};

void TestNoteProperties::init()
{
    m_opened.clear();
    m_openWindows = false;
    QVERIFY(StartStore([this](const TNote& note, bool isNew) {
        m_opened << note.Az;
        if (m_openWindows)
            AddWindow(note, isNew);
    }));
    for (int i = 0; i < 3; ++i)
        m_store->aUjExecute();  // notes 0, 1 and 2
    m_store->SaveNoteText(1, QStringLiteral("második"));
    m_opened.clear();
}

void TestNoteProperties::cleanup()
{
    StopStore();
}

std::optional<TNoteProperties> TestNoteProperties::Edit(int az, const TPropertiesRunner& runner)
{
    SetPropertiesRunnerForTests(runner);
    return m_store->EditProperties(*m_source, az);
}

TValue TestNoteProperties::Field(int az, const char* name)
{
    for (int i = 0; i < m_table->CountRecords(); ++i) {
        const std::vector<TValue> values = m_table->RecordValues(i);
        if (values[m_table->GetField(NoteField::az).Index()] == TValue{az})
            return values[m_table->GetField(name).Index()];
    }
    return TValue{std::string("<no such note>")};
}

void TestNoteProperties::changesWaitWhileTheDialogHoldsItsNote_data()
{
    QTest::addColumn<bool>("confirm");
    QTest::newRow("confirmed") << true;
    QTest::newRow("cancelled") << false;
}

void TestNoteProperties::changesWaitWhileTheDialogHoldsItsNote()
{
    QFETCH(bool, confirm);
    const QByteArray fileBefore = ReadBytes(NotesFile());
    const auto result = Edit(1, [&](Tfrm_Tulajdonsag& d) {
        Type(d.DBMemo1, QStringLiteral("Új "));
        // What the tray menu and other note windows can still reach.
        m_store->SaveNotePosition(0, TNotePlace{5, 6, 7, 8});
        m_store->SaveNoteText(2, QStringLiteral("harmadik"));
        m_store->aUjExecute();
        m_store->SaveNoteColor(1, 0x00123456);
        m_store->DeleteNote(0);
        m_store->SaveNoteFlagAndDate(2, true, TDateTime{1.0});

        QVERIFY(m_store->TableHeld());
        QCOMPARE(m_table->State(), dsEdit);
        QCOMPARE(m_table->GetValue(NoteField::az), TValue{1});
        QCOMPARE(m_table->CountRecords(), 3);
        QCOMPARE(Field(0, NoteField::left), TValue{300});
        QCOMPARE(Field(2, NoteField::szoveg), TValue{});
        QVERIFY(m_opened.isEmpty());
        QCOMPARE(ReadBytes(NotesFile()), fileBefore);
        if (confirm)
            d.aElment->trigger();
        else
            d.aMegsem->trigger();
    });
    QCOMPARE(result.has_value(), confirm);
    QVERIFY(!m_store->TableHeld());
    QCOMPARE(m_table->State(), dsBrowse);

    // Applied afterwards, in the order they came.
    QCOMPARE(Field(0, NoteField::left), TValue{std::string("<no such note>")});
    QCOMPARE(Field(2, NoteField::szoveg), TValue{std::string("harmadik")});
    QCOMPARE(Field(2, NoteField::latszik), TValue{true});
    QCOMPARE(Field(1, NoteField::szin), TValue{0x00123456});
    QCOMPARE(Field(1, NoteField::szoveg), TValue{std::string(confirm ? "Új második" : "második")});
    QCOMPARE(m_opened, QList<int>{3});
    QCOMPARE(Field(3, NoteField::left), TValue{300});
    // The waiting text save wrote the file, with the dialog's text in it.
    const QByteArray written = ReadBytes(NotesFile());
    QVERIFY(written.contains("\"harmadik\""));
    QCOMPARE(written.contains("\"\xDAj m\xE1sodik\""), confirm);
}

void TestNoteProperties::debouncedWriteWaitsForTheDialog()
{
    const QByteArray fileBefore = ReadBytes(NotesFile());
    m_store->SetWriteDelay(10);
    m_store->SaveNoteColor(0, 0x00223344);
    QVERIFY(m_store->WritePending());
    const auto result = Edit(1, [&](Tfrm_Tulajdonsag& d) {
        Type(d.DBMemo1, QStringLiteral("félig "));
        m_store->SaveNotePosition(0, TNotePlace{5, 6, 7, 8});
        // The write comes due while the dialog's edit is half made: the
        // file keeps its bytes.
        QTRY_VERIFY(!m_store->WritePending());
        QCOMPARE(ReadBytes(NotesFile()), fileBefore);
        d.aElment->trigger();
    });
    QVERIFY(result.has_value());
    QTRY_VERIFY(!m_store->HasUnwrittenChanges());
    const QByteArray written = ReadBytes(NotesFile());
    QVERIFY(written.contains("\"f\xE9lig m\xE1sodik\""));
    QCOMPARE(Field(0, NoteField::left), TValue{5});
    QCOMPARE(Field(0, NoteField::szin), TValue{0x00223344});
    QVERIFY(written.contains("\"2241348\""));  // 0x00223344
}

void TestNoteProperties::onlyOneDialogAtATime()
{
    int dialogs = 0;
    const auto result = Edit(1, [&](Tfrm_Tulajdonsag& d) {
        ++dialogs;
        QVERIFY(!m_store->EditProperties(*m_source, 2).has_value());
        QCOMPARE(m_table->State(), dsEdit);
        QCOMPARE(m_table->GetValue(NoteField::az), TValue{1});
        d.aElment->trigger();
    });
    QCOMPARE(dialogs, 1);
    QVERIFY(result.has_value());
}

void TestNoteProperties::exitWhileTheDialogIsOpenKeepsEveryChange()
{
    QPointer<Tfrm_Tulajdonsag> dialog;
    const auto result = Edit(1, [&](Tfrm_Tulajdonsag& d) {
        dialog = &d;
        Type(d.DBMemo1, QStringLiteral("félig "));
        m_store->SaveNotePosition(0, TNotePlace{5, 6, 7, 8});
        // The exit sequence (or the end of the session) writes the table.
        m_store->WriteTableFile();
        QVERIFY(!d.isVisible());
        QVERIFY(d.Abandoned());
        QVERIFY(!m_store->TableHeld());
        QCOMPARE(m_table->State(), dsBrowse);
        // Typing into the closing dialog reaches nothing.
        Type(d.DBMemo1, QStringLiteral("x"));
        QCOMPARE(m_table->State(), dsBrowse);
    });
    QVERIFY(!result.has_value());
    QCOMPARE(Field(1, NoteField::szoveg), TValue{std::string("második")});
    QCOMPARE(Field(0, NoteField::left), TValue{5});
    const QByteArray written = ReadBytes(NotesFile());
    QVERIFY(written.contains("\"5\",\"6\""));
    QVERIFY(!written.contains("f\xE9lig"));
}

void TestNoteProperties::confirmedChangesReachTheFileWithTheNextTextSave()
{
    const QByteArray fileBefore = ReadBytes(NotesFile());
    QVERIFY(Edit(1, [&](Tfrm_Tulajdonsag& d) {
                Type(d.DBMemo1, QStringLiteral("Új "));
                d.aElment->trigger();
            }).has_value());
    QCOMPARE(ReadBytes(NotesFile()), fileBefore);
    m_store->SaveNoteText(0, QStringLiteral("első"));
    QVERIFY(ReadBytes(NotesFile()).contains("\"\xDAj m\xE1sodik\""));
}

void TestNoteProperties::noteWindowTakesWhatWasStored_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<bool>("stays");
    QTest::newRow("today") << TodayDate << true;
    QTest::newRow("tomorrow") << TodayDate.addDays(1) << false;
}

void TestNoteProperties::noteWindowTakesWhatWasStored()
{
    QFETCH(QDate, date);
    QFETCH(bool, stays);
    m_openWindows = true;
    m_table->MoveFirst();
    m_store->OpenNoteIfDue(0);
    QCOMPARE(m_windows.size(), 1);
    QPointer<Tfrm_Ablak> w = m_windows[0];
    QVERIFY(!w->Image1->isVisible());

    SetPropertiesRunnerForTests([&](Tfrm_Tulajdonsag& d) {
        Type(d.DBMemo1, QStringLiteral("Fontos dolog"));
        d.DBCheckBox1->click();
        d.DateTimePicker1->setDate(date);
        d.aElment->trigger();
    });
    w->aTulajdonsag->trigger();

    QCOMPARE(Field(0, NoteField::szoveg), TValue{std::string("Fontos dolog")});
    QCOMPARE(Field(0, NoteField::latszik), TValue{true});
    QCOMPARE(Field(0, NoteField::tol), TValue{DateToDateTime(date)});
    if (stays) {
        QVERIFY(!w.isNull());
        QCOMPARE(w->Label1->text(), QStringLiteral("Fontos dolog"));
        QVERIFY(w->latszik);
        QVERIFY(w->Image1->isVisible());
        QCOMPARE(w->tol.value, DateToDateTime(date).value);
    } else {
        QTRY_VERIFY(w.isNull());
    }
}

QTEST_MAIN(TestNoteProperties)
#include "tst_note_properties.moc"

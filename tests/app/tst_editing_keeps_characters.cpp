#include <QLabel>
#include <QPointer>
#include <QtTest>

#include "app/edits_at_exit.h"
#include "app/note_store.h"
#include "notes/ablak.h"
#include "notes/tulajdonsag.h"
#include "record/notes_table.h"
#include "seged/beall.h"
#include "seged/clock.h"
#include "seged/db_memo.h"
#include "seged/globals.h"
#include "seged/message_boxes.h"
#include "store_for_windows.h"
#include "table/cp1250.h"
#include "table/csv_format.h"
#include "table/data_link.h"
#include "table/mem_table.h"
#include "tests/file_test_support.h"
#include "tests/typing_test_support.h"

#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>

#include <memory>

// Text the user does not touch comes back exactly through the in-place
// editor (F2, Ctrl+Enter) and the properties dialog (OK): in the table and
// in the file's bytes.

namespace {
QString EveryWindows1250Character()
{
    QString text;
    for (int byte = 0; byte <= 0xFF; ++byte)
        text += QString::fromUcs4(std::u32string(1, Cp1250CodePoint(byte)).c_str(), 1);
    return text;
}

void AddTextRows()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("no-break space") << QStringLiteral("a\u00A0b\u00A0");
    QTest::newRow("line separator") << QStringLiteral("a\u2028b");
    QTest::newRow("paragraph separator") << QStringLiteral("a\u2029b\u2029");
    QTest::newRow("CR LF, lone CR, lone LF") << QStringLiteral("a\r\nb\rc\nd\n\re\r\r\n");
    QTest::newRow("frame marks") << QStringLiteral("\uFDD0a\uFDD1");
    QTest::newRow("every Windows-1250 character") << EveryWindows1250Character();
    QTest::newRow("escaped characters")
        << QStringLiteral("\u2028\u2029 ő ű \u20AC \U0001F600 \uFEFF \u202E \u200D e\u0301 "
                          "\uFFFC \uFFFD \uE000 \u2028");
    QTest::newRow("empty") << QString();
}

}  // namespace

class TestEditingKeepsCharacters : public TStoreWithWindowsTest {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void editorSaveKeepsTheText_data() { AddTextRows(); }
    void editorSaveKeepsTheText();
    void propertiesOkKeepsTheText_data() { AddTextRows(); }
    void propertiesOkKeepsTheText();
    void editsKeepTheUntouchedCharacters();
    void exitKeepsTextTypedInPlace_data();
    void exitKeepsTextTypedInPlace();

private:
    QString StoredText();
    Tfrm_Ablak* OpenWindow();
};

void TestEditingKeepsCharacters::init()
{
    QVERIFY(StartStore());
    m_store->aUjExecute();
    m_windows[0]->aMegsem->trigger();
}

void TestEditingKeepsCharacters::cleanup()
{
    StopStore();
}

QString TestEditingKeepsCharacters::StoredText()
{
    if (!m_table->FindByValue(NoteField::az, 0))
        return QStringLiteral("<no note>");
    const TValue value = m_table->GetValue(NoteField::szoveg);
    const auto* text = std::get_if<std::string>(&value);
    return text ? QString::fromStdString(*text) : QString();
}

// The note's window as the program opens it from the stored note.
Tfrm_Ablak* TestEditingKeepsCharacters::OpenWindow()
{
    delete m_windows.takeFirst().data();
    m_table->MoveFirst();
    m_store->OpenNoteIfDue(0);
    Tfrm_Ablak* window = m_windows.value(0);
    // Shortcuts reach only the active window.
    if (window && !QTest::qWaitForWindowActive(window))
        return nullptr;
    return window;
}

void TestEditingKeepsCharacters::editorSaveKeepsTheText()
{
    QFETCH(QString, text);
    m_store->SaveNoteText(0, text);
    const QByteArray before = ReadBytes(NotesFile());
    Tfrm_Ablak* w = OpenWindow();
    QVERIFY(w);

    QTest::keyClick(w, Qt::Key_F2);
    QVERIFY(w->EditMode());
    QTest::keyClick(w->Memo1, Qt::Key_Return, Qt::ControlModifier);
    QVERIFY(!w->EditMode());
    QCOMPARE(StoredText(), text);
    QCOMPARE(ReadBytes(NotesFile()), before);

    // Cancelling and saving again starts from the stored text, not from the
    // label's view of it.
    QTest::keyClick(w, Qt::Key_F2);
    QTest::keyClick(w->Memo1, Qt::Key_Escape);
    QTest::keyClick(w, Qt::Key_F2);
    QTest::keyClick(w->Memo1, Qt::Key_Return, Qt::ControlModifier);
    QCOMPARE(StoredText(), text);
    QCOMPARE(ReadBytes(NotesFile()), before);
}

void TestEditingKeepsCharacters::propertiesOkKeepsTheText()
{
    QFETCH(QString, text);
    m_store->SaveNoteText(0, text);
    const QByteArray before = ReadBytes(NotesFile());
    bool shown = false;
    SetPropertiesRunnerForTests([&](Tfrm_Tulajdonsag& d) {
        shown = true;
        d.aElment->trigger();
    });
    Tfrm_Ablak* w = OpenWindow();
    QVERIFY(w);
    w->aTulajdonsag->trigger();
    QVERIFY(shown);
    QCOMPARE(StoredText(), text);
    m_store->WriteTableFile();
    QCOMPARE(ReadBytes(NotesFile()), before);
    // The window took the dialog's text as it was: the next in-place save
    // writes it unchanged.
    QTest::keyClick(w, Qt::Key_F2);
    QTest::keyClick(w->Memo1, Qt::Key_Return, Qt::ControlModifier);
    QCOMPARE(StoredText(), text);
}

void TestEditingKeepsCharacters::editsKeepTheUntouchedCharacters()
{
    const QString text = QStringLiteral("a\u00A0b\u2028c\u2029d\re\nf");
    m_store->SaveNoteText(0, text);
    Tfrm_Ablak* w = OpenWindow();
    QTest::keyClick(w, Qt::Key_F2);
    QTest::keyClick(w->Memo1, Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClicks(w->Memo1, "x");
    QTest::keyClick(w->Memo1, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(w->Memo1, Qt::Key_Return);
    QTest::keyClicks(w->Memo1, "y");
    // Typing right after a stand-in gives what was typed.
    w->Memo1->moveCursor(QTextCursor::Start);
    for (int i = 0; i < 5; ++i)
        w->Memo1->moveCursor(QTextCursor::NextCharacter);
    QTest::keyClicks(w->Memo1, "z");
    QTest::keyClick(w->Memo1, Qt::Key_Return, Qt::ControlModifier);
    QCOMPARE(StoredText(), QStringLiteral("xa\u00A0b\u2028zc\u2029d\re\nf\r\ny"));
    // The table file writes CR as %c and LF as %n.
    QVERIFY(ReadBytes(NotesFile())
                .contains("xa\xA0"
                          "b%u2028;zc%u2029;d%ce%nf%c%ny"));

    // The properties dialog: typed text joins the untouched rest.
    SetPropertiesRunnerForTests([&](Tfrm_Tulajdonsag& d) {
        d.DBMemo1->moveCursor(QTextCursor::End);
        QTest::keyClicks(d.DBMemo1, "!");
        d.aElment->trigger();
    });
    w->aTulajdonsag->trigger();
    QCOMPARE(StoredText(), QStringLiteral("xa\u00A0b\u2028zc\u2029d\re\nf\r\ny!"));
}

void TestEditingKeepsCharacters::exitKeepsTextTypedInPlace_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("sessionEnds");
    QTest::newRow("session end") << QStringLiteral(" és még") << true;
    QTest::newRow("exit from the menu") << QStringLiteral(" és még") << false;
    QTest::newRow("nothing typed") << QString() << true;
}

// The exit takes what was typed since F2 to the file, as Ctrl+Enter would,
// and marks nothing as changed when nothing was typed.
void TestEditingKeepsCharacters::exitKeepsTextTypedInPlace()
{
    QFETCH(QString, typed);
    QFETCH(bool, sessionEnds);
    m_store->SaveNoteText(0, QStringLiteral("Bevásárlás"));
    Tfrm_Ablak* w = OpenWindow();
    QVERIFY(w);
    QTest::keyClick(w, Qt::Key_F2);
    QVERIFY(w->EditMode());
    w->Memo1->moveCursor(QTextCursor::End);
    Type(w->Memo1, typed);

    KeepTextsBeingEdited(*m_store);
    QCOMPARE(m_store->HasUnwrittenChanges(), !typed.isEmpty());
    m_store->WriteAtExit(sessionEnds);

    TqorMemTable written("Tbl");
    DefineNoteFields(written);
    written.DefaultFormat = &m_format;
    written.ReadFromFile(NotesFile().toStdString());
    QVERIFY(written.FindByValue(NoteField::az, 0));
    QCOMPARE(QString::fromStdString(std::get<std::string>(written.GetValue(NoteField::szoveg))),
             QStringLiteral("Bevásárlás") + typed);
    // An exit that fails leaves the note in edit mode; Escape now returns
    // to the text the table holds.
    QVERIFY(w->EditMode());
    QVERIFY(!w->UnsavedEdit());
    QTest::keyClick(w->Memo1, Qt::Key_Escape);
    QCOMPARE(StoredText(), QStringLiteral("Bevásárlás") + typed);
    QCOMPARE(w->Label1->text(), QStringLiteral("Bevásárlás") + typed);
}

QTEST_MAIN(TestEditingKeepsCharacters)
#include "tst_editing_keeps_characters.moc"

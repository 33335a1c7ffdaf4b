// The note window's commands: shortcuts in and out of edit mode, menus,
// the toolbar, the question before deleting, the dragging flag.
#include "note_test_support.h"

#include "seged/clock.h"
#include "seged/font_dialog.h"
#include "seged/message_boxes.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QToolBar>
#include <QtTest>

namespace {
QStringList Entries(const QList<QAction*>& actions)
{
    QStringList entries;
    for (const QAction* action : actions) {
        if (action->isSeparator())
            entries << QStringLiteral("-");
        else if (action->menu())
            entries << action->text() + " > " + Entries(action->menu()->actions()).join(", ");
        else
            entries << action->text();
    }
    return entries;
}
}  // namespace

class TestNoteCommands : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void shortcutWorksOnlyInItsState_data();
    void shortcutWorksOnlyInItsState();
    void deleteAnsweredNoKeepsTheNote();
    void clipboardOnlyInEditMode();
    void fontosTwiceShowsThenHidesTheMarker();
    void menusAndToolbarHoldTheirEntries();
    void propertiesAndHelpGoThroughTheHooks();
    void strikeOutOutlivesThePropertiesDialog();
    void draggingFlagRules_data();
    void draggingFlagRules();

private:
    Tfrm_Ablak* OpenActive(TNote v = SampleNote(), TNoteWindowHooks hooks = {});
    TRecordingStore m_store;
    QList<QPointer<Tfrm_Ablak>> m_windows;
    QList<TMessageBoxRequest> m_questions;
    QMessageBox::StandardButton m_answer = QMessageBox::Yes;
};

void TestNoteCommands::init()
{
    UseWorkArea();
    Beall = TBeall{};
    m_store.Calls.clear();
    m_questions.clear();
    m_answer = QMessageBox::Yes;
    SetMessageBoxAnswerer([this](const TMessageBoxRequest& request) {
        m_questions << request;
        return m_answer;
    });
}

void TestNoteCommands::cleanup()
{
    SetMessageBoxAnswerer({});
    for (const auto& window : m_windows)
        delete window.data();
    m_windows.clear();
}

Tfrm_Ablak* TestNoteCommands::OpenActive(TNote v, TNoteWindowHooks hooks)
{
    Tfrm_Ablak* window = Open(m_store, v, std::move(hooks));
    m_windows << window;
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window))
        qWarning("the note window did not become active");
    return window;
}

void TestNoteCommands::shortcutWorksOnlyInItsState_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<bool>("editing");
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<bool>("stillOpen");
    QTest::addColumn<bool>("editingAfter");
    const auto none = Qt::NoModifier;
    const auto ctrl = Qt::ControlModifier;
    QTest::newRow("F2 edits") << int(Qt::Key_F2) << Qt::KeyboardModifiers(none) << false
                              << QStringList{} << true << true;
    QTest::newRow("F2 while editing")
        << int(Qt::Key_F2) << Qt::KeyboardModifiers(none) << true << QStringList{} << true << true;
    QTest::newRow("F10 closes") << int(Qt::Key_F10) << Qt::KeyboardModifiers(none) << false
                                << QStringList{} << false << false;
    QTest::newRow("F10 while editing")
        << int(Qt::Key_F10) << Qt::KeyboardModifiers(none) << true << QStringList{} << true << true;
    QTest::newRow("Ctrl+Delete deletes") << int(Qt::Key_Delete) << Qt::KeyboardModifiers(ctrl)
                                         << false << QStringList{"delete 7"} << false << false;
    QTest::newRow("Ctrl+Delete while editing") << int(Qt::Key_Delete) << Qt::KeyboardModifiers(ctrl)
                                               << true << QStringList{} << true << true;
    QTest::newRow("Ctrl+Enter stores") << int(Qt::Key_Return) << Qt::KeyboardModifiers(ctrl) << true
                                       << QStringList{"text 7 Tej\\r\\nKenyér"} << true << false;
    QTest::newRow("Ctrl+Enter outside editing")
        << int(Qt::Key_Return) << Qt::KeyboardModifiers(ctrl) << false << QStringList{} << true
        << false;
    QTest::newRow("keypad Ctrl+Enter stores")
        << int(Qt::Key_Enter) << Qt::KeyboardModifiers(ctrl | Qt::KeypadModifier) << true
        << QStringList{"text 7 Tej\\r\\nKenyér"} << true << false;
    QTest::newRow("Esc abandons") << int(Qt::Key_Escape) << Qt::KeyboardModifiers(none) << true
                                  << QStringList{} << true << false;
    QTest::newRow("Ctrl+B while editing") << int(Qt::Key_B) << Qt::KeyboardModifiers(ctrl) << true
                                          << QStringList{"alignment 7 0"} << true << true;
    QTest::newRow("Ctrl+K while editing") << int(Qt::Key_K) << Qt::KeyboardModifiers(ctrl) << true
                                          << QStringList{"alignment 7 2"} << true << true;
    QTest::newRow("Ctrl+J") << int(Qt::Key_J) << Qt::KeyboardModifiers(ctrl) << false
                            << QStringList{"alignment 7 1"} << true << false;
    QTest::newRow("Ctrl+F while editing") << int(Qt::Key_F) << Qt::KeyboardModifiers(ctrl) << true
                                          << QStringList{"flag 7 1 46000"} << true << true;
}

void TestNoteCommands::shortcutWorksOnlyInItsState()
{
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(bool, editing);
    QFETCH(QStringList, calls);
    QFETCH(bool, stillOpen);
    QFETCH(bool, editingAfter);

    QPointer<Tfrm_Ablak> w = OpenActive();
    if (editing)
        w->aSzerkeszt->trigger();
    const int height = w->NoteGeometry().height();
    QWidget* target = editing ? static_cast<QWidget*>(w->Memo1) : w.data();
    QTest::keyClick(target, Qt::Key(key), modifiers);

    QCOMPARE(m_store.Calls, calls);
    if (!stillOpen) {
        QTRY_VERIFY(w.isNull());
        return;
    }
    QVERIFY(w->isVisible());
    QCOMPARE(w->EditMode(), editingAfter);
    QCOMPARE(w->NoteGeometry().height(), height + (editingAfter - editing) * 5);
    if (editingAfter)
        QCOMPARE(w->Memo1->toPlainText(), QStringLiteral("Tej\nKenyér"));
}

void TestNoteCommands::deleteAnsweredNoKeepsTheNote()
{
    m_answer = QMessageBox::No;
    QPointer<Tfrm_Ablak> w = OpenActive();
    QTest::keyClick(w, Qt::Key_Delete, Qt::ControlModifier);
    QCOMPARE(m_questions.size(), 1);
    QCOMPARE(m_questions[0].Text, QStringLiteral("Valóban töröljem az ablakot?"));
    QCOMPARE(m_questions[0].Caption, QStringLiteral("Megerősítés"));
    QCOMPARE(m_questions[0].Buttons, QMessageBox::Yes | QMessageBox::No);
    QCoreApplication::processEvents();
    QVERIFY(w);
    QVERIFY(w->isVisible());
    QVERIFY(m_store.Calls.isEmpty());
}

void TestNoteCommands::clipboardOnlyInEditMode()
{
    Tfrm_Ablak* w = OpenActive();
    QClipboard* clipboard = QApplication::clipboard();
    clipboard->setText(QStringLiteral("előtte"));
    QTest::keyClick(w, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(clipboard->text(), QStringLiteral("előtte"));

    w->aSzerkeszt->trigger();
    QTest::keyClick(w->Memo1, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(w->Memo1, Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(clipboard->text(), QStringLiteral("Tej\nKenyér"));
    QVERIFY(w->Memo1->toPlainText().isEmpty());
    QTest::keyClick(w->Memo1, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(w->Memo1, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(w->Memo1->toPlainText(), QStringLiteral("Tej\nKenyérTej\nKenyér"));
}

void TestNoteCommands::fontosTwiceShowsThenHidesTheMarker()
{
    Tfrm_Ablak* w = OpenActive();
    QVERIFY(!w->Image1->isVisible());
    QTest::keyClick(w, Qt::Key_F, Qt::ControlModifier);
    QVERIFY(w->latszik);
    QVERIFY(w->Image1->isVisible());
    w->aFontos->trigger();
    QVERIFY(!w->latszik);
    QVERIFY(!w->Image1->isVisible());
    QCOMPARE(m_store.Calls, (QStringList{"flag 7 1 46000", "flag 7 0 46000"}));
}

void TestNoteCommands::menusAndToolbarHoldTheirEntries()
{
    QAction newNote(QStringLiteral("Új ablak készítés"));
    TNoteWindowHooks hooks;
    hooks.NewNote = &newNote;
    Tfrm_Ablak* w = OpenActive(SampleNote(), hooks);
    QCOMPARE(Entries(w->EnsurePopupMenu1()->actions()),
             (QStringList{"Új ablak készítés", "Szerkeszt", "Töröl", "-", "Fontos...",
                          "Dátumtól...", "-", "Betűtípus", "Háttérszín", "Átméretez", "-",
                          "Igazítás > Balra igazít, Középre igazít, Jobbra igazít", "-",
                          "Tulajdonságok", "-", "Súgó", "-", "Bezár"}));
    QVERIFY(w->aAtmeretez->isCheckable());
    QCOMPARE(Entries(w->EnsurePopupMenu2()->actions()),
             (QStringList{"Kivág", "Másol", "Beilleszt", "Mindet kijelöl", "-", "Elment", "Mégsem",
                          "-", "Súgó"}));
    // The band: the formatting bar, then the bar of saving and cancelling.
    QList<QAction*> band = w->EnsureToolBar()->actions();
    band += w->SaveBar->actions();
    QCOMPARE(Entries(band),
             (QStringList{"Balra igazít", "Középre igazít", "Jobbra igazít", "-", "Betűtípus",
                          "Háttérszín", "-", "Fontos...", "-", "Elment", "Mégsem"}));
    for (QAction* action : band) {
        if (!action->isSeparator()) {
            QVERIFY2(!action->icon().isNull(), qPrintable(action->text()));
            QCOMPARE(action->toolTip(), action->text());
        }
    }
    QCOMPARE(w->aTulajdonsag->shortcuts().value(0), QKeySequence(Qt::ALT | Qt::Key_Return));
    QCOMPARE(w->aTorol->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Delete));
}

void TestNoteCommands::propertiesAndHelpGoThroughTheHooks()
{
    int helps = 0;
    TNoteProperties answer;
    answer.Color = 0x00FF0000;
    answer.Font = TFontSpec{QStringLiteral("Liberation Serif"), 14, 0x000000FF, true, false, false};
    answer.Tol = TDateTime{45000.0};
    answer.Latszik = true;
    answer.Alignment = 1;
    answer.Text = QStringLiteral("Új\r\nszöveg");
    bool confirm = false;
    TNoteWindowHooks hooks;
    hooks.ShowHelp = [&helps] { ++helps; };
    hooks.EditProperties = [&](int az, QWidget*) -> std::optional<TNoteProperties> {
        if (az != 7 || !confirm)
            return std::nullopt;
        return answer;
    };
    SetClockForTests([] { return QDateTime(QDate(2026, 1, 10), QTime(12, 0)); });
    QPointer<Tfrm_Ablak> w = OpenActive(SampleNote(), hooks);

    QTest::keyClick(w, Qt::Key_F1);
    w->aSugo->trigger();
    QCOMPARE(helps, 2);

    QTest::keyClick(w, Qt::Key_Return, Qt::AltModifier);
    QCOMPARE(w->Label1->text(), QStringLiteral("Tej\nKenyér"));

    confirm = true;
    QTest::keyClick(w, Qt::Key_Return, Qt::AltModifier);
    QCOMPARE(w->Label1->text(), QStringLiteral("Új\nszöveg"));
    QCOMPARE(w->Label1->alignment(), Qt::AlignRight | Qt::AlignVCenter);
    QCOMPARE(w->NoteColor(), 0x00FF0000);
    QCOMPARE(w->palette().color(QPalette::Window), QColor(0, 0, 255));
    QCOMPARE(w->Label1->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    QVERIFY(w->Label1->font().bold());
    QVERIFY(w->Image1->isVisible());
    QVERIFY(m_store.Calls.isEmpty());
    // The next "Fontos..." starts from what the dialog returned.
    w->aFontos->trigger();
    QCOMPARE(m_store.Calls, QStringList{"flag 7 0 45000"});

    // A date after today closes the window.
    answer.Tol = DateToDateTime(QDate(2026, 1, 11));
    w->aTulajdonsag->trigger();
    QTRY_VERIFY(w.isNull());
    SetClockForTests({});
}

void TestNoteCommands::strikeOutOutlivesThePropertiesDialog()
{
    TNoteProperties answer;
    answer.Color = 0x0080FFFF;
    answer.Font = TFontSpec{QStringLiteral("Liberation Serif"), 14, 0, true, false, false};
    answer.Tol = TDateTime{45000.0};
    answer.Text = QStringLiteral("Tej");
    TNoteWindowHooks hooks;
    hooks.EditProperties = [&](int, QWidget*) -> std::optional<TNoteProperties> { return answer; };
    Tfrm_Ablak* w = OpenActive(SampleNote(), hooks);
    SetChooseFontAnswererForTests([](const TFontChoice& shown) -> std::optional<TFontChoice> {
        return TFontChoice{shown.Font, true};
    });
    w->aBetutipus->trigger();
    SetChooseFontAnswererForTests({});
    QVERIFY(w->Label1->font().strikeOut());

    w->aTulajdonsag->trigger();
    QCOMPARE(w->Label1->font().family(), QStringLiteral("Liberation Serif"));
    QVERIFY(w->Label1->font().bold());
    QVERIFY(w->Label1->font().strikeOut());
}

void TestNoteCommands::draggingFlagRules_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("cleared");
    QTest::newRow("Fontos keeps it") << "aFontos" << false;
    QTest::newRow("alignment clears it") << "aBalra" << true;
    QTest::newRow("copy clears it outside editing") << "aMasol" << true;
    QTest::newRow("Elment clears it outside editing") << "aElment" << true;
    QTest::newRow("resize mode clears it") << "aAtmeretez" << true;
    QTest::newRow("help clears it") << "aSugo" << true;
}

void TestNoteCommands::draggingFlagRules()
{
    QFETCH(QString, action);
    QFETCH(bool, cleared);
    Tfrm_Ablak* w = OpenActive();
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(10, 10), QPointF(110, 110), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w->Label1, &press);
    QVERIFY(w->Dragging());
    w->findChild<QAction*>(action)->trigger();
    QCOMPARE(w->Dragging(), !cleared);
}

QTEST_MAIN(TestNoteCommands)
#include "tst_note_commands.moc"

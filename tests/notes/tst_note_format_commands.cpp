// The note window's commands that go through a dialog: font (F4), background
// colour (F5) and the visible-from date (Ctrl+D), answered in place of the
// dialogs.
#include "note_test_support.h"

#include "notes/datumbe.h"
#include "seged/clock.h"
#include "seged/colors.h"
#include "seged/font_dialog.h"

#include <QAction>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QtTest>

#include <optional>

namespace {
const QDate Day(2026, 3, 10);

TFontChoice Chosen(bool strikeOut)
{
    return TFontChoice{TFontSpec{QStringLiteral("DejaVu Serif"), 16, 0x000000FF, true, true, true},
                       strikeOut};
}
}  // namespace

class TestNoteFormatCommands : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void fontIsStoredAndShown_data();
    void fontIsStoredAndShown();
    void strikeOutIsKeptForTheNextDialogOnly();
    void fontCancelChangesNothing();
    void colorIsStoredAndKeyColorStays();
    void colorCancelChangesNothing();
    void dateStoredWithFlag_data();
    void dateStoredWithFlag();
    void dateCancelChangesNothing();

private:
    Tfrm_Ablak* OpenActive(TNote v = SampleNote());
    TRecordingStore m_store;
    QList<QPointer<Tfrm_Ablak>> m_windows;
};

void TestNoteFormatCommands::init()
{
    UseWorkArea();
    Beall = TBeall{};
    m_store.Calls.clear();
    SetClockForTests([] { return QDateTime(Day, QTime(15, 30)); });
}

void TestNoteFormatCommands::cleanup()
{
    SetChooseFontAnswererForTests({});
    SetChooseColorAnswererForTests({});
    SetAskDateAnswererForTests({});
    SetClockForTests({});
    for (const auto& window : m_windows)
        delete window.data();
    m_windows.clear();
}

Tfrm_Ablak* TestNoteFormatCommands::OpenActive(TNote v)
{
    Tfrm_Ablak* window = Open(m_store, v);
    m_windows << window;
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window))
        qWarning("the note window did not become active");
    return window;
}

void TestNoteFormatCommands::fontIsStoredAndShown_data()
{
    QTest::addColumn<bool>("editing");
    QTest::addColumn<bool>("strikeOut");
    QTest::newRow("plain") << false << false;
    QTest::newRow("struck out") << false << true;
    QTest::newRow("while editing, struck out") << true << true;
}

void TestNoteFormatCommands::fontIsStoredAndShown()
{
    QFETCH(bool, editing);
    QFETCH(bool, strikeOut);
    std::optional<TFontChoice> shown;
    SetChooseFontAnswererForTests([&](const TFontChoice& preset) {
        shown = preset;
        return std::optional<TFontChoice>(Chosen(strikeOut));
    });
    const TNote v = SampleNote();
    Tfrm_Ablak* w = OpenActive(v);
    if (editing)
        w->aSzerkeszt->trigger();
    QTest::keyClick(editing ? static_cast<QWidget*>(w->Memo1) : w, Qt::Key_F4);

    QVERIFY(shown);
    QCOMPARE(*shown, (TFontChoice{FontSpecOf(v.Font), false}));
    const TFontSpec stored = Chosen(false).Font;
    QCOMPARE(m_store.Calls, QStringList{"font 7 DejaVu Serif 16 255"});
    QCOMPARE(w->NoteFont(), stored);  // bold, italic and underline included
    QCOMPARE(w->EditMode(), editing);

    QList<QWidget*> parts{w->Label1};
    if (editing)
        parts << w->Memo1;
    for (QWidget* part : parts) {
        const QFont font = part->font();
        QCOMPARE(font.family(), stored.Name);
        QCOMPARE(font.pointSize(), 16);
        QVERIFY(font.bold() && font.italic() && font.underline());
        QCOMPARE(font.strikeOut(), strikeOut);
    }
    QCOMPARE(w->Label1->palette().color(QPalette::WindowText), ColorToQColor(0x000000FF));
    if (editing)
        QCOMPARE(w->Memo1->palette().color(QPalette::Text), ColorToQColor(0x000000FF));
}

void TestNoteFormatCommands::strikeOutIsKeptForTheNextDialogOnly()
{
    // The dialog starts from the font as shown, so a strike-out chosen before
    // is offered again; what is stored never carries it.
    QList<TFontChoice> shown;
    SetChooseFontAnswererForTests([&](const TFontChoice& preset) {
        shown << preset;
        return std::optional<TFontChoice>(Chosen(true));
    });
    Tfrm_Ablak* w = OpenActive();
    w->aBetutipus->trigger();
    w->aBetutipus->trigger();
    QCOMPARE(shown.size(), 2);
    QVERIFY(!shown[0].StrikeOut);
    QCOMPARE(shown[1], Chosen(true));
    QCOMPARE(m_store.Calls,
             (QStringList{"font 7 DejaVu Serif 16 255", "font 7 DejaVu Serif 16 255"}));
    QVERIFY(w->Label1->font().strikeOut());
}

void TestNoteFormatCommands::fontCancelChangesNothing()
{
    SetChooseFontAnswererForTests([](const TFontChoice&) { return std::optional<TFontChoice>(); });
    const TNote v = SampleNote();
    Tfrm_Ablak* w = OpenActive(v);
    const QFont before = w->Label1->font();
    const QColor textBefore = w->Label1->palette().color(QPalette::WindowText);
    QTest::keyClick(w, Qt::Key_F4);
    QVERIFY(m_store.Calls.isEmpty());
    QCOMPARE(w->NoteFont(), FontSpecOf(v.Font));
    QCOMPARE(w->Label1->font(), before);
    QCOMPARE(w->Label1->palette().color(QPalette::WindowText), textBefore);
}

void TestNoteFormatCommands::colorIsStoredAndKeyColorStays()
{
    Beall.UseTransparentColor = true;
    const std::int32_t blue = 0x00FF0000;
    std::optional<std::int32_t> shown;
    SetChooseColorAnswererForTests([&](std::int32_t preset, const QString&) {
        shown = preset;
        return std::optional<std::int32_t>(blue);
    });
    const TNote v = SampleNote();
    Tfrm_Ablak* w = OpenActive(v);
    const QColor key = w->KeyColor();
    QCOMPARE(key, ColorToQColor(v.Color));
    w->aSzerkeszt->trigger();
    QTest::keyClick(w->Memo1, Qt::Key_F5);

    QCOMPARE(shown, std::optional<std::int32_t>(v.Color));
    QCOMPARE(m_store.Calls, QStringList{QStringLiteral("color 7 %1").arg(blue)});
    QCOMPARE(w->NoteColor(), blue);
    QCOMPARE(w->KeyColor(), key);
    QVERIFY(w->ColorKeying());
    const QColor background = ColorToQColor(blue);
    QCOMPARE(w->palette().color(QPalette::Window), background);
    QCOMPARE(w->Label1->palette().color(QPalette::Window), background);
    QCOMPARE(w->Panel1->palette().color(QPalette::Window), background);
    QCOMPARE(w->Memo1->palette().color(QPalette::Base), background);
}

void TestNoteFormatCommands::colorCancelChangesNothing()
{
    SetChooseColorAnswererForTests(
        [](std::int32_t, const QString&) { return std::optional<std::int32_t>(); });
    const TNote v = SampleNote();
    Tfrm_Ablak* w = OpenActive(v);
    QTest::keyClick(w, Qt::Key_F5);
    QVERIFY(m_store.Calls.isEmpty());
    QCOMPARE(w->NoteColor(), v.Color);
    QCOMPARE(w->palette().color(QPalette::Window), ColorToQColor(v.Color));
}

void TestNoteFormatCommands::dateStoredWithFlag_data()
{
    QTest::addColumn<int>("daysFromToday");
    QTest::addColumn<bool>("important");
    QTest::addColumn<bool>("stillOpen");
    QTest::newRow("today, important") << 0 << true << true;
    QTest::newRow("yesterday") << -1 << false << true;
    QTest::newRow("tomorrow closes") << 1 << false << false;
    QTest::newRow("next year closes, important") << 365 << true << false;
}

void TestNoteFormatCommands::dateStoredWithFlag()
{
    QFETCH(int, daysFromToday);
    QFETCH(bool, important);
    QFETCH(bool, stillOpen);
    std::optional<QDate> shown;
    QString caption = QStringLiteral("unset");
    const QDate chosen = Day.addDays(daysFromToday);
    SetAskDateAnswererForTests([&](const QDate& preset, const QString& givenCaption) {
        shown = preset;
        caption = givenCaption;
        return std::optional<QDate>(chosen);
    });
    TNote v = SampleNote();
    v.Latszik = important;
    QPointer<Tfrm_Ablak> w = OpenActive(v);
    QTest::keyClick(w, Qt::Key_D, Qt::ControlModifier);

    QCOMPARE(shown, std::optional<QDate>(QDate(1899, 12, 30).addDays(46000)));
    QVERIFY(caption.isEmpty());
    const double stored = DateToDateTime(chosen).value;
    QCOMPARE(m_store.Calls, QStringList{QStringLiteral("flag 7 %1 %2").arg(important).arg(stored)});
    if (!stillOpen) {
        QTRY_VERIFY(w.isNull());
        return;
    }
    QTest::qWait(50);
    QVERIFY(w && w->isVisible());
    QCOMPARE(w->tol.value, stored);
    QCOMPARE(w->latszik, important);
}

void TestNoteFormatCommands::dateCancelChangesNothing()
{
    SetAskDateAnswererForTests([](const QDate&, const QString&) { return std::optional<QDate>(); });
    const TNote v = SampleNote();
    QPointer<Tfrm_Ablak> w = OpenActive(v);
    w->aDatumtol->trigger();
    QTest::qWait(50);
    QVERIFY(w && w->isVisible());
    QVERIFY(m_store.Calls.isEmpty());
    QCOMPARE(w->tol.value, v.Tol.value);
}

QTEST_MAIN(TestNoteFormatCommands)
#include "tst_note_format_commands.moc"

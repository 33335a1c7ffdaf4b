#include <QCalendarWidget>
#include <QDateEdit>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QToolBar>
#include <QtTest>

#include "notes/tulajdonsag.h"
#include "record/notes_table.h"
#include "seged/clock.h"
#include "seged/db_check_box.h"
#include "seged/db_memo.h"
#include "seged/font_dialog.h"
#include "seged/message_boxes.h"
#include "table/data_link.h"
#include "table/datetime_text.h"
#include "table/mem_table.h"
#include "tests/typing_test_support.h"

#include <memory>
#include <vector>

// The note properties dialog on a real notes table: what it shows, that
// every way of closing but OK leaves the record as it was, and what OK
// stores and gives back.

namespace {
// Notes are numbered from 0; the dialog is opened on note 1.
const double NoteTol = EncodeDateTime(2026, 12, 1, 14);  // a time of day on purpose

// A linked control whose pending value cannot be written while armed.
class RefusingLink : public TDataLink {
public:
    bool armed = true;
    void StateChanged() override
    {
        if (armed && DataSet() && DataSet()->State() == dsEdit && !IsModified())
            Modified();
    }
    void UpdateData() override
    {
        if (armed)
            throw EDatabaseError("the control refused its value");
    }
};

// What EditNoteProperties fills, preset with values it must not keep.
struct Outputs {
    std::int32_t color = -1;
    TFontSpec font{QStringLiteral("untouched"), 1, -1, false, false, false};
    TDateTime tol{-1.0};
    bool latszik = false;
    int alignment = -1;
    QString text = QStringLiteral("untouched");
};

// Copies a confirmed dialog's result into out; true when there was one.
bool Fill(const std::optional<TNoteProperties>& result, Outputs& out)
{
    if (!result)
        return false;
    out.color = result->Color;
    out.font = result->Font;
    out.tol = result->Tol;
    out.latszik = result->Latszik;
    out.alignment = result->Alignment;
    out.text = result->Text;
    return true;
}

QStringList Entries(const QList<QAction*>& actions)
{
    QStringList entries;
    for (const QAction* action : actions)
        entries << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return entries;
}
}  // namespace

class TestTulajdonsag : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void partsAndPlaces();
    void menus_data();
    void menus();
    void commands_data();
    void commands();
    void opensOnTheNoteDressedLikeIt();
    void everyOtherWayOfClosingCancels_data();
    void everyOtherWayOfClosingCancels();
    void okStoresTheChangesAndGivesThemBack_data();
    void okStoresTheChangesAndGivesThemBack();
    void shortcutsActWhileTyping();
    void dateKeysOpenTheCalendar_data();
    void dateKeysOpenTheCalendar();
    void failedPostKeepsEverythingEntered();
    void unknownNoteOpensNothing();
    void abandonDropsTheEditAndLetsGo();

private:
    std::unique_ptr<TqorMemTable> m_table;
    std::unique_ptr<TDataSource> m_source;
    std::vector<TMessageBoxRequest> m_boxes;
    int m_helps = 0;

    void AddNote(const QString& text, std::int32_t color, int igazit);
    std::vector<TValue> Record(int az);
    bool Run(int az, Outputs& out, const TPropertiesRunner& runner);
    // Changes everything the dialog offers: text, font, colour, alignment,
    // the important flag and the date.
    static void ChangeEverything(Tfrm_Tulajdonsag& d);
};

void TestTulajdonsag::init()
{
    SetClockForTests([] { return QDateTime(QDate(2026, 12, 10), QTime(9, 0)); });
    m_boxes.clear();
    SetMessageBoxAnswerer([this](const TMessageBoxRequest& r) {
        m_boxes.push_back(r);
        return QMessageBox::Ok;
    });
    SetChooseFontAnswererForTests([](const TFontChoice&) {
        return TFontChoice{
            TFontSpec{QStringLiteral("Liberation Serif"), 14, 0x00FF0000, false, true, true}, true};
    });
    SetChooseColorAnswererForTests(
        [](std::int32_t, const QString&) { return std::optional<std::int32_t>(0x00C0FFC0); });
    m_helps = 0;
    m_table = std::make_unique<TqorMemTable>("Tbl");
    DefineNoteFields(*m_table);
    m_table->Open();
    m_source = std::make_unique<TDataSource>(m_table.get());
    AddNote(QStringLiteral("Első"), 0x00FFFFFF, 0);
    AddNote(QStringLiteral("Tej\r\nKenyér"), 0x0080FFFF, 2);
    AddNote(QStringLiteral("Harmadik"), 0x00FFFFFF, 1);
    m_table->MoveFirst();
}

void TestTulajdonsag::cleanup()
{
    SetPropertiesRunnerForTests({});
    SetChooseFontAnswererForTests({});
    SetChooseColorAnswererForTests({});
    SetMessageBoxAnswerer({});
    SetClockForTests({});
    m_source.reset();
    m_table.reset();
}

void TestTulajdonsag::AddNote(const QString& text, std::int32_t color, int igazit)
{
    m_table->AddAtEnd();
    m_table->SetValue(NoteField::szin, color);
    m_table->SetValue(NoteField::left, 10);
    m_table->SetValue(NoteField::top, 20);
    m_table->SetValue(NoteField::height, 100);
    m_table->SetValue(NoteField::width, 330);
    m_table->SetValue(NoteField::tol, TDateTime{NoteTol});
    m_table->SetValue(NoteField::latszik, false);
    m_table->SetValue(NoteField::fontname, std::string("Liberation Sans"));
    m_table->SetValue(NoteField::fontsize, 12);
    m_table->SetValue(NoteField::fontcolor, 0x000000FF);
    m_table->SetValue(NoteField::isbold, true);
    m_table->SetValue(NoteField::isitalic, false);
    m_table->SetValue(NoteField::isunderline, false);
    m_table->SetValue(NoteField::igazit, igazit);
    m_table->SetValue(NoteField::szoveg, text.toStdString());
    m_table->Post();
}

std::vector<TValue> TestTulajdonsag::Record(int az)
{
    for (int i = 0; i < m_table->CountRecords(); ++i) {
        const std::vector<TValue> values = m_table->RecordValues(i);
        if (values[m_table->GetField(NoteField::az).Index()] == TValue{az})
            return values;
    }
    return {};
}

bool TestTulajdonsag::Run(int az, Outputs& out, const TPropertiesRunner& runner)
{
    SetPropertiesRunnerForTests(runner);
    TPropertiesCall call;
    call.ShowHelp = [this] { ++m_helps; };
    return Fill(EditNoteProperties(*m_source, az, call), out);
}

void TestTulajdonsag::ChangeEverything(Tfrm_Tulajdonsag& d)
{
    d.DBMemo1->moveCursor(QTextCursor::End);
    Type(d.DBMemo1, QStringLiteral("\nvaj ő"));
    d.aBetutipus->trigger();
    d.aHatterszin->trigger();
    d.aJobbra->trigger();
    d.DBCheckBox1->click();
    d.DateTimePicker1->setDate(QDate(2026, 11, 30));
}

void TestTulajdonsag::partsAndPlaces()
{
    Outputs out;
    Run(1, out, [](Tfrm_Tulajdonsag& d) {
        QCOMPARE(d.windowTitle(), QStringLiteral("Címke tulajdonságai"));
        QCOMPARE(d.size(), QSize(488, 383));
        QVERIFY(d.isSizeGripEnabled());
        QVERIFY(d.maximumSize().width() > 488);
        QCOMPARE(d.font().family(), QStringLiteral("Segoe UI"));
        QCOMPARE(d.font().pointSize(), 8);
        // Without "Segoe UI" installed the desktop's font stands in.
        QVERIFY(d.font().families().size() >= 2);

        QCOMPARE(d.CoolBar1->height(), 29);
        QCOMPARE(Entries(d.ToolBar1->actions()),
                 QStringList({"Betűtípus", "Háttérszín", "-", "Balra igazít", "Középre igazít",
                              "Jobbra igazít", "-", "Elment", "Mégsem"}));
        QCOMPARE(Entries(d.PopupMenu1->actions()),
                 QStringList({"Betűtípus", "Háttérszín", "-", "Kivág", "Másol", "Beilleszt",
                              "Mindet kijelöl", "-", "Balra igazít", "Középre igazít",
                              "Jobbra igazít", "-", "Elment", "Mégsem"}));
        QCOMPARE(d.DBMemo1->contextMenuPolicy(), Qt::CustomContextMenu);

        QCOMPARE(d.PageControl1->count(), 2);
        QCOMPARE(d.PageControl1->tabText(0), QStringLiteral("Címke"));
        QCOMPARE(d.PageControl1->tabText(1), QStringLiteral("Dátum, fontos"));
        QCOMPARE(d.PageControl1->currentWidget(), d.TabSheet1);
        QCOMPARE(d.DBMemo1->parentWidget(), d.TabSheet1);
        QCOMPARE(d.Label1->text(), QStringLiteral("Dátumtól látható"));
        QCOMPARE(d.Label1->pos(), QPoint(8, 16));
        QCOMPARE(d.DateTimePicker1->geometry(), QRect(8, 32, 157, 21));
        QVERIFY(d.DateTimePicker1->calendarPopup());
        QCOMPARE(d.DBCheckBox1->text(), QStringLiteral("Fontos?"));
        QCOMPARE(d.DBCheckBox1->pos(), QPoint(8, 64));
        QCOMPARE(d.DBCheckBox1->parentWidget(), d.TabSheet2);
        QCOMPARE(d.DBMemo1->DataField(), QStringLiteral("szoveg"));
        QCOMPARE(d.DBCheckBox1->DataField(), QStringLiteral("latszik"));
        // Centred on the desktop.
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY((d.frameGeometry().center() - screen.center()).manhattanLength() <= 2);
    });
}

void TestTulajdonsag::menus_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("entries");
    QTest::newRow("Formátum") << "Formátum"
                              << QStringList{"Betűtípus",      "Háttérszín",    "-", "Balra igazít",
                                             "Középre igazít", "Jobbra igazít", "-", "Elment",
                                             "Mégsem"};
    QTest::newRow("Szerkesztés") << "Szerkesztés"
                                 << QStringList{"Kivág", "Másol", "Beilleszt", "-",
                                                "Mindet kijelöl"};
    QTest::newRow("Súgó") << "Súgó" << QStringList{"Súgó"};
}

void TestTulajdonsag::menus()
{
    QFETCH(QString, title);
    QFETCH(QStringList, entries);
    Tfrm_Tulajdonsag d(*m_source);
    QStringList titles;
    for (QAction* menu : d.MainMenu1->actions()) {
        titles << menu->text();
        if (menu->text() == title)
            QCOMPARE(Entries(menu->menu()->actions()), entries);
    }
    QCOMPARE(titles, QStringList({"Formátum", "Szerkesztés", "Súgó"}));
}

void TestTulajdonsag::commands_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QKeySequence>("shortcut");
    QTest::addColumn<QString>("category");
    const auto row = [](const char* name, const char* caption, QKeyCombination key,
                        const char* category) {
        QTest::newRow(name) << QString(name) << QString::fromUtf8(caption) << QKeySequence(key)
                            << QString::fromUtf8(category);
    };
    row("aBetutipus", "Betűtípus", QKeyCombination(Qt::Key_F4), "Formátum");
    row("aHatterszin", "Háttérszín", QKeyCombination(Qt::Key_F5), "Formátum");
    row("aBalra", "Balra igazít", Qt::CTRL | Qt::Key_B, "Formátum");
    row("aKozepre", "Középre igazít", Qt::CTRL | Qt::Key_K, "Formátum");
    row("aJobbra", "Jobbra igazít", Qt::CTRL | Qt::Key_J, "Formátum");
    row("aKivag", "Kivág", Qt::CTRL | Qt::Key_X, "Szerkesztés");
    row("aMasol", "Másol", Qt::CTRL | Qt::Key_C, "Szerkesztés");
    row("aBeilleszt", "Beilleszt", Qt::CTRL | Qt::Key_V, "Szerkesztés");
    row("aMindetJelol", "Mindet kijelöl", Qt::CTRL | Qt::Key_A, "Szerkesztés");
    row("aElment", "Elment", Qt::CTRL | Qt::Key_Return, "Formátum");
    row("aMegsem", "Mégsem", QKeyCombination(Qt::Key_Escape), "Formátum");
    row("aSugo", "Súgó", QKeyCombination(Qt::Key_F1), "Súgó");
}

void TestTulajdonsag::commands()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QKeySequence, shortcut);
    QFETCH(QString, category);
    Tfrm_Tulajdonsag d(*m_source);
    auto* action = d.findChild<QAction*>(name);
    QVERIFY(action);
    QCOMPARE(action->text(), caption);
    QCOMPARE(action->toolTip(), caption);
    QCOMPARE(action->shortcut(), shortcut);
    QCOMPARE(action->property("category").toString(), category);
    QVERIFY(d.actions().contains(action));
}

void TestTulajdonsag::opensOnTheNoteDressedLikeIt()
{
    Outputs out;
    bool ran = false;
    Run(1, out, [&](Tfrm_Tulajdonsag& d) {
        ran = true;
        QCOMPARE(m_table->State(), dsEdit);
        QCOMPARE(m_table->GetValue(NoteField::az), TValue{1});
        QCOMPARE(d.DateTimePicker1->date(), QDate(2026, 12, 1));
        QCOMPARE(d.DBMemo1->toPlainText(), QStringLiteral("Tej\nKenyér"));
        QVERIFY(!d.DBCheckBox1->isChecked());
        QCOMPARE(d.DBMemo1->palette().color(QPalette::Base), QColor(0xFF, 0xFF, 0x80));
        QCOMPARE(d.DBMemo1->palette().color(QPalette::Text), QColor(0xFF, 0, 0));
        QCOMPARE(d.DBMemo1->font().family(), QStringLiteral("Liberation Sans"));
        QCOMPARE(d.DBMemo1->font().pointSize(), 12);
        QVERIFY(d.DBMemo1->font().bold());
        QVERIFY(!d.DBMemo1->font().italic());
        QCOMPARE(d.DBMemo1->document()->defaultTextOption().alignment(), Qt::AlignHCenter);
    });
    QVERIFY(ran);
}

void TestTulajdonsag::everyOtherWayOfClosingCancels_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Mégsem") << "aMegsem";
    QTest::newRow("Esc in the text") << "Esc";
    QTest::newRow("close box") << "close";
    QTest::newRow("left open") << "open";
}

void TestTulajdonsag::everyOtherWayOfClosingCancels()
{
    QFETCH(QString, how);
    const std::vector<TValue> before = Record(1);
    Outputs out;
    const bool confirmed = Run(1, out, [&](Tfrm_Tulajdonsag& d) {
        ChangeEverything(d);
        // The formatting commands wrote the record's fields at once.
        QCOMPARE(m_table->GetValue(NoteField::fontname), TValue{std::string("Liberation Serif")});
        QCOMPARE(m_table->GetValue(NoteField::szin), TValue{0x00C0FFC0});
        QCOMPARE(m_table->GetValue(NoteField::igazit), TValue{1});
        if (how == "aMegsem")
            d.aMegsem->trigger();
        else if (how == "Esc")
            QTest::keyClick(d.DBMemo1, Qt::Key_Escape);
        else if (how == "close")
            d.close();
        if (how != "open")
            QVERIFY(!d.isVisible());
    });
    QVERIFY(!confirmed);
    QCOMPARE(m_table->State(), dsBrowse);
    QCOMPARE(Record(1), before);
    QCOMPARE(m_table->GetValue(NoteField::az), TValue{1});
    QCOMPARE(out.text, QStringLiteral("untouched"));
    QCOMPARE(out.color, -1);
    QCOMPARE(out.alignment, -1);
}

void TestTulajdonsag::okStoresTheChangesAndGivesThemBack_data()
{
    QTest::addColumn<bool>("byKey");
    QTest::newRow("Elment") << false;
    QTest::newRow("Ctrl+Enter in the text") << true;
}

void TestTulajdonsag::okStoresTheChangesAndGivesThemBack()
{
    QFETCH(bool, byKey);
    const std::vector<TValue> other = Record(2);
    Outputs out;
    const bool confirmed = Run(1, out, [&](Tfrm_Tulajdonsag& d) {
        ChangeEverything(d);
        if (byKey) {
            d.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&d));
            QTest::keyClick(d.DBMemo1, Qt::Key_Return, Qt::ControlModifier);
        } else
            d.aElment->trigger();
        QVERIFY(!d.isVisible());
    });
    QVERIFY(confirmed);
    QCOMPARE(m_table->State(), dsBrowse);
    QCOMPARE(m_table->GetValue(NoteField::az), TValue{1});
    QCOMPARE(m_table->GetValue(NoteField::szoveg), TValue{std::string("Tej\r\nKenyér\r\nvaj ő")});
    QCOMPARE(m_table->GetValue(NoteField::fontname), TValue{std::string("Liberation Serif")});
    QCOMPARE(m_table->GetValue(NoteField::fontsize), TValue{14});
    QCOMPARE(m_table->GetValue(NoteField::fontcolor), TValue{0x00FF0000});
    QCOMPARE(m_table->GetValue(NoteField::isbold), TValue{false});
    QCOMPARE(m_table->GetValue(NoteField::isitalic), TValue{true});
    QCOMPARE(m_table->GetValue(NoteField::isunderline), TValue{true});
    QCOMPARE(m_table->GetValue(NoteField::szin), TValue{0x00C0FFC0});
    QCOMPARE(m_table->GetValue(NoteField::igazit), TValue{1});
    QCOMPARE(m_table->GetValue(NoteField::latszik), TValue{true});
    // The chosen day without a time of day.
    QCOMPARE(m_table->GetValue(NoteField::tol), TValue{TDateTime{EncodeDateTime(2026, 11, 30, 0)}});
    QCOMPARE(m_table->GetValue(NoteField::left), TValue{10});
    QCOMPARE(Record(2), other);

    QCOMPARE(out.color, 0x00C0FFC0);
    QCOMPARE(out.font,
             (TFontSpec{QStringLiteral("Liberation Serif"), 14, 0x00FF0000, false, true, true}));
    QCOMPARE(out.tol.value, EncodeDateTime(2026, 11, 30, 0));
    QVERIFY(out.latszik);
    QCOMPARE(out.alignment, 1);
    QCOMPARE(out.text, QStringLiteral("Tej\r\nKenyér\r\nvaj ő"));
}

void TestTulajdonsag::shortcutsActWhileTyping()
{
    Outputs out;
    Run(1, out, [&](Tfrm_Tulajdonsag& d) {
        d.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        d.DBMemo1->setFocus();
        QTest::keyClick(d.DBMemo1, Qt::Key_B, Qt::ControlModifier);
        QCOMPARE(d.MemoAlignment(), 0);
        QCOMPARE(m_table->GetValue(NoteField::igazit), TValue{0});
        QTest::keyClick(d.DBMemo1, Qt::Key_J, Qt::ControlModifier);
        QCOMPARE(d.MemoAlignment(), 1);
        // Ctrl+K would delete to the end of the line in a plain text field.
        QTest::keyClick(d.DBMemo1, Qt::Key_K, Qt::ControlModifier);
        QCOMPARE(d.MemoAlignment(), 2);
        QCOMPARE(d.DBMemo1->toPlainText(), QStringLiteral("Tej\nKenyér"));
        QTest::keyClick(d.DBMemo1, Qt::Key_F1);
        QCOMPARE(m_helps, 1);
        QTest::keyClick(d.DBMemo1, Qt::Key_F5);
        QCOMPARE(d.MemoColor(), 0x00C0FFC0);
    });
}

void TestTulajdonsag::dateKeysOpenTheCalendar_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");

    QTest::newRow("F4") << int(Qt::Key_F4) << int(Qt::NoModifier);
    QTest::newRow("Alt+Down") << int(Qt::Key_Down) << int(Qt::AltModifier);
}

void TestTulajdonsag::dateKeysOpenTheCalendar()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    Outputs out;
    Run(1, out, [&](Tfrm_Tulajdonsag& d) {
        d.PageControl1->setCurrentWidget(d.TabSheet2);
        d.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        d.DateTimePicker1->setFocus();
        const QDate before = d.DateTimePicker1->date();
        QTest::keyClick(d.DateTimePicker1, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QTRY_VERIFY(d.DateTimePicker1->calendarWidget()->isVisible());
        QCOMPARE(d.DateTimePicker1->date(), before);
        QTest::keyClick(d.DateTimePicker1->calendarWidget(), Qt::Key_Escape);
        QTRY_VERIFY(!d.DateTimePicker1->calendarWidget()->isVisible());
        QVERIFY(d.isVisible());
    });
}

void TestTulajdonsag::failedPostKeepsEverythingEntered()
{
    RefusingLink refusing;
    refusing.SetDataSource(m_source.get());
    Outputs out;
    const bool confirmed = Run(1, out, [&](Tfrm_Tulajdonsag& d) {
        Type(d.DBMemo1, QStringLiteral("Fontos: "));
        d.aElment->trigger();
        QCOMPARE(m_boxes.size(), std::size_t{1});
        QCOMPARE(m_boxes[0].Caption, QStringLiteral("Hiba"));
        QVERIFY(m_boxes[0].Text.startsWith(QStringLiteral("Hiba az adat mentése közben")));
        // Still open, still editing, nothing typed lost.
        QVERIFY(d.isVisible());
        QCOMPARE(m_table->State(), dsEdit);
        QCOMPARE(d.DBMemo1->toPlainText(), QStringLiteral("Fontos: Tej\nKenyér"));
        refusing.armed = false;
        d.aElment->trigger();
        QVERIFY(!d.isVisible());
    });
    QVERIFY(confirmed);
    QCOMPARE(m_table->GetValue(NoteField::szoveg), TValue{std::string("Fontos: Tej\r\nKenyér")});
    QCOMPARE(out.text, QStringLiteral("Fontos: Tej\r\nKenyér"));
}

void TestTulajdonsag::unknownNoteOpensNothing()
{
    m_table->MoveNext();
    bool ran = false;
    Outputs out;
    QVERIFY(!Run(99, out, [&](Tfrm_Tulajdonsag&) { ran = true; }));
    QVERIFY(!ran);
    QCOMPARE(m_table->State(), dsBrowse);
    QCOMPARE(out.text, QStringLiteral("untouched"));

    m_table->Close();
    QVERIFY(!Run(1, out, [&](Tfrm_Tulajdonsag&) { ran = true; }));
    QVERIFY(!ran);
}

void TestTulajdonsag::abandonDropsTheEditAndLetsGo()
{
    const std::vector<TValue> before = Record(1);
    std::vector<Tfrm_Tulajdonsag*> holders;
    SetPropertiesRunnerForTests([&](Tfrm_Tulajdonsag& d) {
        ChangeEverything(d);
        d.Abandon();
        QVERIFY(!d.isVisible());
        QCOMPARE(m_table->State(), dsBrowse);
        QCOMPARE(Record(1), before);
        // The table belongs to others now: nothing reaches it any more.
        m_table->MoveFirst();
        Type(d.DBMemo1, QStringLiteral("x"));
        d.DBCheckBox1->click();
        d.aBalra->trigger();
        d.aElment->trigger();
        QCOMPARE(m_table->State(), dsBrowse);
    });
    Outputs out;
    TPropertiesCall call;
    call.Holding = [&](Tfrm_Tulajdonsag* d) { holders.push_back(d); };
    QVERIFY(!Fill(EditNoteProperties(*m_source, 1, call), out));
    QCOMPARE(holders.size(), std::size_t{2});
    QVERIFY(holders[0] != nullptr);
    QCOMPARE(holders[1], nullptr);
    QCOMPARE(Record(1), before);
    QCOMPARE(m_table->GetValue(NoteField::az), TValue{0});
}

QTEST_MAIN(TestTulajdonsag)
#include "tst_tulajdonsag.moc"

// The date dialog and AskDate.
#include "notes/datumbe.h"

#include "seged/beall.h"
#include "seged/clock.h"
#include "seged/globals.h"
#include "seged/ini_file.h"

#include <QCalendarWidget>
#include <QDateEdit>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimeEdit>
#include <QtTest>

#include <limits>
#include <memory>

namespace {
const QDate TodayDate(2026, 12, 10);
const QString Section = QStringLiteral("frm_Datumbe");

TDateTime Day(const QDate& date, double timeOfDay = 0.0)
{
    return TDateTime{DateToDateTime(date).value + timeOfDay};
}

struct TStoredPos {
    int Left;
    int Top;
};

TStoredPos StoredPos()
{
    const TIniFile ini(SettingsFile);
    return {ini.ReadInteger(Section, QStringLiteral("Left"), -1),
            ini.ReadInteger(Section, QStringLiteral("Top"), -1)};
}
}  // namespace

class TestDatumbe : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void partsAndCaption();
    void fontSizeFollowsDialogFontSize();
    void dateFormatIsShortWithFullYear_data();
    void dateFormatIsShortWithFullYear();
    void chosenDayIsAtMidnight_data();
    void chosenDayIsAtMidnight();
    void dayOfOddValues_data();
    void dayOfOddValues();
    void firstShowIsAtTenTen();
    void placeIsStoredHoweverItCloses_data();
    void placeIsStoredHoweverItCloses();
    void enterConfirms();
    void focusColoursTheDateField();
    void calendarKeys_data();
    void calendarKeys();
    void askDateAnswerer();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Tfrm_Datumbe> m_dialog;
};

void TestDatumbe::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    qputenv("HOME", m_dir->path().toUtf8());
    qputenv("XDG_DATA_HOME", (m_dir->path() + "/data").toUtf8());
    ResolveGlobals(m_dir->path() + "/bin/vikora", QRect(0, 0, 1024, 768));
    QCOMPARE(DataFolder, m_dir->path() + "/data/Vikora");
    EnsureDataFolder();
    SetClockForTests([] { return QDateTime(TodayDate, QTime(10, 30)); });
    Beall = TBeall{};
    m_dialog = std::make_unique<Tfrm_Datumbe>();
}

void TestDatumbe::cleanup()
{
    m_dialog.reset();
    SetAskDateAnswererForTests({});
    SetClockForTests({});
}

void TestDatumbe::partsAndCaption()
{
    Tfrm_Datumbe& d = *m_dialog;
    d.Prepare(Day(TodayDate), QString());
    d.show();
    QCOMPARE(d.size(), QSize(314, 127));
    QCOMPARE(d.minimumSize(), d.maximumSize());
    QCOMPARE(d.windowTitle(), QStringLiteral("Dátum megadása"));

    QCOMPARE(d.findChild<QDateEdit*>("DateTimePicker1"), d.DateTimePicker1);
    QCOMPARE(d.DateTimePicker1->geometry(), QRect(16, 16, 186, 21));
    QVERIFY(d.DateTimePicker1->calendarPopup());
    QVERIFY(d.DateTimePicker1->hasFocus() || d.focusWidget() == d.DateTimePicker1);

    QCOMPARE(d.DateTimePicker2->geometry(), QRect(212, 16, 85, 21));
    QCOMPARE(d.DateTimePicker2->displayFormat(), QStringLiteral("HH:mm"));
    QVERIFY(d.DateTimePicker2->isHidden());

    QCOMPARE(d.Image1->geometry(), QRect(16, 52, 64, 64));
    QVERIFY(!d.Image1->pixmap().isNull());
    QCOMPARE(d.Image1->pixmap().deviceIndependentSize(), QSizeF(64, 64));

    QCOMPARE(d.Button1->text(), QStringLiteral("OK"));
    QCOMPARE(d.Button1->geometry(), QRect(220, 60, 75, 25));
    QVERIFY(d.Button1->isDefault());
    QCOMPARE(d.Button2->text(), QStringLiteral("Mégsem"));
    QCOMPARE(d.Button2->geometry(), QRect(220, 92, 75, 25));

    Tfrm_Datumbe captioned;
    captioned.Prepare(Day(TodayDate), QStringLiteral("Mikortól?"));
    QCOMPARE(captioned.windowTitle(), QStringLiteral("Mikortól?"));
}

void TestDatumbe::fontSizeFollowsDialogFontSize()
{
    Beall.DialogFontSize = 14;
    m_dialog->show();
    QCOMPARE(m_dialog->font().family(), QStringLiteral("Segoe UI"));
    QCOMPARE(m_dialog->font().pointSize(), 14);
    QCOMPARE(m_dialog->DateTimePicker1->font().pointSize(), 14);
    QCOMPARE(m_dialog->Button2->font().pointSize(), 14);

    // Read again at each showing.
    m_dialog->hide();
    Beall.DialogFontSize = 9;
    m_dialog->show();
    QCOMPARE(m_dialog->Button1->font().pointSize(), 9);
}

void TestDatumbe::dateFormatIsShortWithFullYear_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("format");

    QTest::newRow("Hungarian") << "hu_HU"
                               << "yyyy. MM. dd.";
    QTest::newRow("US, two-digit year widened") << "en_US"
                                                << "M/d/yyyy";
    QTest::newRow("German, two-digit year widened") << "de_DE"
                                                    << "dd.MM.yyyy";
}

void TestDatumbe::dateFormatIsShortWithFullYear()
{
    QFETCH(QString, locale);
    QFETCH(QString, format);
    QLocale::setDefault(QLocale(locale));
    Tfrm_Datumbe dialog;
    QLocale::setDefault(QLocale::system());
    QCOMPARE(dialog.DateTimePicker1->displayFormat(), format);

    dialog.Prepare(Day(QDate(1950, 3, 4)), QString());
    QVERIFY(dialog.DateTimePicker1->text().contains("1950"));
}

void TestDatumbe::chosenDayIsAtMidnight_data()
{
    QTest::addColumn<double>("given");
    QTest::addColumn<int>("daysMoved");
    QTest::addColumn<double>("expected");

    const double today = Day(TodayDate).value;
    QTest::newRow("unchanged, at midnight") << today << 0 << today;
    QTest::newRow("unchanged, with a time of day") << today + 0.75 << 0 << today;
    QTest::newRow("yesterday, just before midnight") << today - 1 + 0.999 << 0 << today - 1;
    QTest::newRow("moved to tomorrow") << today + 0.5 << 1 << today + 1;
    QTest::newRow("moved over a year end") << today << 25 << Day(QDate(2027, 1, 4)).value;
    // The whole part counts back, the fraction forward: 29 December 1899.
    QTest::newRow("before 30 December 1899") << -1.25 << 0 << -1.0;
}

void TestDatumbe::chosenDayIsAtMidnight()
{
    QFETCH(double, given);
    QFETCH(int, daysMoved);
    QFETCH(double, expected);

    m_dialog->Prepare(TDateTime{given}, QString());
    m_dialog->DateTimePicker2->setTime(QTime(17, 45));
    m_dialog->show();
    m_dialog->DateTimePicker1->setDate(m_dialog->DateTimePicker1->date().addDays(daysMoved));
    m_dialog->accept();
    QCOMPARE(m_dialog->result(), int(QDialog::Accepted));
    QCOMPARE(m_dialog->ChosenDate().value, expected);
}

void TestDatumbe::dayOfOddValues_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QDate>("expected");

    QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << TodayDate;
    QTest::newRow("infinite") << std::numeric_limits<double>::infinity() << QDate(9999, 12, 31);
    QTest::newRow("far past") << -1e300 << QDate(1, 1, 1);
    QTest::newRow("half a day before the epoch") << -0.5 << QDate(1899, 12, 30);
    QTest::newRow("first day of year 1") << Day(QDate(1, 1, 1)).value << QDate(1, 1, 1);
}

void TestDatumbe::dayOfOddValues()
{
    QFETCH(double, value);
    QFETCH(QDate, expected);
    QCOMPARE(DayOfDateTime(TDateTime{value}), expected);
    // The field holds the same day rather than its own limits.
    m_dialog->Prepare(TDateTime{value}, QString());
    QCOMPARE(m_dialog->DateTimePicker1->date(), expected);
}

void TestDatumbe::firstShowIsAtTenTen()
{
    QVERIFY(!QFile::exists(SettingsFile));
    m_dialog->show();
    // The client area: a window manager's frame goes around it.
    QCOMPARE(m_dialog->geometry().topLeft(), QPoint(10, 10));
}

void TestDatumbe::placeIsStoredHoweverItCloses_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("result");

    QTest::newRow("OK button") << "Button1" << int(QDialog::Accepted);
    QTest::newRow("Mégsem button") << "Button2" << int(QDialog::Rejected);
    QTest::newRow("Esc") << "Esc" << int(QDialog::Rejected);
    QTest::newRow("close box") << "close" << int(QDialog::Rejected);
}

void TestDatumbe::placeIsStoredHoweverItCloses()
{
    QFETCH(QString, how);
    QFETCH(int, result);

    m_dialog->show();
    m_dialog->move(123, 45);
    // The offscreen platform draws a frame, as a window manager does.
    const QPoint client = m_dialog->geometry().topLeft();
    if (how == "Esc")
        QTest::keyClick(m_dialog->DateTimePicker1, Qt::Key_Escape);
    else if (how == "close")
        m_dialog->close();
    else
        m_dialog->findChild<QPushButton*>(how)->click();
    QVERIFY(!m_dialog->isVisible());
    QCOMPARE(m_dialog->result(), result);
    const TStoredPos stored = StoredPos();
    QCOMPARE(QPoint(stored.Left, stored.Top), client);

    // The next dialogs open where this one was left, and opening and
    // closing them without a move stores the same place: no creeping by
    // the frame's size.
    for (int i = 0; i < 3; ++i) {
        Tfrm_Datumbe next;
        next.show();
        QCOMPARE(next.geometry().topLeft(), client);
        QCOMPARE(next.pos(), QPoint(123, 45));
        next.reject();
        const TStoredPos again = StoredPos();
        QCOMPARE(QPoint(again.Left, again.Top), client);
    }
}

void TestDatumbe::enterConfirms()
{
    m_dialog->Prepare(Day(TodayDate), QString());
    m_dialog->show();
    QTest::keyClick(m_dialog->DateTimePicker1, Qt::Key_Return);
    QVERIFY(!m_dialog->isVisible());
    QCOMPARE(m_dialog->result(), int(QDialog::Accepted));
}

void TestDatumbe::focusColoursTheDateField()
{
    Tfrm_Datumbe& d = *m_dialog;
    const QColor plain = d.DateTimePicker1->palette().color(QPalette::Base);
    const QColor skyBlue(0xA6, 0xCA, 0xF0);
    QVERIFY(plain != skyBlue);

    d.show();
    d.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&d));
    d.DateTimePicker1->setFocus(Qt::TabFocusReason);
    QVERIFY(d.DateTimePicker1->hasFocus());
    QCOMPARE(d.DateTimePicker1->palette().color(QPalette::Base), skyBlue);

    // The drop-down calendar does not take the field's colour away.
    QTest::mouseClick(d.DateTimePicker1, Qt::LeftButton, {},
                      QPoint(d.DateTimePicker1->width() - 4, d.DateTimePicker1->height() / 2));
    QTRY_VERIFY(d.DateTimePicker1->calendarWidget()->isVisible());
    QCOMPARE(d.DateTimePicker1->palette().color(QPalette::Base), skyBlue);
    QTest::keyClick(d.DateTimePicker1->calendarWidget(), Qt::Key_Escape);
    QTRY_VERIFY(!d.DateTimePicker1->calendarWidget()->isVisible());
    QVERIFY(d.isVisible());

    d.Button1->setFocus(Qt::TabFocusReason);
    QCOMPARE(d.DateTimePicker1->palette().color(QPalette::Base), plain);

    // The time field's focus colours the date field too.
    d.DateTimePicker2->setFocus(Qt::TabFocusReason);
    QCOMPARE(d.DateTimePicker1->palette().color(QPalette::Base), skyBlue);
    QCOMPARE(d.DateTimePicker2->palette().color(QPalette::Base), plain);
    d.Button2->setFocus(Qt::TabFocusReason);
    QCOMPARE(d.DateTimePicker1->palette().color(QPalette::Base), plain);
}

void TestDatumbe::calendarKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("opens");

    QTest::newRow("F4") << int(Qt::Key_F4) << int(Qt::NoModifier) << true;
    QTest::newRow("Alt+Down") << int(Qt::Key_Down) << int(Qt::AltModifier) << true;
    QTest::newRow("Alt+Up") << int(Qt::Key_Up) << int(Qt::AltModifier) << true;
    QTest::newRow("Alt+Down on the keypad")
        << int(Qt::Key_Down) << int(Qt::AltModifier | Qt::KeypadModifier) << true;
    QTest::newRow("Shift+F4") << int(Qt::Key_F4) << int(Qt::ShiftModifier) << false;
    QTest::newRow("Ctrl+Alt+Down")
        << int(Qt::Key_Down) << int(Qt::ControlModifier | Qt::AltModifier) << false;
}

void TestDatumbe::calendarKeys()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(bool, opens);

    Tfrm_Datumbe& d = *m_dialog;
    const QDate day(2026, 3, 15);
    d.Prepare(Day(day), QString());
    d.show();
    d.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&d));
    d.DateTimePicker1->setFocus(Qt::TabFocusReason);
    QCalendarWidget* calendar = d.DateTimePicker1->calendarWidget();

    QTest::keyClick(d.DateTimePicker1, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    if (opens) {
        QTRY_VERIFY(calendar->isVisible());
        QCOMPARE(calendar->selectedDate(), day);
        // The focus colour stays on the field; the calendar keeps its own.
        const QColor skyBlue(0xA6, 0xCA, 0xF0);
        QCOMPARE(d.DateTimePicker1->palette().color(QPalette::Base), skyBlue);
        QVERIFY(calendar->window()->palette().color(QPalette::Base) != skyBlue);
        QTest::keyClick(calendar, Qt::Key_Escape);
        QTRY_VERIFY(!calendar->isVisible());
    } else {
        QCoreApplication::processEvents();
        QVERIFY(!calendar->isVisible());
    }
    // The keys that open the calendar never change the date.
    if (opens)
        QCOMPARE(d.DateTimePicker1->date(), day);
    QVERIFY(d.isVisible());
}

void TestDatumbe::askDateAnswerer()
{
    const QDate yesterday = TodayDate.addDays(-1);
    QList<QDate> shown;
    QStringList captions;
    std::optional<QDate> answer;
    SetAskDateAnswererForTests([&](const QDate& day, const QString& caption) {
        shown << day;
        captions << caption;
        return answer;
    });

    // Cancel leaves the caller's value, time of day included.
    TDateTime date = Day(yesterday, 0.25);
    answer.reset();
    QVERIFY(!AskDate(date, QString()));
    QCOMPARE(date.value, Day(yesterday, 0.25).value);

    // OK without a change gives the same day at midnight.
    answer = yesterday;
    QVERIFY(AskDate(date, QStringLiteral("Mikortól?")));
    QCOMPARE(date.value, Day(yesterday).value);

    answer = TodayDate.addDays(3);
    QVERIFY(AskDate(date, QString()));
    QCOMPARE(date.value, Day(TodayDate.addDays(3)).value);

    QCOMPARE(shown, (QList<QDate>{yesterday, yesterday, yesterday}));
    QCOMPARE(captions, (QStringList{QString(), QStringLiteral("Mikortól?"), QString()}));
}

QTEST_MAIN(TestDatumbe)
#include "tst_datumbe.moc"

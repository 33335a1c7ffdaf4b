#include "app/main_form.h"
#include "app/tray_watch.h"
#include "seged/beall.h"
#include "seged/clock.h"
#include "seged/globals.h"
#include "seged/message_boxes.h"

#include <QAction>
#include <QDialog>
#include <QMessageBox>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <map>

namespace {

QWidget* ShownTopLevel(const QString& name)
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->objectName() == name && window->isVisible())
            return window;
    }
    return nullptr;
}

}  // namespace

// The commands of the tray menu, the desktop actions and the command line,
// and how they meet modal dialogs and a missing tray.
class TestTrayCommands : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void commandsRunTheirMenuEntries_data();
    void commandsRunTheirMenuEntries();
    void modalDialogIsBroughtForwardInstead_data();
    void modalDialogIsBroughtForwardInstead();
    void catalogueLetsUsableWindowsThrough_data();
    void catalogueLetsUsableWindowsThrough();
    void secondSettingsCommandOpensNoSecondDialog();
    void secondStartWithoutTrayLeavesSomethingToActOn_data();
    void secondStartWithoutTrayLeavesSomethingToActOn();
    void leftClickBringsNotesForward();
    void startCommandRunsAfterTheNotesAreLoaded();
    void commandsDuringTheSplashWaitForTheNotes();
    void missingTrayIsToldOnceAndAppearingTrayGetsTheIcon();

private:
    // Counts the calls of the hooks that open windows in other parts.
    void CountHooks(Tfrm_Main& form);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::map<QString, int> m_calls;
};

void TestTrayCommands::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    qputenv("HOME", m_dir->path().toUtf8());
    qputenv("XDG_DATA_HOME", (m_dir->path() + "/data").toUtf8());
    ResolveGlobals(m_dir->path() + "/bin/vikora", QRect(0, 0, 1024, 768));
    SetMessageBoxAnswerer([](const TMessageBoxRequest&) { return QMessageBox::Ok; });
    SetClockForTests([] { return QDateTime(QDate(2026, 12, 10), QTime(9, 0)); });
    Beall = TBeall{};
    m_calls.clear();
}

void TestTrayCommands::cleanup()
{
    SetMessageBoxAnswerer({});
    SetClockForTests({});
    for (QWidget* window : QApplication::topLevelWidgets())
        window->close();
}

void TestTrayCommands::CountHooks(Tfrm_Main& form)
{
    form.OnBeallit = [this] { ++m_calls["settings"]; };
    form.OnProgramok = [this] { ++m_calls["catalogue"]; };
    form.OnSugo = [this] { ++m_calls["help"]; };
    form.OnNevjegy = [this] { ++m_calls["about"]; };
    form.TrayWatch->SetProbe([] { return true; });
}

void TestTrayCommands::commandsRunTheirMenuEntries_data()
{
    QTest::addColumn<TInstanceCommand>("command");
    QTest::addColumn<QString>("hook");
    QTest::newRow("settings") << TInstanceCommand::Settings << "settings";
    QTest::newRow("catalogue") << TInstanceCommand::Catalogue << "catalogue";
    QTest::newRow("help") << TInstanceCommand::Help << "help";
    QTest::newRow("about") << TInstanceCommand::About << "about";
    QTest::newRow("new note") << TInstanceCommand::NewNote << "";
    QTest::newRow("quit") << TInstanceCommand::Quit << "";
}

void TestTrayCommands::commandsRunTheirMenuEntries()
{
    QFETCH(TInstanceCommand, command);
    QFETCH(QString, hook);
    Tfrm_Main form;
    CountHooks(form);
    form.Timer1Timer();
    form.RunCommand(command);
    if (!hook.isEmpty())
        QCOMPARE(m_calls[hook], 1);
    // Quit is the exit sequence: the notes are written and the table closed.
    QCOMPARE(form.Tbl.Active(), command != TInstanceCommand::Quit);
    if (form.Tbl.Active())
        QCOMPARE(form.Tbl.CountRecords(), command == TInstanceCommand::NewNote ? 1 : 0);
    QCOMPARE(QFile::exists(DataFolder + "/Vikora.csv"), command == TInstanceCommand::Quit);
}

void TestTrayCommands::modalDialogIsBroughtForwardInstead_data()
{
    QTest::addColumn<TInstanceCommand>("command");
    QTest::addColumn<bool>("fromTrayMenu");
    const std::pair<const char*, TInstanceCommand> commands[] = {
        {"come forward", TInstanceCommand::ComeForward},
        {"new note", TInstanceCommand::NewNote},
        {"settings", TInstanceCommand::Settings},
        {"catalogue", TInstanceCommand::Catalogue},
        {"help", TInstanceCommand::Help},
        {"about", TInstanceCommand::About},
        {"quit", TInstanceCommand::Quit}};
    for (const auto& [name, command] : commands) {
        QTest::addRow("%s, channel", name) << command << false;
        if (command != TInstanceCommand::ComeForward)
            QTest::addRow("%s, tray menu", name) << command << true;
    }
}

void TestTrayCommands::modalDialogIsBroughtForwardInstead()
{
    QFETCH(TInstanceCommand, command);
    QFETCH(bool, fromTrayMenu);
    Tfrm_Main form;
    CountHooks(form);
    form.TrayWatch->SetProbe([] { return false; });
    form.Timer1Timer();

    QDialog dialog;
    dialog.setObjectName(QStringLiteral("frm_Beallit"));
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.show();
    QTRY_COMPARE(QApplication::activeModalWidget(), &dialog);
    QWidget other;
    other.show();
    other.activateWindow();

    if (fromTrayMenu) {
        const std::map<TInstanceCommand, QAction*> actions = {
            {TInstanceCommand::NewNote, form.aUj},
            {TInstanceCommand::Settings, form.aBeallit},
            {TInstanceCommand::Catalogue, form.aProgramok},
            {TInstanceCommand::Help, form.aSugo},
            {TInstanceCommand::About, form.aNevjegy},
            {TInstanceCommand::Quit, form.aBezar}};
        actions.at(command)->trigger();
    } else {
        form.RunCommand(command);
    }
    QCOMPARE(m_calls, (std::map<QString, int>{}));
    // No note that the dialog would block, and the program still runs.
    QCOMPARE(form.Tbl.CountRecords(), 0);
    QVERIFY(form.Tbl.Active());
    QVERIFY(dialog.isVisible());
    QTRY_COMPARE(QApplication::activeWindow(), &dialog);
}

void TestTrayCommands::catalogueLetsUsableWindowsThrough_data()
{
    QTest::addColumn<TInstanceCommand>("command");
    QTest::addColumn<QString>("hook");
    QTest::newRow("new note waits") << TInstanceCommand::NewNote << "";
    QTest::newRow("come forward waits") << TInstanceCommand::ComeForward << "";
    QTest::newRow("catalogue raises itself") << TInstanceCommand::Catalogue << "catalogue";
    QTest::newRow("settings above it") << TInstanceCommand::Settings << "settings";
    QTest::newRow("help above it") << TInstanceCommand::Help << "help";
    QTest::newRow("about above it") << TInstanceCommand::About << "about";
}

void TestTrayCommands::catalogueLetsUsableWindowsThrough()
{
    QFETCH(TInstanceCommand, command);
    QFETCH(QString, hook);
    Tfrm_Main form;
    CountHooks(form);
    form.TrayWatch->SetProbe([] { return false; });
    form.Timer1Timer();
    QDialog catalogue;
    catalogue.setObjectName(QStringLiteral("frm_Programok"));
    catalogue.setWindowModality(Qt::WindowModal);
    catalogue.show();
    QTRY_COMPARE(QApplication::activeModalWidget(), &catalogue);

    form.RunCommand(command);
    std::map<QString, int> expected;
    if (!hook.isEmpty())
        expected[hook] = 1;
    QCOMPARE(m_calls, expected);
    QCOMPARE(form.Tbl.CountRecords(), 0);
}

void TestTrayCommands::secondSettingsCommandOpensNoSecondDialog()
{
    Tfrm_Main form;
    CountHooks(form);
    form.Timer1Timer();
    int open = 0;
    int opened = 0;
    form.OnBeallit = [&] {
        ++open;
        ++opened;
        QDialog dialog;
        dialog.setObjectName(QStringLiteral("frm_Beallit"));
        dialog.setModal(true);
        // While it runs, the tray menu and the channel ask again.
        QTimer::singleShot(0, &dialog, [&] {
            form.aBeallit->trigger();
            form.RunCommand(TInstanceCommand::Settings);
            form.aUj->trigger();
            form.RunCommand(TInstanceCommand::NewNote);
            QCOMPARE(open, 1);
            dialog.accept();
        });
        dialog.exec();
        --open;
    };
    form.aBeallit->trigger();
    QCOMPARE(opened, 1);
    QCOMPARE(form.Tbl.CountRecords(), 0);
    // With the dialog closed the commands work again.
    form.RunCommand(TInstanceCommand::NewNote);
    QCOMPARE(form.Tbl.CountRecords(), 1);
}

void TestTrayCommands::secondStartWithoutTrayLeavesSomethingToActOn_data()
{
    QTest::addColumn<bool>("trayAvailable");
    QTest::addColumn<bool>("noteShown");
    QTest::addColumn<int>("notesAfter");
    QTest::newRow("no tray, no note: a new note") << false << false << 1;
    QTest::newRow("no tray, a note shown") << false << true << 0;
    QTest::newRow("tray, no note") << true << false << 0;
}

void TestTrayCommands::secondStartWithoutTrayLeavesSomethingToActOn()
{
    QFETCH(bool, trayAvailable);
    QFETCH(bool, noteShown);
    QFETCH(int, notesAfter);
    Tfrm_Main form;
    CountHooks(form);
    form.TrayWatch->SetProbe([trayAvailable] { return trayAvailable; });
    form.Timer1Timer();
    QWidget note;
    note.setObjectName(QStringLiteral("frm_Ablak"));
    if (noteShown)
        note.showMinimized();

    form.RunCommand(TInstanceCommand::ComeForward);
    QCOMPARE(form.Tbl.CountRecords(), notesAfter);
    if (noteShown)
        QVERIFY(!note.isMinimized());
}

void TestTrayCommands::leftClickBringsNotesForward()
{
    Tfrm_Main form;
    CountHooks(form);
    form.Timer1Timer();
    QWidget note;
    note.setObjectName(QStringLiteral("frm_Ablak"));
    note.showMinimized();

    emit form.Tray->activated(QSystemTrayIcon::Context);
    emit form.Tray->activated(QSystemTrayIcon::DoubleClick);
    QVERIFY(note.isMinimized());
    emit form.Tray->activated(QSystemTrayIcon::Trigger);
    QVERIFY(!note.isMinimized());
    QCOMPARE(form.Tbl.CountRecords(), 0);
}

void TestTrayCommands::startCommandRunsAfterTheNotesAreLoaded()
{
    Tfrm_Main form;
    CountHooks(form);
    form.SetStartCommand(TInstanceCommand::Settings);
    form.OnBeallit = [&] {
        ++m_calls["settings"];
        QVERIFY(form.Tbl.Active());
    };
    QTest::qWait(0);
    QCOMPARE(m_calls["settings"], 0);
    form.Timer1Timer();
    QTRY_COMPARE(m_calls["settings"], 1);
}

void TestTrayCommands::commandsDuringTheSplashWaitForTheNotes()
{
    Tfrm_Main form;
    CountHooks(form);
    form.TrayWatch->SetProbe([] { return false; });
    // A desktop action chosen twice quickly: the second copy's commands
    // arrive while the first still shows its splash and has no open table.
    form.RunCommand(TInstanceCommand::NewNote);
    form.RunCommand(TInstanceCommand::ComeForward);
    form.RunCommand(TInstanceCommand::Settings);
    for (int i = 0; i < 20; ++i)
        form.RunCommand(TInstanceCommand::About);
    QVERIFY(!form.Tbl.Active());
    QCOMPARE(m_calls, (std::map<QString, int>{}));

    form.Timer1Timer();
    QTRY_COMPARE(form.Tbl.CountRecords(), 1);
    // The flood is cut short; coming forward during the splash is dropped
    // (it would otherwise make a second note here, with no tray).
    QTRY_COMPARE(m_calls, (std::map<QString, int>{{"settings", 1}, {"about", 6}}));
    QCOMPARE(form.Tbl.CountRecords(), 1);
}

void TestTrayCommands::missingTrayIsToldOnceAndAppearingTrayGetsTheIcon()
{
    Tfrm_Main form;
    CountHooks(form);
    bool available = false;
    int probes = 0;
    form.TrayWatch->SetProbe([&] {
        ++probes;
        return available;
    });
    QSignalSpy missing(form.TrayWatch, &TTrayWatch::trayMissing);
    QSignalSpy appeared(form.TrayWatch, &TTrayWatch::trayAppeared);
    form.Timer1Timer();
    form.TrayWatch->Start(0, 10);

    QTRY_VERIFY(ShownTopLevel(QStringLiteral("NoTrayMessage")));
    const auto* box = qobject_cast<QMessageBox*>(ShownTopLevel(QStringLiteral("NoTrayMessage")));
    QVERIFY(box);
    QVERIFY(!box->isModal());
    QCOMPARE(box->textFormat(), Qt::PlainText);
    for (const char* part :
         {"értesítési terület", "gnome-shell-extension-appindicator", "AppIndicator",
          "jobb gombos menüjéből", "vikora --new-note", "vikora --settings", "vikora --quit"})
        QVERIFY2(box->text().contains(QString::fromUtf8(part)), part);

    // Still missing at the next looks: told only once.
    QTest::qWait(50);
    QCOMPARE(missing.count(), 1);

    // The tray appears: the icon goes into it, and the message has done its job.
    available = true;
    QTRY_COMPARE(appeared.count(), 1);
    QTRY_VERIFY(!ShownTopLevel(QStringLiteral("NoTrayMessage")));

    // Seen once, the tray is not looked for again.
    const int looks = probes;
    QTest::qWait(50);
    QCOMPARE(probes, looks);
}

QTEST_MAIN(TestTrayCommands)
#include "tst_tray_commands.moc"

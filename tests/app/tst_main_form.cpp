#include "app/main_form.h"
#include "notes/tulajdonsag.h"
#include "record/notes_table.h"
#include "seged/beall.h"
#include "seged/clock.h"
#include "seged/db_memo.h"
#include "seged/error_report.h"
#include "seged/globals.h"
#include "seged/message_boxes.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

class TestMainForm : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void errorReportAddsFullStop_data();
    void errorReportAddsFullStop();
    void menuHoldsEveryEntryInOrder();
    void fadeHidesSplashAtTheTwentyThirdTick();
    void startUpStepLoadsNotesAndStartsFade();
    void damagedNotesFileStopsStartUpStep();
    void exitWritesSettingsAndNotes();
    void exitBeforeTheNotesAreReadKeepsTheFile();
    void failedSettingsWriteKeepsProgramRunning();
    void failedSettingsWriteStillWritesTheNotes();
    void failedTableWriteKeepsTableOpen();
    void trayCommandsWaitForThePropertiesDialog();

private:
    void UseDataFolder(const QString& folder);
    std::unique_ptr<QTemporaryDir> m_dir;
    std::vector<TMessageBoxRequest> m_boxes;
};

void TestMainForm::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    UseDataFolder(m_dir->path() + "/data");
    m_boxes.clear();
    SetMessageBoxAnswerer([this](const TMessageBoxRequest& r) {
        m_boxes.push_back(r);
        return QMessageBox::Ok;
    });
    SetClockForTests([] { return QDateTime(QDate(2026, 12, 10), QTime(9, 0)); });
    Beall = TBeall{};
}

void TestMainForm::cleanup()
{
    SetMessageBoxAnswerer({});
    SetClockForTests({});
}

void TestMainForm::UseDataFolder(const QString& folder)
{
    qputenv("HOME", m_dir->path().toUtf8());
    qputenv("XDG_DATA_HOME", folder.toUtf8());
    ResolveGlobals(m_dir->path() + "/bin/vikora", QRect(0, 0, 1024, 768));
}

void TestMainForm::errorReportAddsFullStop_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");
    QTest::newRow("letter") << "Stream write error"
                            << "Stream write error.";
    QTest::newRow("already a full stop") << "Invalid locale."
                                         << "Invalid locale.";
    QTest::newRow("closing parenthesis sorts before") << "Unknown (x)"
                                                      << "Unknown (x)";
    QTest::newRow("quote sorts before") << "Cannot open \"x\""
                                        << "Cannot open \"x\"";
    QTest::newRow("digit sorts after") << "List index out of bounds (3"
                                       << "List index out of bounds (3.";
    QTest::newRow("accented letter") << "Hibás ő"
                                     << "Hibás ő.";
    QTest::newRow("empty") << ""
                           << "";
}

void TestMainForm::errorReportAddsFullStop()
{
    QFETCH(QString, message);
    QFETCH(QString, shown);
    QCOMPARE(ErrorReportText(message), shown);
    ShowErrorReport(message);
    QCOMPARE(m_boxes.back().Caption, QStringLiteral("Vikora"));
    QCOMPARE(m_boxes.back().Icon, QMessageBox::Critical);
    QCOMPARE(m_boxes.back().Text, shown);
}

void TestMainForm::menuHoldsEveryEntryInOrder()
{
    Tfrm_Main form;
    QStringList entries;
    for (QAction* action : form.PopupMenu1->actions())
        entries << (action->isSeparator() ? QStringLiteral("-") : action->text());
    QCOMPARE(entries, QStringList({"Új ablak készítés", "Beállítások", "-", "Súgó",
                                   "Zamolin honlapja", "Levélküldés Zamolinnak",
                                   "További letölthető programok", "Névjegy", "-", "Bezár"}));
    for (QAction* action : form.PopupMenu1->actions())
        QCOMPARE(action->toolTip(), action->text());
    QCOMPARE(form.Tray->toolTip(),
             QStringLiteral("VIKORA:\r\nKattints ide jobb gombbal a program beállításaihoz"));
    QVERIFY(!form.Tray->isVisible());
    QCOMPARE(form.size(), QSize(500, 375));
    QVERIFY(form.Timer1->isActive());
    QCOMPARE(form.Timer1->interval(), 2000);
    QVERIFY(!form.Timer2->isActive());
    QCOMPARE(form.Timer2->interval(), 21);

    // The splash is the picture's shape alone: no corner of the window and
    // no strip beside or below the 499 x 373 picture.
    const QRegion shape = form.mask();
    for (const QPoint outside : {QPoint(0, 0), QPoint(498, 0), QPoint(0, 372), QPoint(498, 372),
                                 QPoint(499, 200), QPoint(250, 373), QPoint(499, 374)})
        QVERIFY2(!shape.contains(outside),
                 qPrintable(QStringLiteral("%1,%2").arg(outside.x()).arg(outside.y())));
    for (const QPoint inside :
         {QPoint(250, 187), QPoint(20, 20), QPoint(498, 186), QPoint(250, 372), QPoint(0, 186)})
        QVERIFY(shape.contains(inside));
}

void TestMainForm::fadeHidesSplashAtTheTwentyThirdTick()
{
    Tfrm_Main form;
    form.show();
    for (int tick = 1; tick <= 22; ++tick) {
        form.Timer2Timer();
        QCOMPARE(form.SplashAlpha(), 255 - 10 * tick);
        QVERIFY(form.isVisible());
    }
    form.Timer2Timer();
    QVERIFY(!form.isVisible());
    QCOMPARE(form.SplashAlpha(), 255);
    QCOMPARE(form.windowOpacity(), 1.0);
}

void TestMainForm::startUpStepLoadsNotesAndStartsFade()
{
    Tfrm_Main form;
    int opened = 0;
    form.SetNoteWindowOpener([&](const TNote&, bool) { ++opened; });
    form.Timer1Timer();
    QVERIFY(!form.Timer1->isActive());
    QVERIFY(form.Timer2->isActive());
    QVERIFY(form.Tbl.Active());
    QCOMPARE(opened, 0);
    form.Store().aUjExecute();
    QCOMPARE(opened, 1);
}

void TestMainForm::damagedNotesFileStopsStartUpStep()
{
    QDir().mkpath(DataFolder);
    QFile file(DataFolder + "/Vikora.csv");
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("\"@@TABLEDEF START@@\"\r\n\"x=Variant,0\"\r\n");
    file.close();
    Tfrm_Main form;
    QVERIFY_THROWS_EXCEPTION(EMemTableError, form.Timer1Timer());
    QVERIFY(!form.Timer2->isActive());
}

void TestMainForm::exitWritesSettingsAndNotes()
{
    Tfrm_Main form;
    form.Timer1Timer();
    form.Store().aUjExecute();
    QVERIFY(form.RunExitSequence());
    QVERIFY(QFile::exists(SettingsFile));
    QVERIFY(QFile::exists(DataFolder + "/Vikora.csv"));
    QVERIFY(!form.Tbl.Active());
    QVERIFY(m_boxes.empty());
}

void TestMainForm::exitBeforeTheNotesAreReadKeepsTheFile()
{
    EnsureDataFolder();
    QFile notes(DataFolder + "/Vikora.csv");
    QVERIFY(notes.open(QIODevice::WriteOnly));
    notes.write("not read yet");
    notes.close();
    Tfrm_Main form;
    form.show();
    // The session ends during the splash, before the start-up step.
    QVERIFY(form.close());
    QVERIFY(m_boxes.empty());
    QVERIFY(QFile::exists(SettingsFile));
    QVERIFY(notes.open(QIODevice::ReadOnly));
    QCOMPARE(notes.readAll(), QByteArray("not read yet"));
}

void TestMainForm::failedSettingsWriteKeepsProgramRunning()
{
    // A file where the data folder should be: nothing can be written there.
    QFile blocker(m_dir->path() + "/blocked");
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    UseDataFolder(m_dir->path() + "/blocked");
    Tfrm_Main form;
    form.Timer1Timer();
    form.show();
    QVERIFY(!form.close());
    // The notes cannot be written either; the settings' failure is the one report.
    QCOMPARE(m_boxes.size(), size_t(1));
    QCOMPARE(m_boxes[0].Caption, QStringLiteral("Vikora"));
    QCOMPARE(m_boxes[0].Text, "Unable to write to " + SettingsFile + ".");
    QVERIFY(form.Tbl.Active());
    QVERIFY(form.isVisible());
}

void TestMainForm::failedSettingsWriteStillWritesTheNotes()
{
    Tfrm_Main form;
    form.Timer1Timer();
    form.Store().aUjExecute();
    QDir().mkpath(SettingsFile + "/inside");  // a folder in place of the settings file
    QVERIFY(!form.RunExitSequence());
    QCOMPARE(m_boxes.size(), size_t(1));
    QCOMPARE(m_boxes[0].Text, "Unable to write to " + SettingsFile + ".");
    QVERIFY(QFile::exists(DataFolder + "/Vikora.csv"));
    QVERIFY(form.Tbl.Active());

    // Once the settings file can be written, the exit completes.
    QVERIFY(QDir(SettingsFile).removeRecursively());
    m_boxes.clear();
    QVERIFY(form.RunExitSequence());
    QVERIFY(m_boxes.empty());
    QVERIFY(!form.Tbl.Active());
}

void TestMainForm::failedTableWriteKeepsTableOpen()
{
    Tfrm_Main form;
    form.Timer1Timer();
    QDir().mkpath(DataFolder + "/Vikora.csv/inside");  // a folder in place of the file
    QVERIFY(!form.RunExitSequence());
    QCOMPARE(m_boxes.size(), size_t(1));
    QVERIFY(QFile::exists(SettingsFile));
    QVERIFY(form.Tbl.Active());
    QVERIFY(QFileInfo(DataFolder + "/Vikora.csv").isDir());
}

void TestMainForm::trayCommandsWaitForThePropertiesDialog()
{
    Tfrm_Main form;
    form.Timer1Timer();
    form.aUj->trigger();
    SetPropertiesRunnerForTests([&](Tfrm_Tulajdonsag& d) {
        QTest::sendKeyEvent(QTest::KeyAction::Click, d.DBMemo1, Qt::Key_unknown, "x",
                            Qt::NoModifier);
        // "Új ablak készítés" in the tray menu waits for the dialog.
        form.aUj->trigger();
        QCOMPARE(form.Tbl.CountRecords(), 1);
        QCOMPARE(form.Tbl.State(), dsEdit);
        // "Bezár": the dialog gives way (as cancelled), the new note is made
        // and written with the rest.
        QVERIFY(form.RunExitSequence());
        QVERIFY(d.Abandoned());
        QVERIFY(!form.Tbl.Active());
    });
    QVERIFY(!form.Store().EditProperties(form.DataSource1, 0).has_value());
    SetPropertiesRunnerForTests({});

    TqorMemTable written("Tbl");
    written.DefaultFormat = &form.qorCSVStreamFormat1;
    written.ReadFromFile((DataFolder + "/Vikora.csv").toStdString());
    QCOMPARE(written.CountRecords(), 2);
    QVERIFY(IsNull(written.GetValue(NoteField::szoveg)));
    QVERIFY(m_boxes.empty());
}

QTEST_MAIN(TestMainForm)
#include "tst_main_form.moc"

#include "seged/beall.h"
#include "seged/globals.h"
#include "seged_test_support.h"

#include <QFileInfo>
#include <QTest>

class TestDataFolder : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void resolve_data();
    void resolve();
    void portableCopyCreatesNoOtherFolder();
    void dataFolderCreatedPrivateOnFirstWrite();

private:
    std::unique_ptr<TPrivateHome> m_home;
    std::unique_ptr<QTemporaryDir> m_programs;
};

void TestDataFolder::initTestCase()
{
    m_home = std::make_unique<TPrivateHome>();
    QVERIFY(m_home->IsValid());
}

void TestDataFolder::init()
{
    m_programs = std::make_unique<QTemporaryDir>();
    QVERIFY(m_programs->isValid());
}

void TestDataFolder::cleanup()
{
    qputenv("HOME", QFile::encodeName(m_home->Home()));
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_home->DataHome()));
}

void TestDataFolder::resolve_data()
{
    // Paths may name "<home>" and "<programs>"; an environment value "<unset>"
    // removes the variable.
    QTest::addColumn<QString>("home");
    QTest::addColumn<QString>("dataHome");
    QTest::addColumn<QString>("program");
    QTest::addColumn<bool>("portable");
    QTest::addColumn<QString>("exeFolder");
    QTest::addColumn<QString>("dataFolder");

    QTest::newRow("XDG_DATA_HOME") << "<home>"
                                   << "/srv/data"
                                   << "<programs>/Bin/vikora" << false << "<programs>/Bin"
                                   << "/srv/data/Vikora";
    QTest::newRow("XDG_DATA_HOME with trailing slash")
        << "<home>"
        << "/srv//data/"
        << "<programs>/Bin/vikora" << false << "<programs>/Bin"
        << "/srv/data/Vikora";
    QTest::newRow("XDG_DATA_HOME unset") << "<home>"
                                         << "<unset>"
                                         << "<programs>/Bin/vikora" << false << "<programs>/Bin"
                                         << "<home>/.local/share/Vikora";
    QTest::newRow("XDG_DATA_HOME relative") << "<home>"
                                            << "data"
                                            << "<programs>/Bin/vikora" << false << "<programs>/Bin"
                                            << "<home>/.local/share/Vikora";
    QTest::newRow("no home at all") << "<unset>"
                                    << "<unset>"
                                    << "<programs>/Bin/vikora" << false << "<programs>/Bin"
                                    << "<programs>/Bin";
    QTest::newRow("relative home") << "home"
                                   << ""
                                   << "<programs>/Bin/vikora" << false << "<programs>/Bin"
                                   << "<programs>/Bin";
    QTest::newRow("portable") << "<home>"
                              << "/srv/data"
                              << "<programs>/Bin/vikora" << true << "<programs>/Bin"
                              << "<programs>/Bin";
    QTest::newRow("case and dots of the path")
        << "<home>"
        << "/srv/data"
        << "<programs>/Mixed Case/./Bin/../vikora" << true << "<programs>/Mixed Case"
        << "<programs>/Mixed Case";
}

void TestDataFolder::resolve()
{
    QFETCH(QString, home);
    QFETCH(QString, dataHome);
    QFETCH(QString, program);
    QFETCH(bool, portable);
    QFETCH(QString, exeFolder);
    QFETCH(QString, dataFolder);

    const auto expand = [this](QString text) {
        return text.replace("<home>", m_home->Home()).replace("<programs>", m_programs->path());
    };
    const auto setEnvironment = [&](const char* name, const QString& value) {
        if (value == "<unset>")
            qunsetenv(name);
        else
            qputenv(name, QFile::encodeName(expand(value)));
    };
    setEnvironment("HOME", home);
    setEnvironment("XDG_DATA_HOME", dataHome);
    const QString programPath = expand(program);
    QVERIFY(QDir().mkpath(QFileInfo(programPath).path()));
    if (portable)
        QVERIFY(WriteBytes(QFileInfo(programPath).path() + "/Vikora.ini", ""));

    HighlightColor = 0;
    const QRect workArea(0, 0, 1024, 740);
    ResolveGlobals(programPath, workArea);
    QCOMPARE(ExeFolder, expand(exeFolder));
    QCOMPARE(DataFolder, expand(dataFolder));
    QCOMPARE(SettingsFile, expand(dataFolder) + "/Vikora.ini");
    QCOMPARE(WorkArea, workArea);
    QCOMPARE(HighlightColor, 0x00B9FFFFu);
}

void TestDataFolder::portableCopyCreatesNoOtherFolder()
{
    const QString bin = m_programs->filePath("bin");
    QVERIFY(QDir().mkpath(bin));
    QVERIFY(WriteBytes(bin + "/Vikora.ini", ""));

    ResolveGlobals(bin + "/vikora", QRect(0, 0, 800, 600));
    QCOMPARE(DataFolder, bin);
    EnsureDataFolder();
    SaveDefaults(TBeall{}, SettingsFile);

    QVERIFY(ReadBytes(bin + "/Vikora.ini").startsWith("[Defaults]\r\nColor=8421631\r\n"));
    QVERIFY(!QFileInfo::exists(m_home->DataHome()));
    QCOMPARE(QDir(bin).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{"Vikora.ini"});
}

void TestDataFolder::dataFolderCreatedPrivateOnFirstWrite()
{
    const QString dataHome = m_programs->filePath("deep/data");
    qputenv("XDG_DATA_HOME", QFile::encodeName(dataHome));

    ResolveGlobals(m_programs->filePath("vikora"), QRect());
    QCOMPARE(DataFolder, dataHome + "/Vikora");
    QVERIFY(!QFileInfo::exists(m_programs->filePath("deep")));

    EnsureDataFolder();
    for (const QString& folder : {m_programs->filePath("deep"), dataHome, DataFolder})
        QCOMPARE(PermissionsOf(folder), 0700u);
    EnsureDataFolder();  // an existing folder is fine

    // An existing folder keeps its permissions.
    QVERIFY(QFile::setPermissions(DataFolder, QFile::ReadOwner | QFile::WriteOwner |
                                                  QFile::ExeOwner | QFile::ReadGroup |
                                                  QFile::ExeGroup));
    EnsureDataFolder();
    QCOMPARE(PermissionsOf(DataFolder), 0750u);
}

QTEST_GUILESS_MAIN(TestDataFolder)
#include "tst_data_folder.moc"

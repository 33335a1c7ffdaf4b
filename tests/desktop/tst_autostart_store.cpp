#include "desktop/autostart_store.h"
#include "tests/file_test_support.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <future>
#include <memory>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Every path below the folder, with a trailing "/" on folders.
QStringList TreeOf(const QString& folder)
{
    QStringList paths;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        paths << it.filePath().mid(folder.size()) + (it.fileInfo().isDir() ? "/" : "");
    }
    paths.sort();
    return paths;
}

// The read's error (the name read, the file found, the message), or what
// came back instead. A read that hangs (a FIFO opened for reading waits for a
// writer) fails the test instead of blocking it.
QString ReadOutcome(const QString& name, const QString& pathToRelease = {})
{
    auto read = std::async(std::launch::async, [name]() -> QString {
        try {
            return "value: " + ReadAutostartEntry(name);
        } catch (const EAutostartEntryUnreadable& error) {
            return error.Name() + " | " + error.Path() + " | " +
                   QString::fromStdString(error.what());
        } catch (const std::exception& error) {
            return "unexpected exception: " + QString::fromStdString(error.what());
        }
    });
    if (read.wait_for(std::chrono::seconds(5)) == std::future_status::timeout) {
        // Give the FIFO a writer so that the blocked read can end.
        const int fd = ::open(QFile::encodeName(pathToRelease).constData(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0)
            ::close(fd);
        read.wait();
        return "blocked";
    }
    return read.get();
}

}  // namespace

class TestAutostartStore : public QObject {
    Q_OBJECT

private slots:
    void init();

    void readOfMissingEntryIsEmptyAndCreatesNothing_data();
    void readOfMissingEntryIsEmptyAndCreatesNothing();
    void writeThenRead_data();
    void writeThenRead();
    void writeCreatesPrivateFolders();
    void writeReplacesEntryAndClearsLeftovers();
    void configFolderFallsBackToHome_data();
    void configFolderFallsBackToHome();
    void readsEntriesWrittenElsewhere_data();
    void readsEntriesWrittenElsewhere();
    void unreadableEntryRaises_data();
    void unreadableEntryRaises();
    void removeDeletesEveryCaseOfTheName();
    void removeIgnoresWhatIsMissing();
    void writeFailureReturnsFalse_data();
    void writeFailureReturnsFalse();
    void writeOnReadOnlyFileSystemKeepsOldEntry();

private:
    QString ConfigHome() const { return m_home->path() + "/config"; }
    QString AutostartFolder() const { return ConfigHome() + "/autostart"; }
    QString Entry(const QString& fileName = "Vikora.desktop") const
    {
        return AutostartFolder() + "/" + fileName;
    }

    std::unique_ptr<QTemporaryDir> m_home;
};

void TestAutostartStore::init()
{
    m_home = std::make_unique<QTemporaryDir>();
    QVERIFY(m_home->isValid());
    qputenv("HOME", QFile::encodeName(m_home->path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(ConfigHome()));
}

void TestAutostartStore::readOfMissingEntryIsEmptyAndCreatesNothing_data()
{
    QTest::addColumn<QStringList>("folders");
    QTest::addColumn<QString>("autostartFile");  // content of a file standing in for the folder

    QTest::newRow("no config folder") << QStringList{} << QString();
    QTest::newRow("no autostart folder") << QStringList{"config"} << QString();
    QTest::newRow("other entries only")
        << QStringList{"config", "config/autostart", "config/autostart/Vikora.desktop.d"}
        << QString();
    QTest::newRow("autostart is a file") << QStringList{"config"} << QString("[Desktop Entry]\n");
}

void TestAutostartStore::readOfMissingEntryIsEmptyAndCreatesNothing()
{
    QFETCH(QStringList, folders);
    QFETCH(QString, autostartFile);

    for (const QString& folder : folders)
        QVERIFY(QDir(m_home->path()).mkdir(folder));
    if (!autostartFile.isNull())
        QVERIFY(WriteBytes(AutostartFolder(), autostartFile.toUtf8()));
    const QStringList before = TreeOf(m_home->path());

    QCOMPARE(ReadAutostartEntry("vikora"), QString());
    QCOMPARE(TreeOf(m_home->path()), before);
}

void TestAutostartStore::writeThenRead_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("execLine");  // as the desktop's launcher reads it

    QTest::newRow("plain") << "/usr/bin/vikora"
                           << "Exec=/usr/bin/vikora";
    QTest::newRow("blanks") << "/home/user/My Programs/Vikora"
                            << R"(Exec="/home/user/My Programs/Vikora")";
    QTest::newRow("percent is not a field code") << "/opt/100%/vikora"
                                                 << "Exec=/opt/100%%/vikora";
    QTest::newRow("percent in quotes") << "/opt/100 %f/vikora"
                                       << R"(Exec="/opt/100 %%f/vikora")";
    QTest::newRow("double quote") << R"(/tmp/a"b/vikora)"
                                  << R"(Exec="/tmp/a\\"b/vikora")";
    QTest::newRow("backslash and dollar") << R"(/tmp/a\b$c/vikora)"
                                          << R"(Exec="/tmp/a\\\\b\\$c/vikora")";
    QTest::newRow("single quote and backtick") << "/tmp/it's`x`/vikora"
                                               << R"(Exec="/tmp/it's\\`x\\`/vikora")";
    QTest::newRow("leading blank") << " /vikora"
                                   << R"(Exec=" /vikora")";
    QTest::newRow("non-ASCII") << "/home/józsef/Asztal/vikora őz"
                               << R"(Exec="/home/józsef/Asztal/vikora őz")";
}

void TestAutostartStore::writeThenRead()
{
    QFETCH(QString, path);
    QFETCH(QString, execLine);

    QVERIFY(WriteAutostartEntry("Vikora", path));

    // The dialog reads with the lower-case name.
    QCOMPARE(ReadAutostartEntry("vikora"), path);
    QCOMPARE(ReadAutostartEntry("Vikora"), path);

    const QStringList lines = QString::fromUtf8(ReadBytes(Entry())).split('\n');
    QCOMPARE(lines.first(), "[Desktop Entry]");
    QVERIFY2(lines.contains(execLine), qPrintable(lines.join('\n')));
    for (const char* line :
         {"Type=Application", "Name=Vikora", "Name[hu]=Vikora", "X-GNOME-Autostart-enabled=true"})
        QVERIFY2(lines.contains(line), line);
    QCOMPARE(TreeOf(AutostartFolder()), QStringList{"/Vikora.desktop"});
}

void TestAutostartStore::writeCreatesPrivateFolders()
{
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home->path() + "/a/b"));

    QVERIFY(WriteAutostartEntry("Vikora", "/usr/bin/vikora"));

    QCOMPARE(ReadAutostartEntry("Vikora"), "/usr/bin/vikora");
    QCOMPARE(PermissionsOf(m_home->path() + "/a"), 0700u);
    QCOMPARE(PermissionsOf(m_home->path() + "/a/b/autostart"), 0700u);
    QCOMPARE(PermissionsOf(m_home->path() + "/a/b/autostart/Vikora.desktop"), 0644u);
}

void TestAutostartStore::writeReplacesEntryAndClearsLeftovers()
{
    QVERIFY(QDir().mkpath(AutostartFolder()));
    QVERIFY(WriteBytes(Entry("vikora.desktop"), "[Desktop Entry]\nExec=/old/vikora\n"));
    QVERIFY(WriteBytes(Entry("Vikora.desktop.a1B2c3.tmp"), "half written"));
    QVERIFY(WriteBytes(Entry("Other.desktop"), "[Desktop Entry]\nExec=/usr/bin/other\n"));
    QCOMPARE(ReadAutostartEntry("Vikora"), "/old/vikora");

    QVERIFY(WriteAutostartEntry("Vikora", "/new/vikora"));

    QCOMPARE(ReadAutostartEntry("vikora"), "/new/vikora");
    QCOMPARE(TreeOf(AutostartFolder()), (QStringList{"/Other.desktop", "/Vikora.desktop"}));
}

void TestAutostartStore::configFolderFallsBackToHome_data()
{
    QTest::addColumn<QByteArray>("configHome");

    QTest::newRow("unset") << QByteArray();
    QTest::newRow("empty") << QByteArray("");
    QTest::newRow("relative") << QByteArray("config");
}

void TestAutostartStore::configFolderFallsBackToHome()
{
    QFETCH(QByteArray, configHome);
    if (configHome.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", configHome);

    QVERIFY(WriteAutostartEntry("Vikora", "/usr/bin/vikora"));

    QCOMPARE(TreeOf(m_home->path()), (QStringList{"/.config/", "/.config/autostart/",
                                                  "/.config/autostart/Vikora.desktop"}));
    QCOMPARE(ReadAutostartEntry("vikora"), "/usr/bin/vikora");
}

void TestAutostartStore::readsEntriesWrittenElsewhere_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("value");

    QTest::newRow("blanks around '=', comments, CRLF")
        << QByteArray("# made by hand\r\n\r\n[Desktop Entry]\r\nType=Application\r\n"
                      "Exec = /usr/bin/vikora\r\n")
        << "/usr/bin/vikora";
    QTest::newRow("first Exec of the entry group wins")
        << QByteArray("[Desktop Entry]\nExec=/a\nExec=/b\n[Desktop Action x]\nExec=/c\n") << "/a";
    QTest::newRow("backslash-escaped blank outside quotes")
        << QByteArray("[Desktop Entry]\nExec=/My\\\\ Programs/vikora\n") << "/My Programs/vikora";
    QTest::newRow("arguments: the command line as it stands")
        << QByteArray("[Desktop Entry]\nExec=/usr/bin/vikora --hidden\n")
        << "/usr/bin/vikora --hidden";
    QTest::newRow("field code: the command line as it stands")
        << QByteArray("[Desktop Entry]\nExec=/usr/bin/vikora %U\n") << "/usr/bin/vikora %U";
    QTest::newRow("unclosed quote: the command line as it stands")
        << QByteArray("[Desktop Entry]\nExec=\"/usr/bin/vikora\n") << "\"/usr/bin/vikora";
    QTest::newRow("empty Exec") << QByteArray("[Desktop Entry]\nExec=\n") << "";
    QTest::newRow("hidden: the desktop does not start it")
        << QByteArray("[Desktop Entry]\nExec=/usr/bin/vikora\nHidden=true\n") << "";
    QTest::newRow("switched off in GNOME")
        << QByteArray("[Desktop Entry]\nExec=/usr/bin/vikora\nX-GNOME-Autostart-enabled=false\n")
        << "";
}

void TestAutostartStore::readsEntriesWrittenElsewhere()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, value);
    QVERIFY(QDir().mkpath(AutostartFolder()));
    QVERIFY(WriteBytes(Entry(), content));

    QCOMPARE(ReadAutostartEntry("vikora"), value);
}

void TestAutostartStore::unreadableEntryRaises_data()
{
    QTest::addColumn<QString>("kind");  // "file", "folder", "fifo", "dangling link"
    QTest::addColumn<QByteArray>("content");

    QTest::newRow("binary garbage") << "file" << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
    QTest::newRow("invalid UTF-8") << "file" << QByteArray("[Desktop Entry]\nExec=/a\xff\n");
    QTest::newRow("empty file") << "file" << QByteArray();
    QTest::newRow("other group first")
        << "file" << QByteArray("[Other]\n[Desktop Entry]\nExec=/a\n");
    QTest::newRow("key before any group") << "file" << QByteArray("Exec=/a\n[Desktop Entry]\n");
    QTest::newRow("line without '='") << "file" << QByteArray("[Desktop Entry]\nExec /a\n");
    QTest::newRow("no Exec") << "file" << QByteArray("[Desktop Entry]\nType=Application\n");
    QTest::newRow("Exec only in another group")
        << "file" << QByteArray("[Desktop Entry]\nType=Application\n[Desktop Action a]\nExec=/a\n");
    QTest::newRow("too large") << "file"
                               << "[Desktop Entry]\nExec=/a\nComment=" + QByteArray(70000, 'x') +
                                      "\n";
    QTest::newRow("folder") << "folder" << QByteArray();
    QTest::newRow("FIFO") << "fifo" << QByteArray();
    QTest::newRow("dangling link") << "dangling link" << QByteArray();
}

void TestAutostartStore::unreadableEntryRaises()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, content);
    QVERIFY(QDir().mkpath(AutostartFolder()));
    // Stored under another case than the one read.
    const QString entry = Entry("Vikora.desktop");
    if (kind == "file")
        QVERIFY(WriteBytes(entry, content));
    else if (kind == "folder")
        QVERIFY(QDir().mkdir(entry));
    else if (kind == "fifo")
        QCOMPARE(::mkfifo(QFile::encodeName(entry).constData(), 0600), 0);
    else
        QVERIFY(QFile::link(m_home->path() + "/gone", entry));

    QCOMPARE(ReadOutcome("vikora", entry),
             "vikora | " + entry + " | Not a desktop entry with a command line: " + entry);
}

void TestAutostartStore::removeDeletesEveryCaseOfTheName()
{
    QVERIFY(WriteAutostartEntry("Vikora", "/usr/bin/vikora"));
    QVERIFY(WriteBytes(Entry("VIKORA.desktop"), "[Desktop Entry]\nExec=/x\n"));
    QVERIFY(WriteBytes(Entry("Other.desktop"), "[Desktop Entry]\nExec=/usr/bin/other\n"));

    RemoveAutostartEntry("Vikora");

    QCOMPARE(TreeOf(AutostartFolder()), QStringList{"/Other.desktop"});
    QCOMPARE(ReadAutostartEntry("vikora"), QString());
}

void TestAutostartStore::removeIgnoresWhatIsMissing()
{
    RemoveAutostartEntry("Vikora");
    QCOMPARE(TreeOf(m_home->path()), QStringList{});

    QVERIFY(QDir().mkpath(AutostartFolder()));
    RemoveAutostartEntry("Vikora");
    QCOMPARE(TreeOf(AutostartFolder()), QStringList{});
}

void TestAutostartStore::writeFailureReturnsFalse_data()
{
    QTest::addColumn<QString>("blocker");  // a file put where a folder belongs, or a folder
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");

    QTest::newRow("file in place of the autostart folder") << "autostart"
                                                           << "Vikora"
                                                           << "/v";
    QTest::newRow("file in place of the config folder") << "config"
                                                        << "Vikora"
                                                        << "/v";
    QTest::newRow("folder in place of the entry") << "entry folder"
                                                  << "Vikora"
                                                  << "/v";
    QTest::newRow("empty command") << ""
                                   << "Vikora"
                                   << "";
    QTest::newRow("name that is no file name") << ""
                                               << "../Vikora"
                                               << "/v";
}

void TestAutostartStore::writeFailureReturnsFalse()
{
    QFETCH(QString, blocker);
    QFETCH(QString, name);
    QFETCH(QString, text);
    if (blocker == "autostart") {
        QVERIFY(QDir().mkpath(ConfigHome()));
        QVERIFY(WriteBytes(AutostartFolder(), "not a folder"));
    } else if (blocker == "config") {
        QVERIFY(WriteBytes(ConfigHome(), "not a folder"));
    } else if (blocker == "entry folder") {
        QVERIFY(QDir().mkpath(Entry()));
    }
    const QStringList before = TreeOf(m_home->path());

    QVERIFY(!WriteAutostartEntry(name, text));

    QCOMPARE(TreeOf(m_home->path()), before);
}

void TestAutostartStore::writeOnReadOnlyFileSystemKeepsOldEntry()
{
    QVERIFY(QDir().mkpath(AutostartFolder()));
    const QByteArray folder = QFile::encodeName(AutostartFolder());
    if (::mount("tmpfs", folder.constData(), "tmpfs", 0, "size=64k") != 0)
        QSKIP(qPrintable("cannot mount a tmpfs here: " + QString(std::strerror(errno))));
    const auto unmount = qScopeGuard([&] { ::umount2(folder.constData(), MNT_DETACH); });
    QVERIFY(WriteAutostartEntry("Vikora", "/old/vikora"));
    QCOMPARE(::mount(nullptr, folder.constData(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0);

    QVERIFY(!WriteAutostartEntry("Vikora", "/new/vikora"));

    QCOMPARE(ReadAutostartEntry("vikora"), "/old/vikora");
}

QTEST_GUILESS_MAIN(TestAutostartStore)
#include "tst_autostart_store.moc"

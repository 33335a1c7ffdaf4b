#include "files/atomic_write.h"
#include "tests/file_test_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>

#include <sys/stat.h>
#include <unistd.h>

// A symbolic link is written through: the file it leads to is replaced in
// its own folder, the link stays, and the backup beside the link is a file
// of its own holding the previous content.

namespace {

QString LinkText(const QString& path)
{
    char buffer[4096];
    const ssize_t size = ::readlink(QFile::encodeName(path).constData(), buffer, sizeof buffer);
    return size < 0 ? QString() : QString::fromLocal8Bit(buffer, size);
}

bool SameFile(const QString& a, const QString& b)
{
    struct stat first { };
    struct stat second { };
    return ::stat(QFile::encodeName(a).constData(), &first) == 0 &&
           ::stat(QFile::encodeName(b).constData(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

}  // namespace

class TAtomicWriteTest : public QObject {
    Q_OBJECT

private slots:
    void init();

    void linkIsWrittenThrough_data();
    void linkIsWrittenThrough();
    void linkLoopIsCreateFailureAndChangesNothing();
    void linkToSomethingElseThanAFileIsReplaced();
    void plainFileBackupIsTheOldFile();
    void staleTempFilesGoBesideLinkAndTarget();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString Path(const QString& name) const { return m_dir->filePath(name); }
};

void TAtomicWriteTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QVERIFY(QDir(m_dir->path()).mkpath("data"));
    QVERIFY(QDir(m_dir->path()).mkpath("synced/sub"));
}

void TAtomicWriteTest::linkIsWrittenThrough_data()
{
    QTest::addColumn<QStringList>("links");  // link name, then what it points at, ...
    QTest::addColumn<QString>("target");  // the file the chain ends at
    QTest::addColumn<bool>("targetExists");

    QTest::newRow("absolute link to another folder")
        << QStringList{"data/Vikora.csv", "@synced/Vikora.csv"} << "synced/Vikora.csv" << true;
    QTest::newRow("relative link to another folder")
        << QStringList{"data/Vikora.csv", "../synced/sub/notes.csv"} << "synced/sub/notes.csv"
        << true;
    QTest::newRow("relative link in the same folder")
        << QStringList{"data/Vikora.csv", "real.csv"} << "data/real.csv" << true;
    QTest::newRow("chain of two links") << QStringList{"data/Vikora.csv", "@synced/middle.csv",
                                                       "synced/middle.csv", "sub/notes.csv"}
                                        << "synced/sub/notes.csv" << true;
    QTest::newRow("link to a file not made yet")
        << QStringList{"data/Vikora.csv", "@synced/Vikora.csv"} << "synced/Vikora.csv" << false;
}

void TAtomicWriteTest::linkIsWrittenThrough()
{
    QFETCH(QStringList, links);
    QFETCH(QString, target);
    QFETCH(bool, targetExists);

    for (qsizetype i = 0; i + 1 < links.size(); i += 2) {
        QString pointsAt = links[i + 1];
        if (pointsAt.startsWith('@'))
            pointsAt = Path(pointsAt.mid(1));
        QVERIFY(::symlink(qPrintable(pointsAt), qPrintable(Path(links[i]))) == 0);
        QCOMPARE(LinkText(Path(links[i])), pointsAt);
    }
    const QString link = Path(links[0]);
    const QString linkText = LinkText(link);
    if (targetExists)
        QVERIFY(WriteBytes(Path(target), "old"));

    ReplaceFileAtomically(Std(link), "new", {.keepBackup = true});

    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(LinkText(link), linkText);
    QCOMPARE(ReadBytes(Path(target)), QByteArray("new"));
    QVERIFY(SameFile(link, Path(target)));
    const QString backup = link + ".bak";
    if (targetExists) {
        QVERIFY(!QFileInfo(backup).isSymLink());
        QCOMPARE(ReadBytes(backup), QByteArray("old"));
        QVERIFY(!SameFile(backup, Path(target)));
    } else {
        QVERIFY(!QFileInfo::exists(backup));
    }
    // Nothing left over in either folder.
    for (const QString& folder : {QFileInfo(link).path(), QFileInfo(Path(target)).path()}) {
        for (const QString& name : FilesIn(folder))
            QVERIFY2(!name.endsWith(".tmp"), qPrintable(name));
    }

    // The next save moves the backup on, and it stays a copy.
    ReplaceFileAtomically(Std(link), "newer", {.keepBackup = true});
    QCOMPARE(ReadBytes(link), QByteArray("newer"));
    QCOMPARE(ReadBytes(backup), QByteArray("new"));
    QVERIFY(QFileInfo(link).isSymLink());
}

void TAtomicWriteTest::linkLoopIsCreateFailureAndChangesNothing()
{
    const QString a = Path("data/Vikora.csv");
    const QString b = Path("data/other.csv");
    QVERIFY(::symlink(qPrintable(b), qPrintable(a)) == 0);
    QVERIFY(::symlink(qPrintable(a), qPrintable(b)) == 0);
    const QStringList before = FilesIn(Path("data"));
    try {
        ReplaceFileAtomically(Std(a), "new", {.keepBackup = true});
        QFAIL("no failure reported");
    } catch (const EAtomicWriteFailed& failure) {
        QCOMPARE(failure.Step, EAtomicWriteFailed::TStep::CreateTemp);
        QCOMPARE(failure.Error, ELOOP);
    }
    QCOMPARE(FilesIn(Path("data")), before);
    QCOMPARE(LinkText(a), b);
}

void TAtomicWriteTest::linkToSomethingElseThanAFileIsReplaced()
{
    // A FIFO stands for a device: what the link leads to is never replaced.
    const QString fifo = Path("synced/fifo");
    QVERIFY(::mkfifo(qPrintable(fifo), 0600) == 0);
    const QString link = Path("data/Vikora.csv");
    QVERIFY(::symlink(qPrintable(fifo), qPrintable(link)) == 0);
    ReplaceFileAtomically(Std(link), "new", {.keepBackup = true});
    QVERIFY(!QFileInfo(link).isSymLink());
    QCOMPARE(ReadBytes(link), QByteArray("new"));
    struct stat info { };
    QVERIFY(::lstat(qPrintable(fifo), &info) == 0 && S_ISFIFO(info.st_mode));
    QCOMPARE(FilesIn(Path("synced")), QStringList{"fifo"});
}

void TAtomicWriteTest::plainFileBackupIsTheOldFile()
{
    const QString path = Path("data/Vikora.csv");
    QVERIFY(WriteBytes(path, "old"));
    ReplaceFileAtomically(Std(path), "new", {.keepBackup = true, .mode = 0640});
    QVERIFY(!QFileInfo(path).isSymLink());
    QCOMPARE(ReadBytes(path), QByteArray("new"));
    QCOMPARE(ReadBytes(path + ".bak"), QByteArray("old"));
    QCOMPARE(FilesIn(Path("data")), (QStringList{"Vikora.csv", "Vikora.csv.bak"}));
}

void TAtomicWriteTest::staleTempFilesGoBesideLinkAndTarget()
{
    const QString link = Path("data/Vikora.csv");
    QVERIFY(::symlink(qPrintable(Path("synced/notes.csv")), qPrintable(link)) == 0);
    const QStringList stale = {"data/Vikora.csv.Ab12Cd.tmp", "synced/notes.csv.zz99ZZ.tmp"};
    const QStringList kept = {"synced/Vikora.csv.Ab12Cd.tmp", "data/notes.csv.Ab12Cd.tmp",
                              "synced/notes.csv.bak"};
    for (const QString& name : stale + kept)
        QVERIFY(WriteBytes(Path(name), "x"));
    RemoveStaleTempFiles(Std(link));
    for (const QString& name : stale)
        QVERIFY2(!QFile::exists(Path(name)), qPrintable(name));
    for (const QString& name : kept)
        QVERIFY2(QFile::exists(Path(name)), qPrintable(name));
}

QTEST_GUILESS_MAIN(TAtomicWriteTest)
#include "tst_atomic_write.moc"

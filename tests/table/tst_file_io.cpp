#include "table/errors.h"
#include "table/file_io.h"
#include "tests/file_test_support.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>
#include <string>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A 64 KiB tmpfs over `folder` while the object lives. Needs root.
class TSmallTmpfs {
public:
    explicit TSmallTmpfs(const QString& folder) : Folder(Std(folder))
    {
        Mounted = ::mount("tmpfs", Folder.c_str(), "tmpfs", 0, "size=64k") == 0;
        if (!Mounted)
            Error = std::strerror(errno);
    }
    ~TSmallTmpfs()
    {
        if (Mounted)
            ::umount2(Folder.c_str(), MNT_DETACH);
    }
    TSmallTmpfs(const TSmallTmpfs&) = delete;
    TSmallTmpfs& operator=(const TSmallTmpfs&) = delete;

    bool IsMounted() const { return Mounted; }
    const char* MountError() const { return Error; }
    bool RemountReadOnly()
    {
        return ::mount("tmpfs", Folder.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, "size=64k") == 0;
    }

private:
    std::string Folder;
    bool Mounted = false;
    const char* Error = "";
};

}  // namespace

class TFileIoTest : public QObject {
    Q_OBJECT

private slots:
    void replaceKeepsContentAndMode_data();
    void replaceKeepsContentAndMode();
    void backupHoldsPreviousVersion();
    void backupThatAlreadyIsTheCurrentFile();
    void missingFolderIsCreateError();
    void diskFullKeepsOldFile();
    void readOnlyFolderIsCreateErrorAndKeepsOldFile();
    void readerRefuses_data();
    void readerRefuses();
    void readerReadsInChunksUpToTheSizeLimit();
    void removeStaleTempFilesSparesOtherFiles();
};

void TFileIoTest::replaceKeepsContentAndMode_data()
{
    QTest::addColumn<bool>("hadOldFile");
    QTest::addColumn<QByteArray>("content");

    QTest::newRow("new file") << false << QByteArray("first note\r\n");
    QTest::newRow("longer file replaced by shorter") << true << QByteArray("x");
    QTest::newRow("empty content") << true << QByteArray();
    QTest::newRow("zero bytes inside") << true << QByteArray("a\0b\0\xff", 5);
    QTest::newRow("3 MiB") << true << QByteArray(3 << 20, 'n');
}

void TFileIoTest::replaceKeepsContentAndMode()
{
    QFETCH(bool, hadOldFile);
    QFETCH(QByteArray, content);
    QTemporaryDir dir;
    const QString target = dir.filePath("Vikora.csv");
    if (hadOldFile) {
        QVERIFY(WriteBytes(target, QByteArray(100, 'o')));
        QVERIFY(::chmod(Std(target).c_str(), 0644) == 0);
    }

    WriteFileAtomically(Std(target), std::string_view(content.constData(), content.size()));

    QCOMPARE(ReadBytes(target), content);
    QCOMPARE(PermissionsOf(target), 0600u);
    QCOMPARE(FilesIn(dir.path()), QStringList{"Vikora.csv"});
}

void TFileIoTest::backupHoldsPreviousVersion()
{
    QTemporaryDir dir;
    const QString target = dir.filePath("Vikora.csv");
    const TAtomicWriteOptions withBackup{.keepBackup = true};

    WriteFileAtomically(Std(target), "v1", withBackup);
    QCOMPARE(FilesIn(dir.path()), QStringList{"Vikora.csv"});

    WriteFileAtomically(Std(target), "v2", withBackup);
    QCOMPARE(ReadBytes(target), "v2");
    QCOMPARE(ReadBytes(target + ".bak"), "v1");

    WriteFileAtomically(Std(target), "v3", withBackup);
    QCOMPARE(ReadBytes(target), "v3");
    QCOMPARE(ReadBytes(target + ".bak"), "v2");
    QCOMPARE(FilesIn(dir.path()), (QStringList{"Vikora.csv", "Vikora.csv.bak"}));
}

// A save that stopped after the backup step leaves the backup as a second name
// of the current file.
void TFileIoTest::backupThatAlreadyIsTheCurrentFile()
{
    QTemporaryDir dir;
    const QString target = dir.filePath("Vikora.csv");
    QVERIFY(WriteBytes(target, "old"));
    QVERIFY(::link(Std(target).c_str(), Std(target + ".bak").c_str()) == 0);

    WriteFileAtomically(Std(target), "new", {.keepBackup = true});

    QCOMPARE(ReadBytes(target), "new");
    QCOMPARE(ReadBytes(target + ".bak"), "old");
    QCOMPARE(FilesIn(dir.path()), (QStringList{"Vikora.csv", "Vikora.csv.bak"}));
}

void TFileIoTest::missingFolderIsCreateError()
{
    QTemporaryDir dir;
    const QString target = dir.filePath("missing/Vikora.csv");

    const QString message =
        ErrorMessageOf<EFCreateError>([&] { WriteFileAtomically(Std(target), "note"); });

    QCOMPARE(message, "Cannot create file \"" + target + "\". No such file or directory");
}

void TFileIoTest::diskFullKeepsOldFile()
{
    if (::geteuid() != 0)
        QSKIP("mounting a small tmpfs needs root");
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("small"));
    const QString folder = dir.filePath("small");
    TSmallTmpfs tmpfs(folder);
    if (!tmpfs.IsMounted())
        QSKIP(qPrintable(QString("cannot mount a tmpfs: ") + tmpfs.MountError()));
    const QString target = folder + "/Vikora.csv";
    const QByteArray old(10000, 'o');
    QVERIFY(WriteBytes(target, old));

    const QString message = ErrorMessageOf<EWriteError>([&] {
        WriteFileAtomically(Std(target), std::string(256 * 1024, 'n'), {.keepBackup = true});
    });

    QCOMPARE(message, "Stream write error");
    QCOMPARE(ReadBytes(target), old);
    QCOMPARE(FilesIn(folder), QStringList{"Vikora.csv"});
}

void TFileIoTest::readOnlyFolderIsCreateErrorAndKeepsOldFile()
{
    if (::geteuid() != 0)
        QSKIP("mounting a small tmpfs needs root");
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("readonly"));
    const QString folder = dir.filePath("readonly");
    TSmallTmpfs tmpfs(folder);
    if (!tmpfs.IsMounted())
        QSKIP(qPrintable(QString("cannot mount a tmpfs: ") + tmpfs.MountError()));
    const QString target = folder + "/Vikora.csv";
    QVERIFY(WriteBytes(target, "old"));
    QVERIFY(tmpfs.RemountReadOnly());

    const QString message = ErrorMessageOf<EFCreateError>(
        [&] { WriteFileAtomically(Std(target), "new", {.keepBackup = true}); });

    QCOMPARE(message, "Cannot create file \"" + target + "\". Read-only file system");
    QCOMPARE(ReadBytes(target), "old");
}

void TFileIoTest::readerRefuses_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");

    QTest::newRow("missing file") << "missing"
                                  << "No such file or directory";
    QTest::newRow("folder") << "folder"
                            << "Is a directory";
    QTest::newRow("FIFO without a writer") << "fifo"
                                           << "Not a regular file";
    QTest::newRow("symlink to /dev/zero") << "device"
                                          << "Not a regular file";
    QTest::newRow("one byte over 256 MiB") << "large"
                                           << "File too large";
}

void TFileIoTest::readerRefuses()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString path = dir.filePath("settings.ini");
    if (kind == "folder")
        QVERIFY(QDir(dir.path()).mkdir("settings.ini"));
    else if (kind == "fifo")
        QVERIFY(::mkfifo(Std(path).c_str(), 0600) == 0);
    else if (kind == "device")
        QVERIFY(::symlink("/dev/zero", Std(path).c_str()) == 0);
    else if (kind == "large")
        QVERIFY(WriteBytes(path, {}) &&
                ::truncate(Std(path).c_str(), MaxReadableFileSize + 1) == 0);

    const QString message = ErrorMessageOf<EFOpenError>([&] { TFileReader reader(Std(path)); });

    QCOMPARE(message, "Cannot open file \"" + path + "\". " + reason);
}

void TFileIoTest::readerReadsInChunksUpToTheSizeLimit()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("settings.ini");
    QByteArray content;
    for (int i = 0; i < 100; ++i)
        content += char(i);
    QVERIFY(WriteBytes(path, content));

    TFileReader reader(Std(path));
    QCOMPARE(reader.Size(), std::uint64_t(content.size()));
    QByteArray chunks;
    char buffer[7];
    while (const std::size_t got = reader.Read(buffer, sizeof buffer))
        chunks.append(buffer, qsizetype(got));
    QCOMPARE(chunks, content);
    QCOMPARE(reader.Read(buffer, sizeof buffer), std::size_t(0));
    QCOMPARE(QByteArray::fromStdString(ReadWholeFile(Std(path))), content);

    QVERIFY(::truncate(Std(path).c_str(), MaxReadableFileSize) == 0);
    QCOMPARE(TFileReader(Std(path)).Size(), MaxReadableFileSize);
}

void TFileIoTest::removeStaleTempFilesSparesOtherFiles()
{
    QTemporaryDir dir;
    const QStringList stale{"Vikora.csv.AbC123.tmp", "Vikora.csv.zzzzzz.tmp"};
    const QStringList kept{"Vikora.csv",
                           "Vikora.csv.bak",
                           "Vikora.csv.tmp",
                           "Vikora.csv.AbC12.tmp",
                           "Vikora.csv.AbC-12.tmp",
                           "Other.csv.AbC123.tmp",
                           "XVikora.csv.AbC123.tmp"};
    for (const QString& name : stale + kept)
        QVERIFY(WriteBytes(dir.filePath(name), "x"));

    RemoveStaleTempFiles(Std(dir.filePath("Vikora.csv")));

    QStringList expected = kept;
    expected.sort();
    QCOMPARE(FilesIn(dir.path()), expected);
}

QTEST_APPLESS_MAIN(TFileIoTest)
#include "tst_file_io.moc"

// The download helper against a server the test runs on 127.0.0.1.
#include "catalogue/download_file.h"

#include "catalogue_server.h"

#include <QApplication>
#include <QFile>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace std::chrono_literals;

class TestDownloadFile : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void stores_a_whole_answer();
    void failures_keep_the_old_file_data();
    void failures_keep_the_old_file();
    void refuses_a_missing_folder();
    void progress_dialog_is_modal_and_cancels();
    void catalogue_address();

private:
    static QByteArray Read(const QString& path);
    TCatalogueServer m_server;
    QTemporaryDir m_dir;
};

QByteArray TestDownloadFile::Read(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void TestDownloadFile::initTestCase()
{
    QVERIFY(m_server.isListening());
    QVERIFY(m_dir.isValid());
    SetDownloadTimeoutForTests(1500ms);
    m_server.Serve("/good", {TServedAnswer::Whole, 200, "\xC5\x91sz,\r\nlist\r\n"});
    m_server.Serve("/empty", {TServedAnswer::Whole, 200, ""});
    m_server.Serve("/missing", {TServedAnswer::Whole, 404, "not here"});
    m_server.Serve("/broken", {TServedAnswer::Whole, 500, "oops"});
    m_server.Serve("/cut", {TServedAnswer::CutShort, 200, "half of it"});
    m_server.Serve("/silent", {TServedAnswer::Silent, 200, {}});
}

void TestDownloadFile::cleanupTestCase()
{
    SetDownloadTimeoutForTests(0ms);
}

void TestDownloadFile::stores_a_whole_answer()
{
    const QString file = m_dir.filePath("whole.tmp");
    QVERIFY(DownloadFile(m_server.Url("/good"), file));
    QCOMPARE(Read(file), QByteArray("\xC5\x91sz,\r\nlist\r\n"));
    QVERIFY(DownloadFile(m_server.Url("/empty"), file));
    QCOMPARE(Read(file), QByteArray());
}

void TestDownloadFile::failures_keep_the_old_file_data()
{
    QTest::addColumn<QString>("address");
    const QString refused = QStringLiteral("http://127.0.0.1:%1/x").arg(RefusingPort());
    QTest::newRow("not found") << m_server.Url("/missing");
    QTest::newRow("server error") << m_server.Url("/broken");
    QTest::newRow("answer cut short") << m_server.Url("/cut");
    QTest::newRow("no answer (timeout)") << m_server.Url("/silent");
    QTest::newRow("connection refused") << refused;
    QTest::newRow("not a web address") << QStringLiteral("file:///etc/passwd");
    QTest::newRow("not an address") << QStringLiteral("::");
}

void TestDownloadFile::failures_keep_the_old_file()
{
    QFETCH(QString, address);
    const QString file = m_dir.filePath("kept.tmp");
    QFile old(file);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("old content");
    old.close();

    QVERIFY(!DownloadFile(address, file));
    QCOMPARE(Read(file), QByteArray("old content"));
}

void TestDownloadFile::refuses_a_missing_folder()
{
    QVERIFY(!DownloadFile(m_server.Url("/good"), m_dir.filePath("no/such/folder/x.tmp")));
}

void TestDownloadFile::progress_dialog_is_modal_and_cancels()
{
    // Only the cancel can end this download before the test times out.
    SetDownloadTimeoutForTests(std::chrono::minutes(10));
    QWidget owner;
    owner.show();
    bool seenModal = false;
    QTimer::singleShot(50ms, this, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* progress = qobject_cast<QProgressDialog*>(w);
                progress && progress->isVisible()) {
                seenModal = progress->isModal() && progress->parentWidget() == &owner;
                if (auto* button = progress->findChild<QPushButton*>())
                    button->click();
            }
    });
    QVERIFY(!DownloadFile(m_server.Url("/silent"), m_dir.filePath("cancelled.tmp"), &owner));
    SetDownloadTimeoutForTests(1500ms);
    QVERIFY(seenModal);
    QVERIFY(!QFile::exists(m_dir.filePath("cancelled.tmp")));
}

void TestDownloadFile::catalogue_address()
{
    qunsetenv("VIKORA_CATALOGUE_URL");
    QCOMPARE(CatalogueUrl(), QStringLiteral("https://www.zamolin.example/prgcsv.php"));
    qputenv("VIKORA_CATALOGUE_URL", "http://127.0.0.1:1/prgcsv.php");
    QCOMPARE(CatalogueUrl(), QStringLiteral("http://127.0.0.1:1/prgcsv.php"));
    qunsetenv("VIKORA_CATALOGUE_URL");
}

QTEST_MAIN(TestDownloadFile)
#include "tst_download_file.moc"

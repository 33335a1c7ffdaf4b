#include "desktop/maker_addresses.h"
#include "desktop/starter.h"

#include <QDesktopServices>
#include <QtTest>

namespace {

// Stands in for the browser and the mail program.
class TUrlRecorder : public QObject {
    Q_OBJECT

public:
    QList<QUrl> Opened;

public slots:
    void open(const QUrl& url) { Opened.append(url); }
};

const QStringList RecordedSchemes = {QStringLiteral("http"), QStringLiteral("https"),
                                     QStringLiteral("mailto")};

QString Mailto(const char* subject)
{
    return QStringLiteral("mailto:%1?subject=%2")
        .arg(QLatin1String(MakerEmail), QString::fromUtf8(subject));
}

}  // namespace

class TestStarter : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void opensAddress_data();
    void opensAddress();
    void failsWithoutOpening_data();
    void failsWithoutOpening();
    void lastErrorOutlivesLaterSuccess();

private:
    TUrlRecorder m_recorder;
};

void TestStarter::init()
{
    m_recorder.Opened.clear();
    for (const QString& scheme : RecordedSchemes)
        QDesktopServices::setUrlHandler(scheme, &m_recorder, "open");
}

void TestStarter::cleanup()
{
    for (const QString& scheme : RecordedSchemes)
        QDesktopServices::unsetUrlHandler(scheme);
}

void TestStarter::opensAddress_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QUrl>("opened");

    QTest::newRow("home page") << QString::fromLatin1(MakerHomePage)
                               << QUrl(QStringLiteral("https://www.zamolin.example/"));
    QTest::newRow("second web site") << QString::fromLatin1(MakerSecondWebSite)
                                     << QUrl(QStringLiteral("https://programok.zamolin.example/"));
    QTest::newRow("mail with a subject of two words")
        << Mailto("vikora megrendeles")
        << QUrl(QStringLiteral("mailto:info@zamolin.example?subject=vikora%20megrendeles"));
    QTest::newRow("accented subject")
        << Mailto("megrendelés")
        << QUrl(QStringLiteral("mailto:info@zamolin.example?subject=megrendel%C3%A9s"));
    QTest::newRow("host name without scheme")
        << "www.zamolin.example/a" << QUrl(QStringLiteral("http://www.zamolin.example/a"));
    QTest::newRow("blanks around") << " \thttps://x.example/p \n"
                                   << QUrl(QStringLiteral("https://x.example/p"));
}

void TestStarter::opensAddress()
{
    QFETCH(QString, command);
    QFETCH(QUrl, opened);
    TStarter starter;
    starter.SetCommand(command);
    starter.Execute();
    QCOMPARE(m_recorder.Opened, QList<QUrl>{opened});
    QCOMPARE(m_recorder.Opened.first().toString(QUrl::FullyEncoded),
             opened.toString(QUrl::FullyEncoded));
    QCOMPARE(starter.LastError(), 0);
}

void TestStarter::failsWithoutOpening_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("operation");
    QTest::addColumn<int>("error");

    QTest::newRow("empty") << "" << int(smOpen) << SE_ERR_FNF;
    QTest::newRow("blanks only") << " \t " << int(smOpen) << SE_ERR_FNF;
    QTest::newRow("relative file name") << "notes/readme.txt" << int(smOpen) << SE_ERR_FNF;
    QTest::newRow("drive path") << "C:\\Vikora\\Vikora.csv" << int(smOpen) << SE_ERR_FNF;
    QTest::newRow("web scheme without host") << "https:///index.html" << int(smOpen) << SE_ERR_FNF;
    QTest::newRow("bad port") << "https://x.example:99999/" << int(smOpen) << SE_ERR_FNF;
    QTest::newRow("scheme nobody opens") << "vikora-nothing:x" << int(smOpen) << SE_ERR_NOASSOC;
    QTest::newRow("print verb") << QString::fromLatin1(MakerHomePage) << int(smPrint)
                                << SE_ERR_NOASSOC;
}

void TestStarter::failsWithoutOpening()
{
    QFETCH(QString, command);
    QFETCH(int, operation);
    QFETCH(int, error);
    TStarter starter;
    starter.SetCommand(command);
    starter.SetStartOperation(static_cast<TStartOperation>(operation));
    starter.Execute();
    QCOMPARE(starter.LastError(), error);
    QCOMPARE(m_recorder.Opened, QList<QUrl>());
}

void TestStarter::lastErrorOutlivesLaterSuccess()
{
    TStarter starter;
    starter.Execute();
    QCOMPARE(starter.LastError(), SE_ERR_FNF);

    starter.SetCommand(QString::fromLatin1(MakerHomePage));
    starter.Execute();
    starter.Execute();
    QCOMPARE(m_recorder.Opened.size(), 2);
    QCOMPARE(starter.LastError(), SE_ERR_FNF);

    starter.SetCommand(QStringLiteral("vikora-nothing:x"));
    starter.Execute();
    QCOMPARE(starter.LastError(), SE_ERR_NOASSOC);
}

QTEST_MAIN(TestStarter)
#include "tst_starter.moc"

#include "desktop/maker_addresses.h"
#include "desktop/open_address.h"
#include "tests/url_recorder.h"

#include <QtTest>

namespace QTest {
template <>
char* toString(const TOpenAddressResult& result)
{
    switch (result) {
    case TOpenAddressResult::Opened:
        return qstrdup("Opened");
    case TOpenAddressResult::NotAnAddress:
        return qstrdup("NotAnAddress");
    case TOpenAddressResult::Refused:
        return qstrdup("Refused");
    }
    return qstrdup("?");
}
}  // namespace QTest

namespace {

QString Mailto(const char* subject)
{
    return QStringLiteral("mailto:%1?subject=%2")
        .arg(QLatin1String(MakerEmail), QString::fromUtf8(subject));
}

}  // namespace

class TestOpenAddress : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void opensAddress_data();
    void opensAddress();
    void failsWithoutOpening_data();
    void failsWithoutOpening();
    void eachOpenReportsItsOwnResult();

private:
    TUrlRecorder m_recorder;
};

void TestOpenAddress::init()
{
    m_recorder.Start();
}

void TestOpenAddress::cleanup()
{
    m_recorder.Stop();
}

void TestOpenAddress::opensAddress_data()
{
    QTest::addColumn<QString>("address");
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

void TestOpenAddress::opensAddress()
{
    QFETCH(QString, address);
    QFETCH(QUrl, opened);
    QCOMPARE(OpenAddress(address), TOpenAddressResult::Opened);
    QCOMPARE(m_recorder.Opened, QList<QUrl>{opened});
    QCOMPARE(m_recorder.Opened.first().toString(QUrl::FullyEncoded),
             opened.toString(QUrl::FullyEncoded));
}

void TestOpenAddress::failsWithoutOpening_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<TOpenAddressResult>("result");

    const auto notAnAddress = TOpenAddressResult::NotAnAddress;
    QTest::newRow("empty") << "" << notAnAddress;
    QTest::newRow("blanks only") << " \t " << notAnAddress;
    QTest::newRow("relative file name") << "notes/readme.txt" << notAnAddress;
    QTest::newRow("drive path") << "C:\\Vikora\\Vikora.csv" << notAnAddress;
    QTest::newRow("web scheme without host") << "https:///index.html" << notAnAddress;
    QTest::newRow("bad port") << "https://x.example:99999/" << notAnAddress;
    QTest::newRow("scheme nobody opens") << "vikora-nothing:x" << TOpenAddressResult::Refused;
}

void TestOpenAddress::failsWithoutOpening()
{
    QFETCH(QString, address);
    QFETCH(TOpenAddressResult, result);
    QCOMPARE(OpenAddress(address), result);
    QCOMPARE(m_recorder.Opened, QList<QUrl>());
}

void TestOpenAddress::eachOpenReportsItsOwnResult()
{
    // Nothing is kept from one open to the next.
    QCOMPARE(OpenAddress(QString()), TOpenAddressResult::NotAnAddress);
    QCOMPARE(OpenAddress(QString::fromLatin1(MakerHomePage)), TOpenAddressResult::Opened);
    QCOMPARE(OpenAddress(QStringLiteral("vikora-nothing:x")), TOpenAddressResult::Refused);
    QCOMPARE(OpenAddress(QString::fromLatin1(MakerHomePage)), TOpenAddressResult::Opened);
    QCOMPARE(m_recorder.Opened.size(), 2);
}

QTEST_MAIN(TestOpenAddress)
#include "tst_open_address.moc"

#include "seged/form_position.h"
#include "seged/globals.h"
#include "seged/ini_file.h"
#include "seged_test_support.h"

#include <QFileInfo>
#include <QTest>

class TestFormPosition : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void loadBounds_data();
    void loadBounds();
    void missingValues();
    void saveOrderAndGlobals();
    void saveFailures();

private:
    QString FilePath() const { return m_folder->filePath("Vikora.ini"); }

    std::unique_ptr<TPrivateHome> m_home;
    std::unique_ptr<QTemporaryDir> m_folder;
};

void TestFormPosition::initTestCase()
{
    m_home = std::make_unique<TPrivateHome>();
    QVERIFY(m_home->IsValid());
}

void TestFormPosition::init()
{
    m_folder = std::make_unique<QTemporaryDir>();
    QVERIFY(m_folder->isValid());
}

void TestFormPosition::loadBounds_data()
{
    using TBounds = QList<int>;  // left, top, width, height
    QTest::addColumn<QRect>("workArea");
    QTest::addColumn<TBounds>("stored");
    QTest::addColumn<TBounds>("expected");

    const QRect screen(0, 0, 1024, 768);
    QTest::newRow("fits") << screen << TBounds{624, 568, 400, 200} << TBounds{624, 568, 400, 200};
    QTest::newRow("left beyond the right edge")
        << screen << TBounds{5000, 10, 400, 200} << TBounds{0, 10, 400, 200};
    QTest::newRow("reaches past the right edge")
        << screen << TBounds{900, 10, 400, 200} << TBounds{624, 10, 400, 200};
    QTest::newRow("wider than the work area")
        << screen << TBounds{10, 10, 3000, 200} << TBounds{0, 10, 1024, 200};
    QTest::newRow("as wide as the work area")
        << screen << TBounds{10, 10, 1024, 200} << TBounds{0, 10, 1024, 200};
    QTest::newRow("top beyond the bottom edge")
        << screen << TBounds{10, 5000, 400, 200} << TBounds{10, 0, 400, 200};
    QTest::newRow("reaches past the bottom edge")
        << screen << TBounds{10, 700, 400, 200} << TBounds{10, 568, 400, 200};
    QTest::newRow("taller than the work area")
        << screen << TBounds{10, 10, 400, 5000} << TBounds{10, 0, 400, 768};
    QTest::newRow("negative left and top kept")
        << screen << TBounds{-50, -20, 400, 200} << TBounds{-50, -20, 400, 200};
    QTest::newRow("edges of an offset work area")
        << QRect(100, 30, 924, 738) << TBounds{900, 10, 400, 200} << TBounds{624, 10, 400, 200};
    QTest::newRow("largest stored values")
        << screen << TBounds{2147483647, 2147483647, 2147483647, 2147483647}
        << TBounds{0, 0, 1024, 768};
    QTest::newRow("most negative left with the largest width")
        << screen << TBounds{-2147483647 - 1, 10, 2147483647, 200}
        << TBounds{-2147483647 - 1, 10, 2147483647, 200};
}

void TestFormPosition::loadBounds()
{
    QFETCH(QRect, workArea);
    QFETCH(QList<int>, stored);
    QFETCH(QList<int>, expected);

    QVERIFY(WriteBytes(FilePath(), QString("[frm_Programok]\r\nLeft=%1\r\nTop=%2\r\nWidth=%3\r\n"
                                           "Height=%4\r\n")
                                       .arg(stored[0])
                                       .arg(stored[1])
                                       .arg(stored[2])
                                       .arg(stored[3])
                                       .toLatin1()));
    int left = 1, top = 1, width = 1, height = 1;
    LoadFormBounds(FilePath(), workArea, "frm_Programok", left, top, width, height);
    QCOMPARE(QList<int>({left, top, width, height}), expected);
}

void TestFormPosition::missingValues()
{
    QVERIFY(WriteBytes(FilePath(), "[frm_Programok]\r\nLeft=abc\r\n"));
    int left = 1, top = 1;
    LoadFormPos(FilePath(), "frm_Datumbe", left, top);
    QCOMPARE(QList<int>({left, top}), QList<int>({10, 10}));

    int width = 300, height = 900;
    LoadFormBounds(FilePath(), QRect(0, 0, 1024, 768), "frm_Programok", left, top, width, height);
    QCOMPARE(QList<int>({left, top, width, height}), QList<int>({10, 0, 300, 768}));
}

void TestFormPosition::saveOrderAndGlobals()
{
    QVERIFY(QDir().mkpath(m_folder->filePath("Bin")));
    QVERIFY(WriteBytes(m_folder->filePath("Bin/Vikora.ini"), ""));
    ResolveGlobals(m_folder->filePath("Bin/vikora"), QRect(0, 0, 1024, 768));

    SaveFormBounds("frm_Programok", 900, 20, 400, 300);
    SaveFormPos("frm_Datumbe", 30, 40);
    SaveFormPos("frm_Programok", 5, 6);
    QCOMPARE(ReadBytes(SettingsFile),
             Bytes("[frm_Programok]\r\nLeft=5\r\nTop=6\r\nWidth=400\r\n"
                   "Height=300\r\n\r\n[frm_Datumbe]\r\nLeft=30\r\nTop=40\r\n"));

    int left = 0, top = 0, width = 0, height = 0;
    LoadFormPos("frm_Datumbe", left, top);
    QCOMPARE(QList<int>({left, top}), QList<int>({30, 40}));
    SaveFormBounds("frm_Programok", 900, 20, 400, 300);
    LoadFormBounds("frm_Programok", left, top, width, height);
    QCOMPARE(QList<int>({left, top, width, height}), QList<int>({624, 20, 400, 300}));
}

void TestFormPosition::saveFailures()
{
    const QString path = m_folder->filePath("missing/Vikora.ini");
    QCOMPARE(ErrorMessageOf<EIniFileException>(
                 [&] { SaveFormBounds(path, "frm_Programok", 1, 2, 3, 4); }),
             "Unable to write to " + path);
    QCOMPARE(ErrorMessageOf<EIniFileException>([&] { SaveFormPos(path, "frm_Datumbe", 1, 2); }),
             QString("no exception"));
    QVERIFY(!QFileInfo::exists(m_folder->filePath("missing")));
}

QTEST_GUILESS_MAIN(TestFormPosition)
#include "tst_form_position.moc"

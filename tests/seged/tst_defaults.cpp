#include "seged/beall.h"
#include "seged/ini_file.h"
#include "seged_test_support.h"

#include <QFileInfo>
#include <QTest>

#include <unistd.h>

namespace {

// Every stored field and the derived one, for comparisons that print values.
QString DefaultsText(const TBeall& b)
{
    return QString("Color=%1 Alignment=%2 Font=%3/%4/%5/%6%7%8 FontTransparent=%9 "
                   "WindowTransparent=%10 UseTransparentColor=%11 AlphaBlend=%12 "
                   "AlphaBlendValue=%13")
        .arg(b.Color)
        .arg(b.Alignment)
        .arg(b.Font.Name)
        .arg(b.Font.Size)
        .arg(b.Font.Color)
        .arg(b.Font.Bold ? "B" : "-", b.Font.Italic ? "I" : "-", b.Font.Underline ? "U" : "-")
        .arg(b.FontTransparent)
        .arg(b.WindowTransparent)
        .arg(b.UseTransparentColor)
        .arg(b.AlphaBlend)
        .arg(b.AlphaBlendValue);
}

const QString Defaults = "Color=8421631 Alignment=2 Font=Tahoma/10/0/--- FontTransparent=0 "
                         "WindowTransparent=0 UseTransparentColor=0 AlphaBlend=0 "
                         "AlphaBlendValue=255";

// A record whose every field differs from the defaults.
TBeall Unusual()
{
    TBeall b;
    b.Color = 1;
    b.Alignment = 0;
    b.Font = {"Arial", 20, 3, true, true, true};
    b.FontTransparent = b.WindowTransparent = b.UseTransparentColor = b.AlphaBlend = true;
    b.AlphaBlendValue = 7;
    return b;
}

}  // namespace

class TestDefaults : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void load_data();
    void load();
    void newFileListsKeysInWriteOrder();
    void saveKeepsTheRestOfTheFile();
    void byteOrderMarkIsTheSameSection();
    void loadRemovesStaleTemporaryFiles();
    void readOnlyFolder();

private:
    QString FilePath() const { return m_folder->filePath("Vikora.ini"); }

    std::unique_ptr<TPrivateHome> m_home;
    std::unique_ptr<QTemporaryDir> m_folder;
};

void TestDefaults::initTestCase()
{
    m_home = std::make_unique<TPrivateHome>();
    QVERIFY(m_home->IsValid());
}

void TestDefaults::init()
{
    m_folder = std::make_unique<QTemporaryDir>();
    QVERIFY(m_folder->isValid());
}

void TestDefaults::load_data()
{
    QTest::addColumn<QByteArray>("content");  // of the section "Defaults"
    QTest::addColumn<QString>("expected");

    const auto with = [](const QString& from, const QString& to) {
        return QString(Defaults).replace(from, to);
    };
    QTest::newRow("nothing stored") << QByteArray() << Defaults;
    QTest::newRow("Color 0x") << QByteArray("Color=0x0000FF00") << with("8421631", "65280");
    QTest::newRow("Color $") << QByteArray("Color=$FF") << with("8421631", "255");
    QTest::newRow("Color not a number") << QByteArray("Color=abc") << Defaults;
    QTest::newRow("Font.IsBold 2") << QByteArray("Font.IsBold=2") << with("---", "B--");
    QTest::newRow("font") << QByteArray("Font.Name=Arial\r\nFont.Size=12\r\nFont.Color=255\r\n"
                                        "Font.IsItalic=1\r\nFont.IsUnderline=1")
                          << with("Tahoma/10/0/---", "Arial/12/255/-IU");
    QTest::newRow("font transparent")
        << QByteArray("FontTransparent=1")
        << with("FontTransparent=0 WindowTransparent=0 UseTransparentColor=0",
                "FontTransparent=1 WindowTransparent=0 UseTransparentColor=1");
    QTest::newRow("window transparent") << QByteArray("WindowTransparent=1")
                                        << with("WindowTransparent=0 UseTransparentColor=0",
                                                "WindowTransparent=1 UseTransparentColor=1");
    QTest::newRow("alpha blend") << QByteArray("AlphaBlend=1\r\nAlphaBlendValue=128\r\nAlignment=1")
                                 << with("Alignment=2", "Alignment=1")
                                        .replace("AlphaBlend=0 AlphaBlendValue=255",
                                                 "AlphaBlend=1 AlphaBlendValue=128");
}

void TestDefaults::load()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, expected);

    QVERIFY(WriteBytes(FilePath(), "[Defaults]\r\n" + content + "\r\n"));
    TBeall beall = Unusual();
    LoadDefaults(beall, FilePath());
    QCOMPARE(DefaultsText(beall), expected);
    QCOMPARE(beall.DialogFontSize, 10);
}

void TestDefaults::newFileListsKeysInWriteOrder()
{
    const QString path = m_folder->filePath("new/data/Vikora.ini");
    TBeall beall = Unusual();
    beall.Font.Name = "Győr Sans";
    SaveDefaults(beall, path);

    QCOMPARE(ReadBytes(path), Bytes("[Defaults]\r\n"
                                    "Color=1\r\n"
                                    "Font.Name=Gy\xF5r Sans\r\n"
                                    "Font.Size=20\r\n"
                                    "Font.Color=3\r\n"
                                    "Font.IsUnderline=1\r\n"
                                    "Font.IsBold=1\r\n"
                                    "Font.IsItalic=1\r\n"
                                    "Alignment=0\r\n"
                                    "FontTransparent=1\r\n"
                                    "WindowTransparent=1\r\n"
                                    "AlphaBlend=1\r\n"
                                    "AlphaBlendValue=7\r\n"));
    QCOMPARE(PermissionsOf(m_folder->filePath("new")), 0700u);
    QCOMPARE(PermissionsOf(m_folder->filePath("new/data")), 0700u);
    QCOMPARE(PermissionsOf(path), 0600u);

    TBeall loaded;
    LoadDefaults(loaded, path);
    QCOMPARE(DefaultsText(loaded), DefaultsText(beall));
}

void TestDefaults::saveKeepsTheRestOfTheFile()
{
    QVERIFY(WriteBytes(FilePath(), Bytes("; kept\r\n"
                                         "[frm_Datumbe]\r\nLeft=5\r\n\r\n"
                                         "[defaults]\r\n"
                                         "font.isbold = 2\r\n"
                                         "Font.Name=Gy\xF5r Sans\r\n"
                                         "Unknown=x\r\n"
                                         "\r\n"
                                         "[frm_Programok]\r\nTop=7\r\n")));
    TBeall beall;
    LoadDefaults(beall, FilePath());
    QVERIFY(beall.Font.Bold);
    QCOMPARE(beall.Font.Name, QString("Győr Sans"));

    SaveDefaults(beall, FilePath());
    QCOMPARE(ReadBytes(FilePath()), Bytes("; kept\r\n"
                                          "[frm_Datumbe]\r\nLeft=5\r\n\r\n"
                                          "[defaults]\r\n"
                                          "font.isbold = 1\r\n"
                                          "Font.Name=Gy\xF5r Sans\r\n"
                                          "Unknown=x\r\n"
                                          "Color=8421631\r\n"
                                          "Font.Size=10\r\n"
                                          "Font.Color=0\r\n"
                                          "Font.IsUnderline=0\r\n"
                                          "Font.IsItalic=0\r\n"
                                          "Alignment=2\r\n"
                                          "FontTransparent=0\r\n"
                                          "WindowTransparent=0\r\n"
                                          "AlphaBlend=0\r\n"
                                          "AlphaBlendValue=255\r\n"
                                          "\r\n"
                                          "[frm_Programok]\r\nTop=7\r\n"));
}

void TestDefaults::byteOrderMarkIsTheSameSection()
{
    QVERIFY(WriteBytes(FilePath(), Bytes("\xEF\xBB\xBF[Defaults]\r\nFont.IsBold=1\r\n")));
    TBeall beall;
    LoadDefaults(beall, FilePath());
    QVERIFY(beall.Font.Bold);
    SaveDefaults(beall, FilePath());
    const QByteArray saved = ReadBytes(FilePath());
    QVERIFY(saved.startsWith("\xEF\xBB\xBF[Defaults]\r\nFont.IsBold=1\r\nColor=8421631\r\n"));
    QCOMPARE(saved.count("[Defaults]"), 1);
}

void TestDefaults::loadRemovesStaleTemporaryFiles()
{
    QVERIFY(WriteBytes(FilePath(), Bytes("[Defaults]\r\n")));
    const QStringList stale = {"Vikora.ini.Ab12Cd.tmp", "Vikora.ini.zzzzzz.tmp"};
    const QStringList kept = {"Vikora.ini.bak", "Vikora.ini.toolong.tmp", "Other.ini.Ab12Cd.tmp"};
    for (const QString& name : stale + kept)
        QVERIFY(WriteBytes(m_folder->filePath(name), "x"));
    TBeall beall;
    LoadDefaults(beall, FilePath());
    for (const QString& name : stale)
        QVERIFY2(!QFile::exists(m_folder->filePath(name)), qPrintable(name));
    for (const QString& name : kept)
        QVERIFY2(QFile::exists(m_folder->filePath(name)), qPrintable(name));
}

void TestDefaults::readOnlyFolder()
{
    if (::geteuid() != 0)
        QSKIP("mounting a tmpfs needs root");
    const QString folder = m_folder->filePath("ro");
    QVERIFY(QDir().mkdir(folder));
    TTmpfsMount tmpfs(folder);
    if (!tmpfs.IsMounted())
        QSKIP(qPrintable("cannot mount a tmpfs: " + tmpfs.Error()));
    const QString path = folder + "/Vikora.ini";
    const QByteArray original = "[Defaults]\r\nColor=1\r\n";
    QVERIFY(WriteBytes(path, original));
    QVERIFY(tmpfs.RemountReadOnly());

    QCOMPARE(ErrorMessageOf<EIniFileException>([&] { SaveDefaults(Unusual(), path); }),
             "Unable to write to " + path);
    QCOMPARE(ReadBytes(path), original);
    QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{"Vikora.ini"});
}

QTEST_GUILESS_MAIN(TestDefaults)
#include "tst_defaults.moc"

#include "seged/ini_file.h"
#include "seged_test_support.h"

#include <QFileInfo>
#include <QTest>

#include <sys/stat.h>

namespace {
const QString NotFound = QStringLiteral("<default>");
}

class TestIniFile : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void readString_data();
    void readString();
    void readInteger_data();
    void readInteger();
    void readBool_data();
    void readBool();
    void write_data();
    void write();
    void batchWriteEqualsSingleWrites();
    void missingFileIsCreatedPrivate();
    void windows1250Bytes();
    void writeThroughLinkKeepsLink();
    void hostileFiles_data();
    void hostileFiles();
    void writeFailures_data();
    void writeFailures();

private:
    QString FilePath() const { return m_folder->filePath("Vikora.ini"); }

    std::unique_ptr<TPrivateHome> m_home;
    std::unique_ptr<QTemporaryDir> m_folder;
};

void TestIniFile::initTestCase()
{
    m_home = std::make_unique<TPrivateHome>();
    QVERIFY(m_home->IsValid());
}

void TestIniFile::init()
{
    m_folder = std::make_unique<QTemporaryDir>();
    QVERIFY(m_folder->isValid());
}

void TestIniFile::readString_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");

    QTest::newRow("plain") << Bytes("[Defaults]\r\nFont.Name=Arial\r\n") << "Defaults"
                           << "Font.Name"
                           << "Arial";
    QTest::newRow("names ignore case") << Bytes("[DEFAULTS]\r\nfont.name=Arial\r\n") << "defaults"
                                       << "FONT.NAME"
                                       << "Arial";
    QTest::newRow("names ignore case beyond ASCII")
        << Bytes("[\xC1llapot]\r\n\xF5sz=1\r\n") << "áLLAPOT"
        << "ŐSZ"
        << "1";
    QTest::newRow("blanks around names and value")
        << Bytes("  [ Defaults ]  \r\n\t Font.Name =  Times New Roman \t\r\n") << "Defaults"
        << "Font.Name"
        << "Times New Roman";
    QTest::newRow("double quotes removed") << Bytes("[D]\r\nA=\" x \"\r\n") << "D"
                                           << "A"
                                           << " x ";
    QTest::newRow("single quotes removed") << Bytes("[D]\r\nA='x'\r\n") << "D"
                                           << "A"
                                           << "x";
    QTest::newRow("mismatched quotes kept") << Bytes("[D]\r\nA=\"x'\r\n") << "D"
                                            << "A"
                                            << "\"x'";
    QTest::newRow("lone quote kept") << Bytes("[D]\r\nA=\"\r\n") << "D"
                                     << "A"
                                     << "\"";
    QTest::newRow("unterminated quote stops at its line")
        << Bytes("[D]\r\nA=\"x\r\nB=y\"\r\n") << "D"
        << "B"
        << "y\"";
    QTest::newRow("empty value is not missing") << Bytes("[D]\r\nA=\r\n") << "D"
                                                << "A"
                                                << "";
    QTest::newRow("value holding equals signs") << Bytes("[D]\r\nA=b=c\r\n") << "D"
                                                << "A"
                                                << "b=c";
    QTest::newRow("LF line ends") << Bytes("[D]\nA=1\nB=2\n") << "D"
                                  << "B"
                                  << "2";
    QTest::newRow("CR line ends") << Bytes("[D]\rA=1\rB=2\r") << "D"
                                  << "B"
                                  << "2";
    QTest::newRow("mixed line ends") << Bytes("[D]\r\rA=1\n\r\nB=2") << "D"
                                     << "B"
                                     << "2";
    QTest::newRow("last line without line end") << Bytes("[D]\r\nA=1") << "D"
                                                << "A"
                                                << "1";
    QTest::newRow("first of two keys") << Bytes("[D]\r\nA=1\r\nA=2\r\n") << "D"
                                       << "A"
                                       << "1";
    QTest::newRow("key in a repeated section")
        << Bytes("[D]\r\nA=1\r\n[E]\r\nB=3\r\n[D]\r\nB=2\r\n") << "D"
        << "B"
        << "2";
    QTest::newRow("key of another section") << Bytes("[D]\r\nA=1\r\n[E]\r\nB=2\r\n") << "D"
                                            << "B" << NotFound;
    QTest::newRow("key before any section") << Bytes("A=1\r\n[D]\r\n") << "D"
                                            << "A" << NotFound;
    QTest::newRow("missing section") << Bytes("[D]\r\nA=1\r\n") << "X"
                                     << "A" << NotFound;
    QTest::newRow("comment line") << Bytes("[D]\r\n;A=1\r\n") << "D"
                                  << "A" << NotFound;
    QTest::newRow("line without equals sign") << Bytes("[D]\r\nA\r\n") << "D"
                                              << "A" << NotFound;
    QTest::newRow("UTF-8 byte order mark before the section")
        << Bytes("\xEF\xBB\xBF[Defaults]\r\nA=1\r\n") << "Defaults"
        << "A"
        << "1";
    QTest::newRow("empty file") << QByteArray() << "D"
                                << "A" << NotFound;
    QTest::newRow("header without ] before the key")
        << Bytes("[D]\r\nA=1\r\n[broken\r\nB=2\r\n") << "D"
        << "B" << NotFound;
    QTest::newRow("header without ] after the key")
        << Bytes("[D]\r\nA=1\r\n[broken\r\nB=2\r\n") << "D"
        << "A"
        << "1";
    QTest::newRow("text before NUL") << Bytes("[D]\r\nA=1\0\r\nB=2\r\n") << "D"
                                     << "A"
                                     << "1";
    QTest::newRow("text after NUL") << Bytes("[D]\r\nA=1\0\r\nB=2\r\n") << "D"
                                    << "B" << NotFound;
    QTest::newRow("1 MiB value") << "[D]\r\nA=" + QByteArray(1 << 20, 'x') + "\r\nB=2\r\n"
                                 << "D"
                                 << "A" << QString(1 << 20, QLatin1Char('x'));
}

void TestIniFile::readString()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, expected);

    QVERIFY(WriteBytes(FilePath(), content));
    QCOMPARE(TIniFile(FilePath()).ReadString(section, key, NotFound), expected);
}

void TestIniFile::readInteger_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<int>("expected");

    const int fallback = 8421631;
    QTest::newRow("0x hexadecimal") << QByteArray("0x0000FF00") << 65280;
    QTest::newRow("0X hexadecimal, lower-case digits") << QByteArray("0Xff") << 255;
    QTest::newRow("$ hexadecimal") << QByteArray("$FF") << 255;
    QTest::newRow("hexadecimal uses all 32 bits") << QByteArray("$FFFFFFFF") << -1;
    QTest::newRow("decimal") << QByteArray("123") << 123;
    QTest::newRow("signed decimal") << QByteArray("-5") << -5;
    QTest::newRow("plus sign") << QByteArray("+7") << 7;
    QTest::newRow("largest") << QByteArray("2147483647") << 2147483647;
    QTest::newRow("blanks trimmed") << QByteArray("  42 ") << 42;
    QTest::newRow("quoted") << QByteArray("'42'") << 42;
    QTest::newRow("letters") << QByteArray("abc") << fallback;
    QTest::newRow("empty") << QByteArray() << fallback;
    QTest::newRow("0x alone") << QByteArray("0x") << fallback;
    QTest::newRow("$ alone") << QByteArray("$") << fallback;
    QTest::newRow("x without 0") << QByteArray("x10") << fallback;
    QTest::newRow("sign before $") << QByteArray("-$10") << fallback;
    QTest::newRow("trailing letters") << QByteArray("12abc") << fallback;
    QTest::newRow("inner blank") << QByteArray("1 2") << fallback;
    QTest::newRow("decimal overflow") << QByteArray("2147483648") << fallback;
    QTest::newRow("hexadecimal overflow") << QByteArray("$100000000") << fallback;
    QTest::newRow("fraction") << QByteArray("1.5") << fallback;
}

void TestIniFile::readInteger()
{
    QFETCH(QByteArray, value);
    QFETCH(int, expected);

    QVERIFY(WriteBytes(FilePath(), "[Defaults]\r\nColor=" + value + "\r\n"));
    QCOMPARE(TIniFile(FilePath()).ReadInteger("Defaults", "Color", 8421631), expected);
}

void TestIniFile::readBool_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<bool>("fallback");
    QTest::addColumn<bool>("expected");

    QTest::newRow("0") << QByteArray("0") << true << false;
    QTest::newRow("1") << QByteArray("1") << false << true;
    QTest::newRow("2 is true") << QByteArray("2") << false << true;
    QTest::newRow("hexadecimal non-zero") << QByteArray("$10") << false << true;
    QTest::newRow("text gives default true") << QByteArray("yes") << true << true;
    QTest::newRow("text gives default false") << QByteArray("true") << false << false;
}

void TestIniFile::readBool()
{
    QFETCH(QByteArray, value);
    QFETCH(bool, fallback);
    QFETCH(bool, expected);

    QVERIFY(WriteBytes(FilePath(), "[Defaults]\r\nFont.IsBold=" + value + "\r\n"));
    QCOMPARE(TIniFile(FilePath()).ReadBool("Defaults", "Font.IsBold", fallback), expected);
}

void TestIniFile::write_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QByteArray>("after");

    // Every row writes the value "new".
    QTest::newRow("value replaced in place")
        << Bytes("; settings\r\n[A]\r\nx=1\r\nk=old\r\ny=2\r\n\r\n[B]\r\nk=keep\r\n") << "A"
        << "k" << Bytes("; settings\r\n[A]\r\nx=1\r\nk=new\r\ny=2\r\n\r\n[B]\r\nk=keep\r\n");
    QTest::newRow("file's spelling, blanks and line end kept")
        << Bytes("[DEFAULTS]\n  COLOR =  old  \nx=1") << "Defaults"
        << "Color" << Bytes("[DEFAULTS]\n  COLOR =  new\nx=1");
    QTest::newRow("quoted value replaced") << Bytes("[A]\r\nk=\"old\"\r\n") << "A"
                                           << "k" << Bytes("[A]\r\nk=new\r\n");
    QTest::newRow("empty value replaced") << Bytes("[A]\r\nk=  \r\n") << "A"
                                          << "k" << Bytes("[A]\r\nk=new\r\n");
    QTest::newRow("new key after the section's last key")
        << Bytes("[A]\r\nx=1\r\n; note\r\n\r\n[B]\r\ny=2\r\n") << "A"
        << "k" << Bytes("[A]\r\nx=1\r\nk=new\r\n; note\r\n\r\n[B]\r\ny=2\r\n");
    QTest::newRow("new key in a section without keys")
        << Bytes("[A]\r\n[B]\r\ny=2\r\n") << "A"
        << "k" << Bytes("[A]\r\nk=new\r\n[B]\r\ny=2\r\n");
    QTest::newRow("new key after a last line without line end")
        << Bytes("[A]\r\nx=1") << "A"
        << "k" << Bytes("[A]\r\nx=1\r\nk=new\r\n");
    QTest::newRow("new key goes to the first of repeated sections")
        << Bytes("[A]\r\nx=1\r\n[A]\r\ny=2\r\n") << "A"
        << "k" << Bytes("[A]\r\nx=1\r\nk=new\r\n[A]\r\ny=2\r\n");
    QTest::newRow("key replaced in a repeated section")
        << Bytes("[A]\r\nx=1\r\n[A]\r\nk=old\r\n") << "A"
        << "k" << Bytes("[A]\r\nx=1\r\n[A]\r\nk=new\r\n");
    QTest::newRow("missing section appended") << Bytes("[A]\r\nx=1\r\n") << "B"
                                              << "k" << Bytes("[A]\r\nx=1\r\n\r\n[B]\r\nk=new\r\n");
    QTest::newRow("missing section after a blank line")
        << Bytes("[A]\r\nx=1\r\n\r\n") << "B"
        << "k" << Bytes("[A]\r\nx=1\r\n\r\n[B]\r\nk=new\r\n");
    QTest::newRow("missing section after a last line without line end")
        << Bytes("[A]\nx=1") << "B"
        << "k" << Bytes("[A]\nx=1\r\n\r\n[B]\r\nk=new\r\n");
    QTest::newRow("empty file") << QByteArray() << "B"
                                << "k" << Bytes("[B]\r\nk=new\r\n");
    QTest::newRow("CR line ends") << Bytes("[A]\rk=old\rx=1\r") << "A"
                                  << "k" << Bytes("[A]\rk=new\rx=1\r");
    QTest::newRow("header without ] is not the section")
        << Bytes("[A\r\nk=old\r\n") << "A"
        << "k" << Bytes("[A\r\nk=old\r\n\r\n[A]\r\nk=new\r\n");
    QTest::newRow("NUL tail kept after a new key")
        << Bytes("[A]\r\nx=1\r\n\0[A]\r\nk=old\xFF\r\n") << "A"
        << "k" << Bytes("[A]\r\nx=1\r\nk=new\r\n\0[A]\r\nk=old\xFF\r\n");
    QTest::newRow("NUL tail kept after a new section")
        << Bytes("[A]\r\nx=1\0tail\r\n") << "B"
        << "k" << Bytes("[A]\r\nx=1\r\n\r\n[B]\r\nk=new\r\n\0tail\r\n");
    QTest::newRow("byte order mark kept, its section found")
        << Bytes("\xEF\xBB\xBF[A]\r\nx=1\r\n") << "A"
        << "k" << Bytes("\xEF\xBB\xBF[A]\r\nx=1\r\nk=new\r\n");
    QTest::newRow("byte order mark alone") << Bytes("\xEF\xBB\xBF") << "A"
                                           << "k" << Bytes("\xEF\xBB\xBF[A]\r\nk=new\r\n");
    QTest::newRow("NUL inside the replaced line") << Bytes("[A]\r\nk=old\0rest\r\n") << "A"
                                                  << "k" << Bytes("[A]\r\nk=new\0rest\r\n");
}

void TestIniFile::write()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QByteArray, after);

    QVERIFY(WriteBytes(FilePath(), before));
    TIniFile ini(FilePath());
    ini.WriteString(section, key, "new");
    QCOMPARE(ReadBytes(FilePath()), after);
    QCOMPARE(ini.ReadString(section, key, NotFound), QString("new"));
}

void TestIniFile::batchWriteEqualsSingleWrites()
{
    const QByteArray before = Bytes("; top\r\n[B]\r\nz=9\r\n\r\n[A]\r\ny=old\r\n");
    const QList<TIniValue> values = {{"x", "1"}, {"y", "2"}, {"X", "3"}, {"w", "4"}};
    const QString single = m_folder->filePath("single.ini");
    const QString batch = m_folder->filePath("batch.ini");
    QVERIFY(WriteBytes(single, before));
    QVERIFY(WriteBytes(batch, before));

    for (const QString section : {"A", "C"}) {
        for (const TIniValue& value : values)
            TIniFile(single).WriteString(section, value.Key, value.Value);
        TIniFile(batch).WriteStrings(section, values);
    }
    QCOMPARE(ReadBytes(batch), ReadBytes(single));
    QCOMPARE(ReadBytes(batch), Bytes("; top\r\n[B]\r\nz=9\r\n\r\n[A]\r\ny=2\r\nx=3\r\nw=4\r\n"
                                     "\r\n[C]\r\nx=3\r\ny=2\r\nw=4\r\n"));
}

void TestIniFile::missingFileIsCreatedPrivate()
{
    TIniFile ini(FilePath());
    ini.WriteInteger("Defaults", "Color", -16777211);
    ini.WriteBool("Defaults", "AlphaBlend", true);
    QCOMPARE(ReadBytes(FilePath()), Bytes("[Defaults]\r\nColor=-16777211\r\nAlphaBlend=1\r\n"));
    QCOMPARE(PermissionsOf(FilePath()), 0600u);
    QCOMPARE(ini.ReadInteger("Defaults", "Color", 0), -16777211);
}

void TestIniFile::windows1250Bytes()
{
    QVERIFY(WriteBytes(FilePath(), Bytes("[Defaults]\r\nFont.Name=Gy\xF5r Sans\r\n")));
    TIniFile ini(FilePath());
    QCOMPARE(ini.ReadString("Defaults", "Font.Name", NotFound), QString("Győr Sans"));

    ini.WriteString("Defaults", "Font.Name", "Őrség");
    ini.WriteString("Defaults", "Other", "ok 中");
    QCOMPARE(ReadBytes(FilePath()), Bytes("[Defaults]\r\nFont.Name=\xD5rs\xE9g\r\nOther=ok ?\r\n"));
}

void TestIniFile::writeThroughLinkKeepsLink()
{
    const QString target = m_folder->filePath("real.ini");
    QVERIFY(WriteBytes(target, "[A]\r\nk=old\r\n"));
    QVERIFY(QFile::link(target, FilePath()));

    TIniFile(FilePath()).WriteString("A", "k", "new");
    QVERIFY(QFileInfo(FilePath()).isSymLink());
    QCOMPARE(ReadBytes(target), Bytes("[A]\r\nk=new\r\n"));
}

void TestIniFile::hostileFiles_data()
{
    QTest::addColumn<QByteArray>("content");

    QTest::newRow("1 MiB value") << "[Big]\r\nValue=" + QByteArray(1 << 20, 'v') + "\r\n";
    QTest::newRow("1 MiB line without equals sign") << QByteArray(1 << 20, '[');
    QTest::newRow("header without ]") << Bytes("[broken\r\nColor=1\r\n[Defaults\r\n");
    QTest::newRow("unterminated quotes") << Bytes("[Q]\r\nA=\"\r\nB='x\r\n\"\r\n'");
    QTest::newRow("NUL bytes") << Bytes("[Q]\r\nA=1\0\0[Defaults]\r\nColor=1\0\r\n");
    QTest::newRow("CR-only line ends") << Bytes("[Q]\rA=1\r\r[R]\rB=2");
    QTest::newRow("brackets and equals signs only") << Bytes("[]\r\n=\r\n]=[\r\n==\r\n[[]]\r\n;");
    QTest::newRow("every byte") << [] {
        QByteArray all;
        for (int round = 0; round < 4; ++round)
            for (int b = 1; b < 256; ++b)
                all += char(b);
        return all;
    }();
}

void TestIniFile::hostileFiles()
{
    QFETCH(QByteArray, content);

    QVERIFY(WriteBytes(FilePath(), content));
    TIniFile ini(FilePath());
    QCOMPARE(ini.ReadInteger("Defaults", "Color", 8421631), 8421631);

    ini.WriteInteger("Defaults", "Color", 5);
    const QByteArray after = ReadBytes(FilePath());
    const qsizetype nul = content.indexOf('\0');
    const QByteArray head = nul < 0 ? content : content.left(nul);
    const QByteArray tail = nul < 0 ? QByteArray() : content.mid(nul);
    QVERIFY(after.startsWith(head));
    QVERIFY(after.endsWith(tail));
    QVERIFY(after.size() > content.size());
    QCOMPARE(ini.ReadInteger("Defaults", "Color", 8421631), 5);
}

void TestIniFile::writeFailures_data()
{
    QTest::addColumn<QString>("place");  // what stands at the file's path
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");

    QTest::newRow("folder missing") << "missing folder"
                                    << "k"
                                    << "v";
    QTest::newRow("folder in place of the file") << "folder"
                                                 << "k"
                                                 << "v";
    QTest::newRow("FIFO in place of the file") << "fifo"
                                               << "k"
                                               << "v";
    QTest::newRow("line break in the value") << "file"
                                             << "k"
                                             << "a\r\n[B]";
    QTest::newRow("equals sign in the key") << "file"
                                            << "k=x"
                                            << "v";
    QTest::newRow("empty key") << "file"
                               << "  "
                               << "v";
    QTest::newRow("key that reads as a section") << "file"
                                                 << "[k]"
                                                 << "v";
    QTest::newRow("key outside Windows-1250") << "file"
                                              << "中"
                                              << "v";
}

void TestIniFile::writeFailures()
{
    QFETCH(QString, place);
    QFETCH(QString, key);
    QFETCH(QString, value);

    QString path = FilePath();
    const QByteArray original = "[A]\r\nk=old\r\n";
    if (place == "missing folder")
        path = m_folder->filePath("none/Vikora.ini");
    else if (place == "folder")
        QVERIFY(QDir().mkdir(path));
    else if (place == "fifo")
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    else
        QVERIFY(WriteBytes(path, original));

    TIniFile ini(path);
    QCOMPARE(ini.ReadString("A", "k", NotFound), place == "file" ? QString("old") : NotFound);
    QCOMPARE(ErrorMessageOf<EIniFileException>([&] { ini.WriteString("A", key, value); }),
             "Unable to write to " + path);
    if (place == "file")
        QCOMPARE(ReadBytes(path), original);
    QCOMPARE(QFileInfo(path).isDir(), place == "folder");
    QCOMPARE(QFileInfo(path).exists(), place != "missing folder");
    QCOMPARE(QDir(QFileInfo(path).path()).entryList(QDir::Files | QDir::Hidden).filter(".tmp"),
             QStringList());
}

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_ini_file.moc"

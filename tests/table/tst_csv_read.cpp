#include "csv_test_support.h"

#include <QtTest>

namespace {

constexpr int ThisYear = 2024;

// A literal's bytes, NULs included.
template <std::size_t N>
QByteArray Raw(const char (&text)[N])
{
    return QByteArray(text, N - 1);
}

QByteArray Definitions(std::initializer_list<QByteArray> fieldLines)
{
    QByteArray out = CrLfLines({R"("@@FILE VERSION@@","251")", R"("@@TABLEDEF START@@")"});
    for (const QByteArray& line : fieldLines)
        out += line + "\r\n";
    return out +
           CrLfLines({R"("@@INDEXDEF START@@")", R"("@@INDEXDEF END@@")", R"("@@TABLEDEF END@@")"});
}

// Everything a definition line sets on a field.
QString Description(const TField& f)
{
    QString text =
        QString("%1:%2:%3 label=%4 mask=%5 width=%6 kind=%7 default=%8")
            .arg(QString::fromStdString(f.FieldName), FieldTypeName(f.DataType))
            .arg(f.Size)
            .arg(QString::fromStdString(f.DisplayLabel), QString::fromStdString(f.EditMask))
            .arg(f.DisplayWidth)
            .arg(FieldKindName(f.FieldKind), QString::fromStdString(f.DefaultExpression));
    if (f.Required)
        text += " REQ";
    if (f.ReadOnly)
        text += " RO";
    if (!f.Visible)
        text += " INV";
    return text;
}

QStringList Descriptions(const TqorMemTable& table)
{
    QStringList out;
    for (int i = 0; i < table.FieldCount(); ++i)
        out << Description(table.Fields(i));
    return out;
}

// A small notes-like table: the key and the text.
void AddKeyAndText(TqorMemTable& table)
{
    table.AddField("az", ftAutoInc);
    table.AddField("szoveg", ftMemo);
}

}  // namespace

class TestCsvRead : public QObject {
    Q_OBJECT

private slots:
    void recordLines_data();
    void recordLines();
    void failingValue_data();
    void failingValue();
    void definitionLine_data();
    void definitionLine();
    void intoExistingTable_data();
    void intoExistingTable();
    void lineAcrossBlockBoundary_data();
    void lineAcrossBlockBoundary();
    void counterContinuesAfterHighestIdentifier();
    void readErrorKeepsTheWholeLinesBeforeIt_data();
    void readErrorKeepsTheWholeLinesBeforeIt();
};

void TestCsvRead::recordLines_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("rows");

    const QString march13 = "2010-03-13 00:00:00.000";
    QTest::newRow("writer's form")
        << QByteArray("\"a\",\"b\",\"c\",\"d\",\r\n\"1\",\"x\",\"True\",\"13/03/2010\",\r\n")
        << QStringList{R"(1 | "x" | True | )" + march13};
    QTest::newRow("header names fold a to z")
        << QByteArray("\"A\",\"B\",\"C\",\"D\",\r\n\"1\",\"x\",\"True\",\"13/03/2010\",\r\n")
        << QStringList{R"(1 | "x" | True | )" + march13};
    QTest::newRow("columns in another order, one unknown")
        << QByteArray("\"d\",\"zzz\",\"a\",\r\n\"13/03/2010\",\"q\",\"1\",\r\n")
        << QStringList{"1 | null | null | " + march13};
    QTest::newRow("only exact True is true")
        << QByteArray("\"a\",\"c\",\r\n\"1\",\"True\",\r\n\"2\",\"true\",\r\n\"3\",\"TRUE\",\r\n"
                      "\"4\",\"\",\r\n\"5\",,\r\n")
        << QStringList{"1 | null | True | null", "2 | null | False | null",
                       "3 | null | False | null", "4 | null | False | null",
                       "5 | null | null | null"};
    QTest::newRow("fewer values than columns leave the rest null")
        << QByteArray("\"a\",\"b\",\"c\",\"d\",\r\n\"1\",\"x\"\r\n2\r\n")
        << QStringList{R"(1 | "x" | null | null)", "2 | null | null | null"};
    QTest::newRow("values beyond the header are ignored")
        << QByteArray("\"a\",\"b\",\r\n\"1\",\"x\",\"True\",\"junk\",\r\n")
        << QStringList{R"(1 | "x" | null | null)"};
    QTest::newRow("unquoted values, no closing delimiter")
        << QByteArray("a,b,c,d\r\n1,x,True,13/03/2010\r\n")
        << QStringList{R"(1 | "x" | True | )" + march13};
    QTest::newRow("quoted empty text is not null, missing value is")
        << QByteArray("\"a\",\"b\",\r\n\"1\",\"\",\r\n\"2\",,\r\n")
        << QStringList{R"(1 | "" | null | null)", "2 | null | null | null"};
    QTest::newRow("doubled quotes and delimiters inside quotes")
        << QByteArray("\"b\",\r\n\"a\"\"b,c\",\r\n")
        << QStringList{R"(null | "a"b,c" | null | null)"};
    QTest::newRow("string cut to its size after unescaping")
        << QByteArray("\"b\",\r\n\"%%123456789abc\",\r\n")
        << QStringList{R"(null | "%123456789" | null | null)"};
    QTest::newRow("string ends at an escaped NUL")
        << QByteArray("\"b\",\r\n\"x%0y\",\r\n") << QStringList{R"(null | "x" | null | null)"};
    QTest::newRow("any one byte after a closing quote is skipped")
        << QByteArray("\"a\",\"b\",\r\n\"1\";\"x\";\r\n")
        << QStringList{R"(1 | "x" | null | null)"};
    QTest::newRow("lines far longer than the line-end search step, LF or CR alone")
        << (QByteArray("\"b\",\n\"") + QByteArray(300, 'x') + "\",\r\"" + QByteArray(600, 'y') +
            "\",\n")
        << QStringList{R"(null | "xxxxxxxxxx" | null | null)",
                       R"(null | "yyyyyyyyyy" | null | null)"};
    QTest::newRow("unclosed quote takes the rest of the line")
        << QByteArray("\"a\",\"b\",\r\n\"1\",\"x,y\r\n")
        << QStringList{R"(1 | "x,y" | null | null)"};
    QTest::newRow("empty lines between records are skipped")
        << QByteArray("\"a\",\r\n\"1\",\r\n\r\n\r\n\n\r\"2\",\r\n\r\n")
        << QStringList{"1 | null | null | null", "2 | null | null | null"};
    QTest::newRow("LF line ends") << QByteArray("\"a\",\n\"1\",\n\"2\",\n")
                                  << QStringList{"1 | null | null | null",
                                                 "2 | null | null | null"};
    QTest::newRow("CR line ends") << QByteArray("\"a\",\r\"1\",\r\"2\",\r")
                                  << QStringList{"1 | null | null | null",
                                                 "2 | null | null | null"};
    QTest::newRow("NUL line ends")
        << Raw("\"a\",\0\"1\",\0\"2\",\0")
        << QStringList{"1 | null | null | null", "2 | null | null | null"};
    QTest::newRow("mixed line ends, last line without one")
        << Raw("\"a\",\n\r\"1\",\0\r\n\"2\",\r\"3\"")
        << QStringList{"1 | null | null | null", "2 | null | null | null",
                       "3 | null | null | null"};
    QTest::newRow("integer forms")
        << QByteArray("\"a\",\r\n\" 12\",\r\n\"+5\",\r\n\"-$1F\",\r\n\"0x10\",\r\n\"X10\",\r\n"
                      "\"$ff\",\r\n\"-2147483648\",\r\n\"\",\r\n")
        << QStringList{"12 | null | null | null",          "5 | null | null | null",
                       "-31 | null | null | null",         "16 | null | null | null",
                       "16 | null | null | null",          "255 | null | null | null",
                       "-2147483648 | null | null | null", "null | null | null | null"};
    QTest::newRow("date forms")
        << QByteArray("\"d\",\r\n\"13/3/10\",\r\n\"13/03/99\",\r\n\"13/03\",\r\n"
                      "\"13/03/2010 9:05 PM\",\r\n\"13/03/2010 pm 9:05\",\r\n"
                      "\"13/03/2010 12:30:00 AM\",\r\n\"13/03/2010 9:05:07.250\",\r\n"
                      "\"9:05:30\",\r\n")
        << QStringList{"null | null | null | 2010-03-13 00:00:00.000",
                       "null | null | null | 1999-03-13 00:00:00.000",
                       "null | null | null | 2024-03-13 00:00:00.000",
                       "null | null | null | 2010-03-13 21:05:00.000",
                       "null | null | null | 2010-03-13 21:05:00.000",
                       "null | null | null | 2010-03-13 00:30:00.000",
                       "null | null | null | 2010-03-13 09:05:07.250",
                       "null | null | null | 1899-12-30 09:05:30.000"};
}

void TestCsvRead::recordLines()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, rows);
    TqorCSVStreamFormat format;
    format.CurrentYear = [] { return ThisYear; };
    TqorMemTable table;
    table.DefaultFormat = &format;
    table.AddField("a", ftInteger);
    table.AddField("b", ftString, 10);
    table.AddField("c", ftBoolean);
    table.AddField("d", ftDateTime);
    table.Open();

    QCOMPARE(FailureOf([&] { LoadTable(table, file); }), "no error");

    QCOMPARE(Rows(table), rows);
    QCOMPARE(table.State(), dsBrowse);
    QCOMPARE(table.RecordNumber(), 1);
}

void TestCsvRead::failingValue_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("failure");
    QTest::addColumn<QStringList>("rows");

    const QByteArray header = "\"az\",\"szin\",\"tol\",\r\n\"1\",\"10\",\r\n";
    QTest::newRow("bad first value drops its record, rest unread")
        << header + "\"abc\",\"20\",\r\n\"3\",\"30\",\r\n"
        << "EDatabaseError: 'abc' is not a valid integer value for field 'az'"
        << QStringList{"1 | 10 | null"};
    QTest::newRow("bad value after an assigned one keeps the record")
        << header + "\"2\",\"abc\",\r\n\"3\",\"30\",\r\n"
        << "EDatabaseError: 'abc' is not a valid integer value for field 'szin'"
        << QStringList{"1 | 10 | null", "2 | null | null"};
    QTest::newRow("a null value counts as assigned")
        << header + ",\"abc\",\r\n"
        << "EDatabaseError: 'abc' is not a valid integer value for field 'szin'"
        << QStringList{"1 | 10 | null", "null | null | null"};
    QTest::newRow("an ignored column does not count as assigned")
        << QByteArray("\"zzz\",\"szin\",\r\n\"q\",\"abc\",\r\n")
        << "EDatabaseError: 'abc' is not a valid integer value for field 'szin'" << QStringList{};
    QTest::newRow("trailing blank is not an integer")
        << header + "\"2\",\"12 \",\r\n"
        << "EDatabaseError: '12 ' is not a valid integer value for field 'szin'"
        << QStringList{"1 | 10 | null", "2 | null | null"};
    QTest::newRow("integer overflow")
        << header + "\"2147483648\",\r\n"
        << "EDatabaseError: '2147483648' is not a valid integer value for field 'az'"
        << QStringList{"1 | 10 | null"};
    QTest::newRow("bad date keeps the values before it")
        << header + "\"2\",\"20\",\"31/02/2010\",\r\n"
        << "EConvertError: '31/02/2010' is not a valid date and time"
        << QStringList{"1 | 10 | null", "2 | 20 | null"};
    QTest::newRow("PM needs an hour of 1 to 12")
        << header + "\"2\",\"20\",\"13/03/2010 13:00 PM\",\r\n"
        << "EConvertError: '13/03/2010 13:00 PM' is not a valid date and time"
        << QStringList{"1 | 10 | null", "2 | 20 | null"};
    QTest::newRow("message names the display label and the text read")
        << Definitions({R"("az=AutoInc,0,""az"","""",10,Data,""""")",
                        "\"szin=Integer,0,\"\"Sz\xEDn\"\",\"\"\"\",10,Data,\"\"\"\"\"",
                        R"("tol=DateTime,0,""tol"","""",18,Data,""""")"}) +
               "\"az\",\"Sz\xEDn\",\r\n\"1\",\"10\",\r\n\"2\",\"\xE1"
               "bc\",\r\n"
        << "EDatabaseError: 'ábc' is not a valid integer value for field 'Szín'"
        << QStringList{"1 | 10 | null", "2 | null | null"};
}

void TestCsvRead::failingValue()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, failure);
    QFETCH(QStringList, rows);
    TqorCSVStreamFormat format;
    TqorMemTable table;
    table.DefaultFormat = &format;
    table.AddField("az", ftAutoInc);
    table.AddField("szin", ftInteger);
    table.AddField("tol", ftDateTime);
    table.Open();

    QCOMPARE(FailureOf([&] { LoadTable(table, file); }), failure);

    QCOMPARE(Rows(table), rows);
    QCOMPARE(table.State(), dsBrowse);
    QCOMPARE(table.IsLoading(), false);
    QCOMPARE(table.RecordNumber(), rows.isEmpty() ? -1 : 1);
}

void TestCsvRead::definitionLine_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("field");  // or the failure

    QTest::newRow("writer's line")
        << QByteArray(R"("f=String,20,"")"
                      "N\xE9v"
                      R"("",""!99"",15,Data,""x=""""1""""""")")
        << R"(f:String:20 label=Név mask=!99 width=15 kind=Data default=x="1")";
    QTest::newRow("REQ, RO and INV")
        << QByteArray(R"("f=Integer,0,""f"","""",10,REQ,RO,INV,InternalCalc,""""")")
        << "f:Integer:0 label=f mask= width=10 kind=InternalCalc default= REQ RO INV";
    QTest::newRow("REQ after the default is the default")
        << QByteArray(R"("f=Integer,0,""f"","""",10,Data,"""",REQ")")
        << "f:Integer:0 label=f mask= width=10 kind=Data default=REQ REQ";
    QTest::newRow("flags found anywhere, even in the label")
        << QByteArray(R"("f=Integer,0,""a,REQ,ROW"","""",10,Data,""""")")
        << "f:Integer:0 label=a,REQ,ROW mask= width=10 kind=Data default= REQ RO";
    QTest::newRow("five items: data, no default")
        << QByteArray(R"("f=Memo,0,""f"","""",10")")
        << "f:Memo:0 label=f mask= width=10 kind=Data default=";
    QTest::newRow("six items: the last is the kind")
        << QByteArray(R"("f=Memo,0,""f"","""",10,Calculated")")
        << "f:Memo:0 label=f mask= width=10 kind=Calculated default=";
    QTest::newRow("seven items: the last is the default, then the kind")
        << QByteArray(R"("f=Memo,0,""f"","""",10,Lookup,""1+1""")")
        << "f:Memo:0 label=f mask= width=10 kind=Lookup default=1+1";
    QTest::newRow("kind names are case sensitive")
        << QByteArray(R"("f=Memo,0,""f"","""",10,calculated,""""")")
        << "f:Memo:0 label=f mask= width=10 kind=Data default=";
    QTest::newRow("blanks between items, empty items")
        << QByteArray(R"("f=Graphic, 0 , ,, 7 ,Aggregate")")
        << "f:Graphic:0 label= mask= width=7 kind=Aggregate default=";
    QTest::newRow("Variant is refused")
        << QByteArray(R"("f=Variant,0,""f"","""",10,Data,""""")")
        << R"(EMemTableError: Unknown field type (Variant) in CSV file. (f=Variant,0,"f","",10,Data,""))";
    QTest::newRow("Text is not a type name")
        << QByteArray(R"("f=Text,0,""f"","""",10,Data,""""")")
        << R"(EMemTableError: Unknown field type (Text) in CSV file. (f=Text,0,"f","",10,Data,""))";
    QTest::newRow("type names are case sensitive")
        << QByteArray(R"("f=string,5,""f"","""",5")")
        << R"(EMemTableError: Unknown field type (string) in CSV file. (f=string,5,"f","",5))";
    QTest::newRow("a type the table does not keep is refused")
        << QByteArray(R"("f=Float,0,""f"","""",10")")
        << R"(EMemTableError: Unknown field type (Float) in CSV file. (f=Float,0,"f","",10))";
    QTest::newRow("unquoted line is an empty definition")
        << QByteArray("f=String,5,\"f\",\"\",5")
        << "EMemTableError: Unknown field type () in CSV file. ()";
    QTest::newRow("fewer than five items")
        << QByteArray(R"("f=String,30,""f""")") << "EStringListError: List index out of bounds (3)";
    QTest::newRow("only the type")
        << QByteArray(R"("f=String")") << "EStringListError: List index out of bounds (1)";
    QTest::newRow("size not an integer") << QByteArray(R"("f=String,x,""f"","""",30")")
                                         << "EConvertError: 'x' is not a valid integer value";
    QTest::newRow("display width not an integer")
        << QByteArray(R"("f=String,30,""f"","""",3.5")")
        << "EConvertError: '3.5' is not a valid integer value";
}

void TestCsvRead::definitionLine()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, field);
    TqorCSVStreamFormat format;
    TqorMemTable table;
    table.DefaultFormat = &format;
    AddKeyAndText(table);
    table.Open();
    const QByteArray file =
        Definitions({R"("id=AutoInc,0,""id"","""",10,Data,""""")", line}) + "\"id\",\r\n\"4\",\r\n";
    const QString first = "id:AutoInc:0 label=id mask= width=10 kind=Data default=";

    const QString failure = FailureOf([&] { LoadTable(table, file); });

    if (failure == "no error") {
        QCOMPARE(Descriptions(table), (QStringList{first, field}));
        QCOMPARE(Rows(table, {"id"}), QStringList{"4"});
    } else {
        // The table stays closed with the fields made before the failure.
        QCOMPARE(failure, field);
        QCOMPARE(Descriptions(table), QStringList{first});
        QVERIFY(!table.Active());
        QVERIFY(!table.IsLoading());
    }
}

void TestCsvRead::intoExistingTable_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("failure");
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QStringList>("rows");

    const QStringList keyAndText{"az:AutoInc:0", "szoveg:Memo:0"};
    const QStringList catalogue{"programok:String:50", "rovid:String:255", "link:String:255",
                                "kategoria:String:25", "ingyenes:String:1"};
    const QString existingNote = R"(0 | "régi")";
    const QString existingProgram = R"("Alma" | "Leírás" | "http://a" | "Kategória" | "I")";

    QTest::newRow("0-byte file changes nothing")
        << "notes" << QByteArray() << "no error" << keyAndText << QStringList{existingNote};
    QTest::newRow("0-byte file into a closed table")
        << "closed notes" << QByteArray() << "no error" << keyAndText << QStringList{};
    QTest::newRow("header-only file adds nothing")
        << "notes" << QByteArray("\"az\",\"szoveg\",\r\n") << "no error" << keyAndText
        << QStringList{existingNote};
    QTest::newRow("records are added after the existing ones")
        << "notes" << QByteArray("\"AZ\",\"Szoveg\",\r\n\"5\",\"\xFAj\",\r\n") << "no error"
        << keyAndText << QStringList{existingNote, R"(5 | "új")"};
    QTest::newRow("file starting with a line end: every display name is a column")
        << "notes" << QByteArray("\r\n\"5\",\"\xFAj\",\r\n") << "no error" << keyAndText
        << QStringList{existingNote, R"(5 | "új")"};
    QTest::newRow("definitions only: new fields, no records")
        << "notes" << Definitions({R"("x=Integer,0,""x"","""",10,Data,""""")"}) << "no error"
        << QStringList{"x:Integer:0"} << QStringList{};
    QTest::newRow("definitions and header, no records")
        << "notes" << Definitions({R"("x=Integer,0,""x"","""",10,Data,""""")"}) + "\"x\",\r\n"
        << "no error" << QStringList{"x:Integer:0"} << QStringList{};
    QTest::newRow("definitions open a closed table")
        << "closed notes"
        << Definitions({R"("x=Integer,0,""x"","""",10,Data,""""")"}) + "\"x\",\r\n\"1\",\r\n"
        << "no error" << QStringList{"x:Integer:0"} << QStringList{"1"};
    QTest::newRow("only data fields receive values, read-only ones too")
        << "notes"
        << Definitions({R"("d=Integer,0,""d"","""",10,RO,Data,""""")",
                        R"("c=Integer,0,""c"","""",10,Calculated,""""")",
                        R"("i=Integer,0,""i"","""",10,InternalCalc,""""")"}) +
               "\"d\",\"c\",\"i\",\r\n\"1\",\"2\",\"3\",\r\n"
        << "no error" << QStringList{"d:Integer:0", "c:Integer:0", "i:Integer:0"}
        << QStringList{"1 | null | null"};
    QTest::newRow("catalogue: a header of field names matches only link")
        << "catalogue"
        << QByteArray("\"programok\",\"rovid\",\"link\",\"kategoria\",\"ingyenes\",\r\n"
                      "\"B\",\"r\",\"http://b\",\"k\",\"N\",\r\n")
        << "no error" << catalogue
        << QStringList{existingProgram, R"(null | null | "http://b" | null | null)"};
    QTest::newRow("catalogue: display names match without regard to a-z case")
        << "catalogue"
        << QByteArray(
               "\"PROGRAM NEVE\",\"LE\xEDR\xE1S\",\"KATEG\xF3RIA\",\r\n\"B\",\"r\",\"k\",\r\n")
        << "no error" << catalogue
        << QStringList{existingProgram, R"("B" | "r" | null | "k" | null)"};
    QTest::newRow("catalogue: upper-case accented letters are not folded")
        << "catalogue" << QByteArray("\"KATEG\xD3RIA\",\"LE\xCDR\xC1S\",\r\n\"k\",\"r\",\r\n")
        << "no error" << catalogue
        << QStringList{existingProgram, "null | null | null | null | null"};
    QTest::newRow("records without definitions into a closed table")
        << "closed notes" << QByteArray("\"az\",\r\n\"5\",\r\n")
        << "EDatabaseError: Tbl: Cannot perform this operation on a closed dataset" << keyAndText
        << QStringList{};
    QTest::newRow("header without definitions into a closed table")
        << "closed notes" << QByteArray("\"az\",\r\n")
        << "EDatabaseError: Tbl: Cannot perform this operation on a closed dataset" << keyAndText
        << QStringList{};
    QTest::newRow("definitions cut short leave the table closed")
        << "notes"
        << CrLfLines({R"("@@TABLEDEF START@@")", R"("x=Integer,0,""x"","""",10,Data,""""")"})
        << "EDatabaseError: Tbl: Cannot perform this operation on a closed dataset"
        << QStringList{"x:Integer:0"} << QStringList{};
    QTest::newRow("no columns") << "no fields" << QByteArray("\r\n\"1\",\r\n")
                                << "EMemTableError: Couldnt determine field count for load."
                                << QStringList{} << QStringList{};
}

void TestCsvRead::intoExistingTable()
{
    QFETCH(QString, start);
    QFETCH(QByteArray, file);
    QFETCH(QString, failure);
    QFETCH(QStringList, fields);
    QFETCH(QStringList, rows);
    TqorCSVStreamFormat format;
    TqorMemTable table;
    table.DefaultFormat = &format;
    if (start == "catalogue") {
        AddCatalogueFields(table);
        table.Open();
        table.AddAtEnd();
        for (const auto& [name, value] : {std::pair{"programok", "Alma"},
                                          {"rovid", "Leírás"},
                                          {"link", "http://a"},
                                          {"kategoria", "Kategória"},
                                          {"ingyenes", "I"}})
            table.SetValue(name, std::string(value));
        table.Post();
    } else if (start != "no fields") {
        AddKeyAndText(table);
        table.Open();
        table.AddAtEnd();
        table.SetValue("szoveg", std::string("régi"));
        table.Post();
        if (start == "closed notes")
            table.Close();
    }
    const bool wasActive = table.Active();

    QCOMPARE(FailureOf([&] { LoadTable(table, file); }), failure);

    QCOMPARE(FieldList(table), fields);
    QCOMPARE(Rows(table), rows);
    if (failure == "no error" && !file.contains("@@TABLEDEF START@@"))
        QCOMPARE(table.Active(), wasActive);
    QVERIFY(!table.IsLoading());
    QVERIFY(!table.ControlsDisabled());
}

void TestCsvRead::lineAcrossBlockBoundary_data()
{
    QTest::addColumn<int>("length");

    // The header "m",CR LF takes 6 bytes, so the first record's CR is at
    // 9 + length; the block is 8192 bytes.
    QTest::newRow("line spans the boundary") << 9000;
    QTest::newRow("CR last in the block, LF first in the next") << 8182;
    QTest::newRow("line end closes the block") << 8181;
    QTest::newRow("line fills the block, line end starts the next") << 8183;
    QTest::newRow("line over three blocks") << 20000;
}

void TestCsvRead::lineAcrossBlockBoundary()
{
    QFETCH(int, length);
    TqorCSVStreamFormat format;
    TqorMemTable table;
    table.DefaultFormat = &format;
    table.AddField("m", ftMemo);
    table.Open();
    const QByteArray text(length, 'x');
    const QByteArray file = "\"m\",\r\n\"" + text + "\",\r\n\"second\",\r\n";
    QCOMPARE(file.indexOf('\r', 6), 9 + length);

    LoadTable(table, file);

    QCOMPARE(Rows(table), (QStringList{'"' + QString(text) + '"', R"("second")"}));
}

void TestCsvRead::readErrorKeepsTheWholeLinesBeforeIt_data()
{
    QTest::addColumn<int>("lineCount");
    QTest::addColumn<int>("failingLine");
    QTest::addColumn<int>("failAfter");  // bytes of the failing line given
    QTest::addColumn<int>("rowCount");

    // A large file is read in parts on a machine with more than one core.
    for (const int lines : {10, 8000}) {
        const int last = lines - 1;
        const QByteArray size = QByteArray::number(lines) + " lines: ";
        QTest::newRow(size + "failure inside a line") << lines << last / 2 << 5 << last / 2;
        QTest::newRow(size + "failure before a line's end") << lines << last / 2 << 14 << last / 2;
        QTest::newRow(size + "a CR given ends the line") << lines << last / 2 << 15 << last / 2 + 1;
        QTest::newRow(size + "failure at the last line") << lines << last << 3 << last;
    }
}

void TestCsvRead::readErrorKeepsTheWholeLinesBeforeIt()
{
    QFETCH(int, lineCount);
    QFETCH(int, failingLine);
    QFETCH(int, failAfter);
    QFETCH(int, rowCount);
    TqorCSVStreamFormat format;
    TqorMemTable table;
    table.DefaultFormat = &format;
    AddKeyAndText(table);
    table.Open();
    QByteArray file = "\"az\",\"szoveg\",\r\n";
    qsizetype failAt = 0;
    for (int i = 0; i < lineCount; ++i) {
        if (i == failingLine)
            failAt = file.size() + failAfter;
        // 14 bytes before the line end.
        file += QString::asprintf("\"%05d\",\"text\"\r\n", i).toLatin1();
    }
    TPieceStream stream(file.toStdString(), 5000, static_cast<std::size_t>(failAt));

    QCOMPARE(FailureOf([&] { table.LoadFromStream(stream); }),
             "EStreamError: Read error at byte " + QString::number(failAt));

    const QStringList rows = Rows(table);
    QCOMPARE(rows.size(), rowCount);
    if (rowCount > 0)
        QCOMPARE(rows.back(), QString::asprintf(R"(%d | "text")", rowCount - 1));
}

void TestCsvRead::counterContinuesAfterHighestIdentifier()
{
    TqorCSVStreamFormat format;
    TqorMemTable table;
    table.DefaultFormat = &format;
    AddNotesFields(table);
    table.Open();

    LoadTable(table, CrLfLines({R"("az",)", R"("5",)", R"("41",)", R"("7",)", ","}));

    table.Insert();
    QCOMPARE(ValueText(table.GetValue("az")), "42");
}

QTEST_APPLESS_MAIN(TestCsvRead)
#include "tst_csv_read.moc"

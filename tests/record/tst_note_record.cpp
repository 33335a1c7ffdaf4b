#include <QtTest>

#include "record/note.h"
#include "record/notes_table.h"
#include "table/datetime_text.h"
#include "table/errors.h"
#include "table/mem_table.h"

#include <memory>
#include <string>

class TestNoteRecord : public QObject {
    Q_OBJECT

private slots:
    void init();
    void writtenNoteReadsBackWhole();
    void newNoteLeavesTextAndKeptFieldsNull();
    void nullTextNameAndNumbersReadAsEmpty();
    void nullRequiredFieldRaisesConversionError_data();
    void nullRequiredFieldRaisesConversionError();
    void fieldsOfAnotherTypeConvert();

private:
    TNote Sample() const;
    std::unique_ptr<TqorMemTable> m_table;
};

void TestNoteRecord::init()
{
    m_table = std::make_unique<TqorMemTable>("Tbl");
    DefineNoteFields(*m_table);
    m_table->Open();
}

TNote TestNoteRecord::Sample() const
{
    TNote note;
    note.Place = TNotePlace{-20, 75, 330, 100};
    note.Color = 0x0080FFFF;
    note.Font = TNoteFont{"Liberation Sans", 12, 0x000000FF, true, false, true};
    note.Text = "Tej\r\nKenyér ő";
    note.Alignment = 1;
    note.Latszik = true;
    note.Tol = TDateTime{46000.5};
    return note;
}

void TestNoteRecord::writtenNoteReadsBackWhole()
{
    TNote note = Sample();
    m_table->Insert();
    WriteNote(*m_table, note);
    m_table->SetValue(NoteField::szoveg, note.Text);
    m_table->Post();
    note.Az = 0;  // the table's first identifier
    QCOMPARE(ReadNote(*m_table), note);

    m_table->Edit();
    WriteNotePlace(*m_table, TNotePlace{1, 2, 3, 4});
    WriteNoteFont(*m_table, TNoteFont{"DejaVu Serif", 16, 0, false, true, false});
    m_table->Post();
    const TNote changed = ReadNote(*m_table);
    QCOMPARE(changed.Place, (TNotePlace{1, 2, 3, 4}));
    QCOMPARE(changed.Font, (TNoteFont{"DejaVu Serif", 16, 0, false, true, false}));
    QCOMPARE(changed.Text, note.Text);
}

void TestNoteRecord::newNoteLeavesTextAndKeptFieldsNull()
{
    m_table->Insert();
    WriteNote(*m_table, Sample());
    m_table->Post();
    QVERIFY(IsNull(m_table->GetValue(NoteField::szoveg)));
    QVERIFY(IsNull(m_table->GetValue(NoteField::kep)));
    QVERIFY(IsNull(m_table->GetValue(NoteField::figyelmeztet)));
}

void TestNoteRecord::nullTextNameAndNumbersReadAsEmpty()
{
    m_table->Insert();
    m_table->SetValue(NoteField::isbold, false);
    m_table->SetValue(NoteField::isitalic, false);
    m_table->SetValue(NoteField::isunderline, false);
    m_table->SetValue(NoteField::igazit, 2);
    m_table->SetValue(NoteField::latszik, false);
    m_table->SetValue(NoteField::tol, TDateTime{1.0});
    m_table->Post();
    const TNote note = ReadNote(*m_table);
    QCOMPARE(note.Text, std::string());
    QCOMPARE(note.Font.Name, std::string());
    QCOMPARE(note.Font.Size, 0);
    QCOMPARE(note.Place, TNotePlace{});
    QCOMPARE(note.Color, 0);
}

void TestNoteRecord::nullRequiredFieldRaisesConversionError_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("message");
    QTest::newRow("style") << "isitalic"
                           << "Could not convert variant of type (Null) into type (Boolean)";
    QTest::newRow("alignment") << "igazit"
                               << "Could not convert variant of type (Null) into type (Integer)";
    QTest::newRow("date") << "tol"
                          << "Could not convert variant of type (Null) into type (Date)";
}

void TestNoteRecord::nullRequiredFieldRaisesConversionError()
{
    QFETCH(QString, field);
    QFETCH(QString, message);
    m_table->Insert();
    WriteNote(*m_table, Sample());
    m_table->SetValue(field.toStdString(), TValue{});
    m_table->Post();
    try {
        ReadNote(*m_table);
        QFAIL("no error");
    } catch (const EConvertError& error) {
        QCOMPARE(QString::fromUtf8(error.what()), message);
    }
}

void TestNoteRecord::fieldsOfAnotherTypeConvert()
{
    // A table file from elsewhere may give a field another type.
    TqorMemTable table("Tbl");
    table.AddField(NoteField::az, ftAutoInc);
    for (const char* name :
         {NoteField::left, NoteField::top, NoteField::width, NoteField::height, NoteField::szin,
          NoteField::fontname, NoteField::fontsize, NoteField::fontcolor, NoteField::isbold,
          NoteField::isitalic, NoteField::isunderline, NoteField::igazit, NoteField::latszik,
          NoteField::tol, NoteField::szoveg})
        table.AddField(name, ftString, 40);
    table.Open();
    table.Insert();
    table.SetValue(NoteField::left, std::string("12"));
    table.SetValue(NoteField::isbold, std::string("True"));
    table.SetValue(NoteField::isitalic, std::string("0"));
    table.SetValue(NoteField::isunderline, std::string("false"));
    table.SetValue(NoteField::igazit, std::string("2"));
    table.SetValue(NoteField::latszik, std::string("1"));
    table.SetValue(NoteField::tol, FormatFileDateTime(46000.0));
    table.Post();
    const TNote note = ReadNote(table);
    QCOMPARE(note.Place.Left, 12);
    QVERIFY(note.Font.Bold);
    QVERIFY(!note.Font.Italic);
    QVERIFY(!note.Font.Underline);
    QCOMPARE(note.Alignment, 2);
    QVERIFY(note.Latszik);
    QCOMPARE(note.Tol.value, 46000.0);
}

QTEST_APPLESS_MAIN(TestNoteRecord)
#include "tst_note_record.moc"

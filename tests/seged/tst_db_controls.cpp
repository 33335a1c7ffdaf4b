#include <QCheckBox>
#include <QPlainTextEdit>
#include <QtTest>

#include "seged/db_check_box.h"
#include "seged/db_memo.h"
#include "table/data_link.h"
#include "table/mem_table.h"
#include "tests/typing_test_support.h"

#include <memory>

// The data-aware text field and check box: what they show, how editing them
// takes part in the table's edit cycle, and that they stay harmless when
// they have nothing to show.

namespace {
class Notes : public TqorMemTable {
public:
    Notes() : TqorMemTable("Tbl")
    {
        AddField("szoveg", ftMemo);
        AddField("latszik", ftBoolean);
        AddField("az", ftAutoInc);
        Open();
        Add(TValue{std::string("Tej\r\nKenyér")}, TValue{true});
        Add(TValue{}, TValue{});
        MoveFirst();
    }

private:
    void Add(const TValue& text, const TValue& flag)
    {
        AddAtEnd();
        SetValue("szoveg", text);
        SetValue("latszik", flag);
        Post();
    }
};

TValue Text(const char* s)
{
    return TValue{std::string(s)};
}
}  // namespace

class TestDbControls : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void showTheCurrentRecord();
    void typingEditsAndPostWritesTheText();
    void cancelShowsTheStoredValuesAgain();
    void clickEditsAndPostWritesTheFlag();
    void nothingToShowIsHarmless_data();
    void nothingToShowIsHarmless();

private:
    std::unique_ptr<Notes> m_table;
    std::unique_ptr<TDataSource> m_source;
    std::unique_ptr<TDBMemo> m_memo;
    std::unique_ptr<TDBCheckBox> m_box;
};

void TestDbControls::init()
{
    m_table = std::make_unique<Notes>();
    m_source = std::make_unique<TDataSource>(m_table.get());
    m_memo = std::make_unique<TDBMemo>();
    m_memo->SetDataField("szoveg");
    m_memo->SetDataSource(m_source.get());
    m_box = std::make_unique<TDBCheckBox>("Fontos?");
    m_box->SetDataField("latszik");
    m_box->SetDataSource(m_source.get());
    m_memo->show();
    m_box->show();
}

void TestDbControls::cleanup()
{
    m_memo.reset();
    m_box.reset();
    m_source.reset();
    m_table.reset();
}

void TestDbControls::showTheCurrentRecord()
{
    QCOMPARE(m_memo->toPlainText(), QStringLiteral("Tej\nKenyér"));
    QVERIFY(m_box->isChecked());
    QVERIFY(!m_memo->isReadOnly());
    QVERIFY(m_box->isEnabled());

    // An empty record shows an empty text and an unticked box.
    m_table->MoveNext();
    QCOMPARE(m_memo->toPlainText(), QString());
    QVERIFY(!m_box->isChecked());

    // A value set by code while editing shows at once.
    m_table->Edit();
    m_table->SetValue("szoveg", Text("Új"));
    m_table->SetValue("latszik", TValue{true});
    QCOMPARE(m_memo->toPlainText(), QStringLiteral("Új"));
    QVERIFY(m_box->isChecked());
    QCOMPARE(m_table->State(), dsEdit);
}

void TestDbControls::typingEditsAndPostWritesTheText()
{
    QCOMPARE(m_table->State(), dsBrowse);
    m_memo->moveCursor(QTextCursor::End);
    Type(m_memo.get(), QStringLiteral("\nvaj ő"));
    QCOMPARE(m_table->State(), dsEdit);
    QVERIFY(m_table->Modified());
    // Nothing is written until the post, and the typed text stays.
    QCOMPARE(m_table->GetValue("szoveg"), Text("Tej\r\nKenyér"));
    QCOMPARE(m_memo->toPlainText(), QStringLiteral("Tej\nKenyér\nvaj ő"));

    m_table->Post();
    QCOMPARE(m_table->State(), dsBrowse);
    QCOMPARE(m_table->GetValue("szoveg"), Text("Tej\r\nKenyér\r\nvaj ő"));
    QCOMPARE(m_memo->toPlainText(), QStringLiteral("Tej\nKenyér\nvaj ő"));

    // A move to another record posts what was typed first.
    Type(m_memo.get(), QStringLiteral("!"));
    m_table->MoveNext();
    QCOMPARE(m_memo->toPlainText(), QString());
    m_table->MoveFirst();
    QCOMPARE(m_table->GetValue("szoveg"), Text("Tej\r\nKenyér\r\nvaj ő!"));
    QCOMPARE(m_memo->toPlainText(), QStringLiteral("Tej\nKenyér\nvaj ő!"));
}

void TestDbControls::cancelShowsTheStoredValuesAgain()
{
    Type(m_memo.get(), QStringLiteral("xyz"));
    m_box->click();
    QCOMPARE(m_table->State(), dsEdit);
    m_table->Cancel();
    QCOMPARE(m_table->State(), dsBrowse);
    QCOMPARE(m_memo->toPlainText(), QStringLiteral("Tej\nKenyér"));
    QVERIFY(m_box->isChecked());
    QCOMPARE(m_table->GetValue("szoveg"), Text("Tej\r\nKenyér"));
    // The cancelled values are not written by a later post either.
    m_table->Edit();
    m_table->Post();
    QCOMPARE(m_table->GetValue("szoveg"), Text("Tej\r\nKenyér"));
    QCOMPARE(m_table->GetValue("latszik"), TValue{true});
}

void TestDbControls::clickEditsAndPostWritesTheFlag()
{
    m_table->MoveNext();  // latszik is empty here
    m_box->click();
    QVERIFY(m_box->isChecked());
    QCOMPARE(m_table->State(), dsEdit);
    QVERIFY(IsNull(m_table->GetValue("latszik")));
    m_table->Post();
    QCOMPARE(m_table->GetValue("latszik"), TValue{true});
    m_box->click();
    m_table->Post();
    QCOMPARE(m_table->GetValue("latszik"), TValue{false});
}

void TestDbControls::nothingToShowIsHarmless_data()
{
    QTest::addColumn<QString>("situation");
    QTest::newRow("no data source") << "source";
    QTest::newRow("closed table") << "closed";
    QTest::newRow("field the table lacks") << "field";
}

void TestDbControls::nothingToShowIsHarmless()
{
    QFETCH(QString, situation);
    if (situation == "source") {
        m_memo->SetDataSource(nullptr);
        m_box->SetDataSource(nullptr);
    } else if (situation == "closed") {
        m_table->Close();
    } else {
        m_memo->SetDataField("nincs");
        m_box->SetDataField("nincs");
    }
    QCOMPARE(m_memo->toPlainText(), QString());
    QVERIFY(!m_box->isChecked());
    QVERIFY(m_memo->isReadOnly());
    QVERIFY(!m_box->isEnabled());
    // Neither a paste nor a click reaches the table.
    m_memo->insertPlainText(QStringLiteral("x"));
    m_box->click();
    QVERIFY(!m_box->isChecked());
    QVERIFY(m_table->State() != dsEdit);
    if (situation != "closed")
        QCOMPARE(m_table->GetValue("szoveg"), Text("Tej\r\nKenyér"));
}

QTEST_MAIN(TestDbControls)
#include "tst_db_controls.moc"

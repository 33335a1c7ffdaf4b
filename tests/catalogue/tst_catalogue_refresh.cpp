// The catalogue window's refresh and its files, against a local server.
#include "catalogue_server.h"
#include "catalogue_window_support.h"

#include "catalogue/input_guard.h"

#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTimer>

class TestCatalogueRefresh : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void first_opening_downloads_converts_and_lists();
    void later_opening_reads_the_stored_list_sorted();
    void bad_download_keeps_list_and_file_data();
    void bad_download_keeps_list_and_file();
    void second_refresh_deletes_the_previous_download();
    void undeletable_download_stops_the_refresh();
    void first_opening_with_a_failed_download_shows_an_empty_list();
    void unreadable_stored_list_still_opens_the_window();
    void only_web_links_are_opened_data();
    void only_web_links_are_opened();
    void copies_the_description();
    void closing_stores_the_bounds_and_clears_the_flag();
    void tray_command_brings_the_open_window_forward();
    void other_windows_take_no_input_while_it_is_open();

private:
    static QByteArray Good() { return CatalogueDownload(SampleCatalogue()); }
    TCatalogueServer m_server;
    std::unique_ptr<TCatalogueWindowFixture> m_fixture;
};

void TestCatalogueRefresh::initTestCase()
{
    QVERIFY(m_server.isListening());
    m_server.Serve("/good", {TServedAnswer::Whole, 200, Good()});
    QByteArray withBom = "\xEF\xBB\xBF" + Good();
    m_server.Serve("/bom", {TServedAnswer::Whole, 200, withBom});
    m_server.Serve("/missing", {TServedAnswer::Whole, 404, "not here"});
    m_server.Serve("/silent", {TServedAnswer::Silent, 200, {}});
    QByteArray invalid = Good();
    invalid.insert(invalid.indexOf("Vikora"), "\xC3\x28");
    m_server.Serve("/invalid-utf8", {TServedAnswer::Whole, 200, invalid});
    m_server.Serve(
        "/html", {TServedAnswer::Whole, 200, "<html><body>Karbantart\xC3\xA1s</body></html>\r\n"});
    QByteArray badType = Good();
    badType.replace("programok=String", "programok=Cursor");
    m_server.Serve("/bad-type", {TServedAnswer::Whole, 200, badType});
    QByteArray otherTable = Good();
    otherTable.replace("programok", "nev");
    m_server.Serve("/other-table", {TServedAnswer::Whole, 200, otherTable});
    m_server.Serve("/empty", {TServedAnswer::Whole, 200, ""});
}

void TestCatalogueRefresh::init()
{
    m_fixture = std::make_unique<TCatalogueWindowFixture>();
}

void TestCatalogueRefresh::cleanup()
{
    m_fixture.reset();
}

void TestCatalogueRefresh::first_opening_downloads_converts_and_lists()
{
    for (const QByteArray path : {"/good", "/bom"}) {
        QDir(DataFolder).removeRecursively();
        QVERIFY(!QFileInfo::exists(DataFolder));
        m_fixture->Boxes.clear();
        m_fixture->UseAddress(m_server.Url(path));
        auto form = m_fixture->Open();

        // The data folder did not exist: the refresh makes it.
        QCOMPARE(m_fixture->Boxes, QStringList{RefreshDoneBox});
        QCOMPARE(TCatalogueWindowFixture::Names(*form),
                 (QStringList{"Vikora", QStringLiteral("Árvíztűrő"), QStringLiteral("Betű")}));
        QCOMPARE(form->DBGrid1->GridModel()->FieldText(0, "rovid"),
                 QStringLiteral("Emlékeztető cetlik"));
        const QByteArray stored = TCatalogueWindowFixture::ReadFile(Tfrm_Programok::TableFile());
        QVERIFY(stored.startsWith("\"@@FILE VERSION@@\""));
        QVERIFY(stored.contains("\"\xC1rv\xEDzt\xFBr\xF5\""));
        QVERIFY(stored.endsWith("\r\n"));
        // The raw download stays beside it, as it came.
        const QByteArray raw = path == "/bom" ? "\xEF\xBB\xBF" + Good() : Good();
        QCOMPARE(TCatalogueWindowFixture::ReadFile(Tfrm_Programok::DownloadFileName()), raw);
    }
}

void TestCatalogueRefresh::later_opening_reads_the_stored_list_sorted()
{
    TCatalogueWindowFixture::StoreCatalogue(SampleCatalogue());
    m_fixture->UseAddress(m_server.Url("/good"));
    const int requests = m_server.Requests();
    auto form = m_fixture->Open();
    QCOMPARE(m_server.Requests(), requests);
    QCOMPARE(m_fixture->Boxes, QStringList());
    QCOMPARE(TCatalogueWindowFixture::Names(*form),
             (QStringList{QStringLiteral("Árvíztűrő"), QStringLiteral("Betű"), "Vikora"}));
}

void TestCatalogueRefresh::bad_download_keeps_list_and_file_data()
{
    QTest::addColumn<QString>("address");
    QTest::newRow("not found") << m_server.Url("/missing");
    QTest::newRow("connection refused")
        << QStringLiteral("http://127.0.0.1:%1/prgcsv.php").arg(RefusingPort());
    QTest::newRow("no answer") << m_server.Url("/silent");
    QTest::newRow("invalid UTF-8") << m_server.Url("/invalid-utf8");
    QTest::newRow("a web page") << m_server.Url("/html");
    QTest::newRow("unknown field type") << m_server.Url("/bad-type");
    QTest::newRow("another table") << m_server.Url("/other-table");
    QTest::newRow("empty answer") << m_server.Url("/empty");
}

void TestCatalogueRefresh::bad_download_keeps_list_and_file()
{
    QFETCH(QString, address);
    std::vector<TCatalogueRow> old = {{"Régi", "Iroda", "Megmarad", "https://x.example/", "I", ""}};
    TCatalogueWindowFixture::StoreCatalogue(old);
    const QByteArray stored = TCatalogueWindowFixture::ReadFile(Tfrm_Programok::TableFile());
    auto form = m_fixture->Open();

    m_fixture->UseAddress(address);
    form->aFrissit->trigger();

    QCOMPARE(m_fixture->Boxes, QStringList{DownloadErrorBox});
    QCOMPARE(TCatalogueWindowFixture::Names(*form), QStringList{QStringLiteral("Régi")});
    QCOMPARE(TCatalogueWindowFixture::ReadFile(Tfrm_Programok::TableFile()), stored);
}

void TestCatalogueRefresh::second_refresh_deletes_the_previous_download()
{
    m_fixture->UseAddress(m_server.Url("/good"));
    auto form = m_fixture->Open();
    QVERIFY(QFileInfo::exists(Tfrm_Programok::DownloadFileName()));

    form->show();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    m_fixture->UseAddress(m_server.Url("/missing"));
    QTest::keyClick(form->DBGrid1, Qt::Key_F5);
    QCOMPARE(m_fixture->Boxes, (QStringList{RefreshDoneBox, DownloadErrorBox}));
    QVERIFY(!QFileInfo::exists(Tfrm_Programok::DownloadFileName()));
    QCOMPARE(TCatalogueWindowFixture::Names(*form).size(), 3);
}

void TestCatalogueRefresh::undeletable_download_stops_the_refresh()
{
    TCatalogueWindowFixture::StoreCatalogue(SampleCatalogue());
    QVERIFY(QDir().mkpath(Tfrm_Programok::DownloadFileName() + "/inside"));
    m_fixture->UseAddress(m_server.Url("/good"));
    auto form = m_fixture->Open();
    const int requests = m_server.Requests();

    form->RefreshList();
    QCOMPARE(m_fixture->Boxes, QStringList{QStringLiteral("Hiba: File törlési hiba.")});
    QCOMPARE(m_server.Requests(), requests);
    QCOMPARE(TCatalogueWindowFixture::Names(*form).size(), 3);
}

void TestCatalogueRefresh::first_opening_with_a_failed_download_shows_an_empty_list()
{
    m_fixture->UseAddress(m_server.Url("/missing"));
    auto form = m_fixture->Open();
    QCOMPARE(m_fixture->Boxes, QStringList{DownloadErrorBox});
    QCOMPARE(form->DBGrid1->GridModel()->rowCount(), 0);
    QVERIFY(!QFileInfo::exists(Tfrm_Programok::TableFile()));
}

void TestCatalogueRefresh::unreadable_stored_list_still_opens_the_window()
{
    TCatalogueWindowFixture::WriteFile(
        Tfrm_Programok::TableFile(),
        CatalogueTextFromDownload(Good()).replace("programok=String", "programok=Cursor"));
    auto form = m_fixture->Open();
    QCOMPARE(m_fixture->Boxes.size(), 1);
    QVERIFY2(m_fixture->Boxes[0].startsWith("Hiba: "), qPrintable(m_fixture->Boxes[0]));
    QCOMPARE(form->DBGrid1->GridModel()->rowCount(), 0);

    // A refresh replaces it.
    m_fixture->UseAddress(m_server.Url("/good"));
    form->aFrissit->trigger();
    QCOMPARE(TCatalogueWindowFixture::Names(*form).size(), 3);
}

void TestCatalogueRefresh::only_web_links_are_opened_data()
{
    QTest::addColumn<QString>("link");
    QTest::addColumn<QString>("opened");
    QTest::newRow("https") << "https://www.zamolin.example/vikora"
                           << "https://www.zamolin.example/vikora";
    QTest::newRow("http, normalised") << QStringLiteral("HTTP://Www.Zamolin.example/árvíz")
                                      << "http://www.zamolin.example/%C3%A1rv%C3%ADz";
    QTest::newRow("file") << "file:///etc/passwd"
                          << "";
    QTest::newRow("javascript") << "javascript:alert(1)"
                                << "";
    QTest::newRow("user and password") << "https://a:b@www.zamolin.example/"
                                       << "";
    QTest::newRow("relative") << "vikora.html"
                              << "";
    QTest::newRow("empty") << ""
                           << "";
}

void TestCatalogueRefresh::only_web_links_are_opened()
{
    QFETCH(QString, link);
    QFETCH(QString, opened);
    TCatalogueWindowFixture::StoreCatalogue({{"Egy", "Iroda", "Csak egy", link, "I", ""}});
    auto form = m_fixture->Open();
    form->aLetolt->trigger();
    form->DBText2Click();
    const QStringList expected = opened.isEmpty() ? QStringList() : QStringList{opened, opened};
    QCOMPARE(m_fixture->Opened, expected);
    QCOMPARE(form->DBText2->text(), link);
    QCOMPARE(m_fixture->Boxes, QStringList());
}

void TestCatalogueRefresh::copies_the_description()
{
    TCatalogueWindowFixture::StoreCatalogue(SampleCatalogue());
    auto form = m_fixture->Open();
    form->DBGrid1->GridModel()->MoveToRow(2);
    QCOMPARE(form->Tbl.GetValue("programok"), TValue{std::string("Vikora")});
    form->aMasol->trigger();
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("Öt űrlap és ötven őzike"));

    // A catalogue without descriptions: the field's error, clipboard as it was.
    form.reset();
    TCatalogueWindowFixture::WriteFile(Tfrm_Programok::TableFile(), QByteArray());
    form = m_fixture->Open();
    QApplication::clipboard()->setText(QStringLiteral("régi"));
    QVERIFY_THROWS_EXCEPTION(std::exception, form->aMasolExecute());
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("régi"));
}

void TestCatalogueRefresh::closing_stores_the_bounds_and_clears_the_flag()
{
    TCatalogueWindowFixture::StoreCatalogue(SampleCatalogue());
    bool open = true;
    {
        auto form = m_fixture->Open(&open);
        form->show();
        form->move(40, 50);
        form->resize(700, 400);
        QVERIFY(form->close());
        QVERIFY(!open);
        QVERIFY(!form->Tbl.Active());
    }
    auto again = m_fixture->Open();
    again->show();
    QCOMPARE(again->pos(), QPoint(40, 50));
    QCOMPARE(again->size(), QSize(700, 400));
    again->close();
}

void TestCatalogueRefresh::tray_command_brings_the_open_window_forward()
{
    TCatalogueWindowFixture::StoreCatalogue(SampleCatalogue());
    bool open = false;
    TProgramokHooks hooks;
    hooks.CatalogueOpen = &open;
    Tfrm_Programok* first = nullptr;
    int windows = -1;
    QTimer::singleShot(0, this, [&] {
        first = frm_Programok;
        ProgramokCommand(hooks);  // while it is open
        windows = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            windows += qobject_cast<Tfrm_Programok*>(w) ? 1 : 0;
        QVERIFY(open);
        if (frm_Programok)
            frm_Programok->aBezar->trigger();
    });
    ProgramokCommand(hooks);
    QVERIFY(first != nullptr);
    QCOMPARE(windows, 1);
    QVERIFY(!open);
    QCOMPARE(frm_Programok, nullptr);
}

void TestCatalogueRefresh::other_windows_take_no_input_while_it_is_open()
{
    TCatalogueWindowFixture::StoreCatalogue(SampleCatalogue());
    QLineEdit other;
    other.show();
    QString typedWhileOpen = QStringLiteral("<not run>");
    bool popupAllowed = false;
    QTimer::singleShot(0, this, [&] {
        QTest::keyClicks(&other, "abc");
        typedWhileOpen = other.text();
        QMenu menu;
        popupAllowed = frm_Programok && TInputGuard(frm_Programok).Allows(&menu);
        if (frm_Programok)
            frm_Programok->aBezar->trigger();
    });
    bool open = false;
    ShowProgramok({&open, {}});
    QCOMPARE(typedWhileOpen, QString());
    QVERIFY(popupAllowed);
    // Once it has closed, the other window takes input again.
    QTest::keyClicks(&other, "abc");
    QCOMPARE(other.text(), QStringLiteral("abc"));
}

QTEST_MAIN(TestCatalogueRefresh)
#include "tst_catalogue_refresh.moc"

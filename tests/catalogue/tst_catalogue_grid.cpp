// The catalogue grid on screen: sorting, colours, pictures, status, wheel,
// column widths and the keys that open a program's page.
#include "catalogue_window_support.h"

#include "seged/colors.h"

#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QScrollBar>
#include <QStatusBar>
#include <QTest>
#include <QWheelEvent>

namespace {
const QColor FreeRow(0xC1, 0xFF, 0xE0);
const QColor SortColumn(0xFF, 0xFF, 0xB9);

// 25 programs; every third one free; categories run backwards.
std::vector<TCatalogueRow> TwentyFive()
{
    std::vector<TCatalogueRow> rows;
    for (int i = 1; i <= 25; ++i) {
        const QString n = QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0'));
        rows.push_back(
            {"Program " + n, "Kat " + QStringLiteral("%1").arg(26 - i, 2, 10, QLatin1Char('0')),
             "Leírás " + n, "https://www.zamolin.example/p" + n,
             i % 3 == 1 ? QStringLiteral("I") : (i % 3 == 2 ? QStringLiteral("i") : QString()),
             QString()});
    }
    return rows;
}
}  // namespace

class TestCatalogueGrid : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void position_text_shows_count_then_row();
    void title_click_sorts_and_moves_the_highlight();
    void cells_are_coloured_by_row_and_column();
    void wheel_moves_one_row_per_notch();
    void column_widths_data();
    void column_widths();
    void resizing_applies_the_widths();
    void enter_and_double_click_open_the_page();

private:
    void OpenShown();
    QRect CellRect(int row, int column) const;
    QColor PixelAt(const QImage& image, QPoint point) const;

    std::unique_ptr<TCatalogueWindowFixture> m_fixture;
    std::unique_ptr<Tfrm_Programok> m_form;
};

void TestCatalogueGrid::init()
{
    m_fixture = std::make_unique<TCatalogueWindowFixture>();
}

void TestCatalogueGrid::cleanup()
{
    m_form.reset();
    m_fixture.reset();
}

void TestCatalogueGrid::OpenShown()
{
    TCatalogueWindowFixture::StoreCatalogue(TwentyFive());
    m_form = m_fixture->Open();
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
}

QRect TestCatalogueGrid::CellRect(int row, int column) const
{
    const TDBGrid& grid = *m_form->DBGrid1;
    return grid.visualRect(grid.model()->index(row, column));
}

QColor TestCatalogueGrid::PixelAt(const QImage& image, QPoint point) const
{
    const qreal ratio = image.devicePixelRatio();
    return image.pixelColor(qRound(point.x() * ratio), qRound(point.y() * ratio));
}

void TestCatalogueGrid::position_text_shows_count_then_row()
{
    OpenShown();
    QCOMPARE(m_form->StatusPanel1->text(), QStringLiteral("25: 1"));
    m_form->DBGrid1->GridModel()->MoveToRow(2);
    QCOMPARE(m_form->StatusPanel1->text(), QStringLiteral("25: 3"));
    QCOMPARE(m_form->DBText2->text(), QStringLiteral("https://www.zamolin.example/p03"));
    QTest::keyClick(m_form->DBGrid1, Qt::Key_Down);
    QCOMPARE(m_form->StatusPanel1->text(), QStringLiteral("25: 4"));
    QCOMPARE(m_form->DBGrid1->currentIndex().row(), 3);
    QCOMPARE(m_form->StatusPanel2->text(), QString());
}

void TestCatalogueGrid::title_click_sorts_and_moves_the_highlight()
{
    OpenShown();
    TDBGrid& grid = *m_form->DBGrid1;
    grid.GridModel()->MoveToRow(4);  // Program 05, Kat 21
    QCOMPARE(grid.ColumnColor(0), SortColumn);

    QHeaderView* header = grid.horizontalHeader();
    const int x = header->sectionViewportPosition(1) + header->sectionSize(1) / 2;
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));

    const TDBGridModel& model = *grid.GridModel();
    QCOMPARE(model.FieldText(0, "kategoria"), QStringLiteral("Kat 01"));
    QCOMPARE(model.FieldText(24, "kategoria"), QStringLiteral("Kat 25"));
    QCOMPARE(grid.ColumnColor(1), SortColumn);
    for (const int other : {0, 2, 3})
        QCOMPARE(grid.ColumnColor(other), ColorToQColor(static_cast<std::int32_t>(0xFF000005u)));
    // The current program stays current, now further down.
    QCOMPARE(m_form->Tbl.GetValue("programok"), TValue{std::string("Program 05")});
    QCOMPARE(grid.currentIndex().row(), 20);
    QCOMPARE(m_form->StatusPanel1->text(), QStringLiteral("25: 21"));
}

void TestCatalogueGrid::cells_are_coloured_by_row_and_column()
{
    OpenShown();
    TDBGrid& grid = *m_form->DBGrid1;
    grid.GridModel()->MoveToRow(3);  // Program 04, free, selected
    const QImage image = grid.viewport()->grab().toImage();
    const QColor window = ColorToQColor(static_cast<std::int32_t>(0xFF000005u));
    const QColor selected = grid.palette().color(QPalette::Active, QPalette::Highlight);
    const auto right = [this](int row, int column) {
        const QRect r = CellRect(row, column);
        return QPoint(r.right() - 3, r.center().y());
    };

    // Row 0 is free, row 1 "i", row 2 empty, row 3 free and selected.
    QCOMPARE(PixelAt(image, right(0, 0)), FreeRow);
    QCOMPARE(PixelAt(image, right(0, 2)), FreeRow);
    QCOMPARE(PixelAt(image, right(1, 0)), SortColumn);
    QCOMPARE(PixelAt(image, right(1, 2)), window);
    QCOMPARE(PixelAt(image, right(2, 3)), window);
    QCOMPARE(PixelAt(image, right(3, 0)), selected);
    QCOMPARE(PixelAt(image, right(3, 3)), selected);

    // The picture 36 pixels from the cell's left edge: a green tick on free
    // rows (selected or not), a red cross on the others.
    const auto picture = [this, &image](int row) {
        const QRect r = CellRect(row, 3);
        QColor strongest;
        for (int dx = 0; dx < 16; ++dx)
            for (int dy = 0; dy < 16; ++dy) {
                const QColor c =
                    PixelAt(image, r.topLeft() + QPoint(36 + dx, (r.height() - 16) / 2 + dy));
                if (qAbs(c.red() - c.green()) > qAbs(strongest.red() - strongest.green()))
                    strongest = c;
            }
        return strongest.green() > strongest.red() ? QStringLiteral("tick")
                                                   : QStringLiteral("cross");
    };
    QCOMPARE(picture(0), QStringLiteral("tick"));
    QCOMPARE(picture(1), QStringLiteral("cross"));
    QCOMPARE(picture(2), QStringLiteral("cross"));
    QCOMPARE(picture(3), QStringLiteral("tick"));
    // Nothing outside the picture's square in that column, and the square
    // centred in the row's height.
    const QRect r = CellRect(1, 3);
    QCOMPARE(PixelAt(image, r.topLeft() + QPoint(20, 8)), window);
    const int squareTop = (r.height() - 16) / 2;
    QVERIFY2(squareTop >= 2, "rows too low to tell a centred picture from a top one");
    int firstDrawn = -1;
    int lastDrawn = -1;
    for (int dy = 0; dy < r.height(); ++dy)
        for (int dx = 0; dx < 16; ++dx)
            if (PixelAt(image, r.topLeft() + QPoint(36 + dx, dy)) != window) {
                if (firstDrawn < 0)
                    firstDrawn = dy;
                lastDrawn = dy;
            }
    QVERIFY(firstDrawn >= squareTop);
    QVERIFY(lastDrawn < squareTop + 16);
    QVERIFY(lastDrawn >= 16);
}

void TestCatalogueGrid::wheel_moves_one_row_per_notch()
{
    OpenShown();
    TDBGrid& grid = *m_form->DBGrid1;
    const QPointF at = CellRect(0, 0).center();
    const auto turn = [&](int delta) {
        QWheelEvent event(at, grid.viewport()->mapToGlobal(at), QPoint(), QPoint(0, delta),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(grid.viewport(), &event);
    };
    for (int notch = 0; notch < 3; ++notch)
        turn(-120);
    QCOMPARE(m_form->StatusPanel1->text(), QStringLiteral("25: 4"));
    turn(120);
    QCOMPARE(m_form->StatusPanel1->text(), QStringLiteral("25: 3"));
    turn(-60);
    turn(-60);
    QCOMPARE(m_form->StatusPanel1->text(), QStringLiteral("25: 4"));
    for (int notch = 0; notch < 10; ++notch)
        turn(120);
    QCOMPARE(m_form->StatusPanel1->text(), QStringLiteral("25: 1"));
    // The view itself did not scroll by pixels.
    QCOMPARE(grid.verticalScrollBar()->value(), 0);

    // A turn that reaches the window from elsewhere in it (the tool bar, the
    // status bar) moves the grid's row as well.
    const QPointF there = m_form->StatusBar1->geometry().center();
    QWheelEvent event(there, m_form->mapToGlobal(there), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(m_form.get(), &event);
    QCOMPARE(m_form->StatusPanel1->text(), QStringLiteral("25: 2"));
}

void TestCatalogueGrid::column_widths_data()
{
    QTest::addColumn<int>("gridWidth");
    QTest::addColumn<QList<int>>("widths");
    QTest::newRow("design size") << 868 << QList<int>{147, 147, 442, 88};
    QTest::newRow("fractions round") << 1000 << QList<int>{174, 174, 521, 88};
    QTest::newRow("exact") << 1132 << QList<int>{200, 200, 600, 88};
    QTest::newRow("no room") << 100 << QList<int>{0, 0, 0, 88};
}

void TestCatalogueGrid::column_widths()
{
    QFETCH(int, gridWidth);
    QFETCH(QList<int>, widths);
    const std::array<int, 4> got = CatalogueColumnWidths(gridWidth);
    QCOMPARE(QList<int>(got.begin(), got.end()), widths);
}

void TestCatalogueGrid::resizing_applies_the_widths()
{
    OpenShown();
    m_form->resize(1100, 500);
    QTRY_COMPARE(m_form->width(), 1100);
    const std::array<int, 4> expected = CatalogueColumnWidths(m_form->DBGrid1->width());
    for (int i = 0; i < 4; ++i)
        QCOMPARE(m_form->DBGrid1->columnWidth(i), expected[static_cast<std::size_t>(i)]);
}

void TestCatalogueGrid::enter_and_double_click_open_the_page()
{
    OpenShown();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    TDBGrid& grid = *m_form->DBGrid1;
    grid.setFocus();
    grid.GridModel()->MoveToRow(1);
    QTest::keyClick(&grid, Qt::Key_Return);
    QCOMPARE(m_fixture->Opened, QStringList{"https://www.zamolin.example/p02"});

    const QPoint cell = CellRect(5, 0).center();
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, cell);
    QCOMPARE(m_fixture->Opened.size(), 2);
    QCOMPARE(m_fixture->Opened.last(), QStringLiteral("https://www.zamolin.example/p06"));
    QCOMPARE(m_fixture->Boxes, QStringList());
}

QTEST_MAIN(TestCatalogueGrid)
#include "tst_catalogue_grid.moc"

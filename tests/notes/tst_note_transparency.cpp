// Following the transparency settings: alpha, colour keying and its key.
#include "note_test_support.h"

#include "notes/settings_beat.h"

#include <QLabel>
#include <QPointer>
#include <QTimer>
#include <QtTest>

class TestNoteTransparency : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void keyColourIsChosenOnceAtCreation_data();
    void keyColourIsChosenOnceAtCreation();
    void beatFollowsTheSettings();
    void maskLeavesOutKeyColouredPixels();
    void textKeyDrawsLettersWithoutAntialiasing();

private:
    Tfrm_Ablak* OpenTracked(const TNote& v = SampleNote());
    TRecordingStore m_store;
    QList<QPointer<Tfrm_Ablak>> m_windows;
};

void TestNoteTransparency::init()
{
    UseWorkArea();
    Beall = TBeall{};
}

void TestNoteTransparency::cleanup()
{
    for (const auto& window : m_windows)
        delete window.data();
    m_windows.clear();
}

Tfrm_Ablak* TestNoteTransparency::OpenTracked(const TNote& v)
{
    Tfrm_Ablak* window = Open(m_store, v);
    m_windows << window;
    return window;
}

void TestNoteTransparency::keyColourIsChosenOnceAtCreation_data()
{
    QTest::addColumn<bool>("fontTransparent");
    QTest::addColumn<bool>("windowTransparent");
    QTest::addColumn<QColor>("key");
    QTest::addColumn<bool>("keying");
    const QColor background(0xFF, 0xFF, 0x80);
    const QColor text(0x20, 0x40, 0x60);
    QTest::newRow("nothing see-through") << false << false << background << false;
    QTest::newRow("window see-through") << false << true << background << true;
    QTest::newRow("text see-through") << true << false << text << true;
    QTest::newRow("both") << true << true << text << true;
}

void TestNoteTransparency::keyColourIsChosenOnceAtCreation()
{
    QFETCH(bool, fontTransparent);
    QFETCH(bool, windowTransparent);
    QFETCH(QColor, key);
    QFETCH(bool, keying);
    Beall.FontTransparent = fontTransparent;
    Beall.WindowTransparent = windowTransparent;
    Beall.UseTransparentColor = fontTransparent || windowTransparent;
    TNote v = SampleNote();
    v.Font.Color = 0x00604020;
    Tfrm_Ablak* w = OpenTracked(v);
    QCOMPARE(w->KeyColor(), key);
    QCOMPARE(w->ColorKeying(), keying);

    // Neither the settings nor a new background move the key later.
    Beall.FontTransparent = !fontTransparent;
    Beall.UseTransparentColor = true;
    w->Timer1Timer();
    QVERIFY(w->ColorKeying());
    QCOMPARE(w->KeyColor(), key);
}

void TestNoteTransparency::beatFollowsTheSettings()
{
    Tfrm_Ablak* first = OpenTracked();
    TNote v = SampleNote();
    v.Place.Left = 500;
    Tfrm_Ablak* second = OpenTracked(v);
    QVERIFY(!first->AlphaBlending());
    QCOMPARE(first->windowOpacity(), 1.0);

    // One beat for all windows, not a timer each.
    QTimer* beat = TSettingsBeat::Instance().Timer1;
    QCOMPARE(beat->interval(), 2500);
    QVERIFY(beat->isActive());
    QVERIFY(first->findChildren<QTimer*>().isEmpty());

    Beall.AlphaBlend = true;
    Beall.AlphaBlendValue = 128 + 256;  // only the low 8 bits count
    Beall.WindowTransparent = true;
    Beall.UseTransparentColor = true;
    emit TSettingsBeat::Instance().beat();
    for (Tfrm_Ablak* w : {first, second}) {
        QVERIFY(w->AlphaBlending());
        QCOMPARE(w->AlphaValue(), 128);
        QCOMPARE(w->windowOpacity(), 128 / 255.0);
        QVERIFY(w->ColorKeying());
    }
    Beall.AlphaBlend = false;
    Beall.UseTransparentColor = false;
    first->Timer1Timer();
    QCOMPARE(first->windowOpacity(), 1.0);
    QVERIFY(!first->ColorKeying());
    QVERIFY(first->mask().isEmpty());
}

void TestNoteTransparency::maskLeavesOutKeyColouredPixels()
{
    Beall.WindowTransparent = true;
    Beall.UseTransparentColor = true;
    TNote v = SampleNote();
    v.Text = "MMMMMMMM";
    v.Font.Size = 20;
    v.Font.Bold = true;
    v.Latszik = true;
    Tfrm_Ablak* w = OpenTracked(v);
    w->RebuildMask();
    const QRegion shown = w->mask();
    QVERIFY(!shown.isEmpty());
    QVERIFY(!shown.contains(QPoint(2, 110)));  // plain background
    QVERIFY(shown.contains(QPoint(200 - 17 + 8, 12)));  // the marker
    QVERIFY(shown.boundingRect().intersects(w->Label1->geometry().adjusted(0, 40, 0, -40)));

    // Keying off: no mask.
    Beall.WindowTransparent = false;
    Beall.UseTransparentColor = false;
    w->Timer1Timer();
    QVERIFY(w->mask().isEmpty());
}

void TestNoteTransparency::textKeyDrawsLettersWithoutAntialiasing()
{
    Beall.FontTransparent = true;
    Beall.UseTransparentColor = true;
    TNote v = SampleNote();
    v.Text = "MMMMMMMM";
    v.Font.Size = 20;
    v.Font.Bold = true;
    Tfrm_Ablak* w = OpenTracked(v);
    QCOMPARE(w->Label1->font().styleStrategy() & QFont::NoAntialias, QFont::NoAntialias);
    w->RebuildMask();
    const QRegion shown = w->mask();
    QVERIFY(shown.contains(QPoint(2, 110)));  // the background stays
    const int area = [&] {
        int sum = 0;
        for (const QRect& r : shown)
            sum += r.width() * r.height();
        return sum;
    }();
    QVERIFY2(area < 200 * 120, "some letter pixels are holes");

    Beall.FontTransparent = false;
    Beall.UseTransparentColor = false;
    w->Timer1Timer();
    QCOMPARE(w->Label1->font().styleStrategy() & QFont::NoAntialias, 0);
}

QTEST_MAIN(TestNoteTransparency)
#include "tst_note_transparency.moc"

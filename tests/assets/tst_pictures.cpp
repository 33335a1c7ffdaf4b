#include "assets/assets.h"

#include <QApplication>
#include <QLabel>
#include <QTest>

// The program's pictures on a screen scaled to 200 % (QT_SCALE_FACTOR=2 is
// set for this test): drawn from their SVG at the device's pixels, never a
// 100 % picture blown up.
class TestPictures : public QObject {
    Q_OBJECT

private slots:
    void screenIsScaled();
    void picturesAreRenderedAtDevicePixels_data();
    void picturesAreRenderedAtDevicePixels();
    void trayIconHasDevicePixels();
};

void TestPictures::screenIsScaled()
{
    QLabel label;
    QCOMPARE(label.devicePixelRatioF(), 2.0);
}

void TestPictures::picturesAreRenderedAtDevicePixels_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size");

    QTest::newRow("splash") << "splash" << QSize(499, 373);
    QTest::newRow("push-pin") << "pushpin" << QSize(16, 16);
    QTest::newRow("importance marker") << "fontos" << QSize(16, 16);
    QTest::newRow("calendar leaf") << "naptar" << QSize(32, 32);
    QTest::newRow("command picture") << "elment" << QSize(16, 16);
}

void TestPictures::picturesAreRenderedAtDevicePixels()
{
    QFETCH(QString, name);
    QFETCH(QSize, size);
    const QString resource = ":/pictures/" + name + ".svg";
    QLabel label;

    const QPixmap sharp = RenderPicture(resource, size, label.devicePixelRatioF());

    QCOMPARE(sharp.size(), size * 2);
    QCOMPARE(sharp.deviceIndependentSize().toSize(), size);
    // A 100 % picture doubled has 2×2 blocks of one colour; the real one has
    // detail inside them.
    const QImage doubled = RenderPicture(resource, size, 1.0)
                               .toImage()
                               .scaled(size * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                               .convertToFormat(QImage::Format_ARGB32);
    QVERIFY(sharp.toImage().convertToFormat(QImage::Format_ARGB32) != doubled);
}

void TestPictures::trayIconHasDevicePixels()
{
    const QPixmap shown = PushPinIcon().pixmap(QSize(16, 16), 2.0);
    const QPixmap sharp = RenderPicture(":/pictures/pushpin.svg", QSize(16, 16), 2.0);

    QCOMPARE(shown.size(), QSize(32, 32));
    QCOMPARE(shown.toImage().convertToFormat(QImage::Format_ARGB32),
             sharp.toImage().convertToFormat(QImage::Format_ARGB32));
}

QTEST_MAIN(TestPictures)
#include "tst_pictures.moc"

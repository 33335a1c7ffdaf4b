#include "help/bevel_panel.h"
#include "help/nevjegy.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

class TestNevjegy : public QObject {
    Q_OBJECT

private slots:
    void showsNameVersionAndContact();
    void isModalAndFreesItselfWhenClosed_data();
    void isModalAndFreesItselfWhenClosed();
    void showsThePushPin();
};

void TestNevjegy::showsNameVersionAndContact()
{
    Tfrm_Nevjegy box;
    QCOMPARE(box.windowTitle(), QStringLiteral("Névjegy"));
    QCOMPARE(box.size(), QSize(592, 308));
    QCOMPARE(box.ProductName->text(), QStringLiteral("Vi-Kora\nV4.0.0.152"));
    QCOMPARE(box.ProductName->parentWidget(), box.Panel1);
    QCOMPARE(box.Panel1->geometry(), QRect(272, 4, 305, 253));

    const QStringList contact = box.Label1->text().split(QLatin1Char('\n'));
    QCOMPARE(contact.size(), 5);
    QCOMPARE(contact[1], QStringLiteral("*** Munkaidőben (H-P: 08-17h) ***"));
    QVERIFY(contact[3].startsWith(QLatin1String("https://")));
    QVERIFY(contact[4].contains(QLatin1Char('@')));

    QCOMPARE(box.OKButton->text(), QStringLiteral("OK"));
    QVERIFY(box.OKButton->isDefault());
    QCOMPARE(box.OKButton->geometry(), QRect(495, 268, 75, 25));
    for (const QLabel* label : box.findChildren<QLabel*>()) {
        QCOMPARE(label->textFormat(), Qt::PlainText);
        // Whole, also in the platform's font when "Tahoma" or "Arial" is missing.
        const QSize needed = label->sizeHint();
        QVERIFY2(needed.width() <= label->width() && needed.height() <= label->height(),
                 qPrintable(QStringLiteral("%1 needs %2x%3")
                                .arg(label->objectName())
                                .arg(needed.width())
                                .arg(needed.height())));
    }
}

void TestNevjegy::isModalAndFreesItselfWhenClosed_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("OK") << "OK";
    QTest::newRow("Enter presses the default button") << "Enter";
    QTest::newRow("close box") << "close";
}

void TestNevjegy::isModalAndFreesItselfWhenClosed()
{
    QFETCH(QString, how);
    QPointer<Tfrm_Nevjegy> box = ShowNevjegy();
    QVERIFY(QTest::qWaitForWindowExposed(box));
    QVERIFY(box->isVisible());
    QCOMPARE(box->windowModality(), Qt::ApplicationModal);
    QCOMPARE(QApplication::activeModalWidget(), box.data());

    if (how == QLatin1String("OK"))
        QTest::mouseClick(box->OKButton, Qt::LeftButton);
    else if (how == QLatin1String("Enter"))
        QTest::keyClick(box->Label1, Qt::Key_Return);
    else
        QVERIFY(box->close());
    QTRY_VERIFY(box.isNull());
    QVERIFY(!QApplication::activeModalWidget());
}

void TestNevjegy::showsThePushPin()
{
    Tfrm_Nevjegy box;
    QCOMPARE(box.Image1->geometry(), QRect(0, 0, 256, 256));
    const QImage picture = box.Image1->pixmap().toImage();
    QVERIFY(!picture.isNull());
    // Drawn on a transparent background, with the pin in the middle.
    QCOMPARE(qAlpha(picture.pixel(0, 0)), 0);
    int opaque = 0;
    for (int y = 0; y < picture.height(); y += 4)
        for (int x = 0; x < picture.width(); x += 4)
            opaque += qAlpha(picture.pixel(x, y)) == 255;
    QVERIFY2(opaque > 200, qPrintable(QString::number(opaque)));
}

QTEST_MAIN(TestNevjegy)
#include "tst_nevjegy.moc"

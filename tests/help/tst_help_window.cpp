#include "desktop/maker_addresses.h"
#include "help/click_label.h"
#include "help/help_window.h"
#include "help/nevjegy.h"
#include "help/window_place.h"
#include "tests/url_recorder.h"

#include <QDialog>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QtTest>

#include <memory>

namespace {

TClickLabel* Entry(Tfrm_Help& window, const QString& name)
{
    auto* label = window.findChild<TClickLabel*>(name);
    if (!label)
        qFatal("no clickable label %s", qPrintable(name));
    return label;
}

QLabel* PageLabel(Tfrm_Help& window, const QString& name)
{
    auto* label = window.ScrollBox1->widget()->findChild<QLabel*>(name);
    if (!label)
        qFatal("no label %s", qPrintable(name));
    return label;
}

}  // namespace

class TestHelpWindow : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void contentsEntryScrollsToItsSection_data();
    void contentsEntryScrollsToItsSection();
    void linkOpensWithTheDesktopsOpener_data();
    void linkOpensWithTheDesktopsOpener();
    void clickNeedsTheReleaseOverTheLabel();
    void everyTextIsPlainAndFitsItsBox();
    void severalWindowsEachFreeingItself();
    void usableWhileAModalDialogIsOpen();
    void placement_data();
    void placement();
    void openWindowsAreFreedWhenTheProgramEnds();

private:
    TUrlRecorder m_recorder;
};

void TestHelpWindow::init()
{
    m_recorder.Start();
}

void TestHelpWindow::cleanup()
{
    m_recorder.Stop();
}

void TestHelpWindow::contentsEntryScrollsToItsSection_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("position");  // -1: the end of the page
    QTest::addColumn<QString>("heading");

    QTest::newRow("general") << "Label26"
                             << "Általános információk" << 142 << "Label27";
    QTest::newRow("legal status") << "Label4"
                                  << "Jogállás, felhasználói szerződés" << 333 << "Label8";
    QTest::newRow("requirements") << "Label5"
                                  << "Hardware, software igény" << 550 << "Label11";
    QTest::newRow("installation") << "Label6"
                                  << "A program telepítése" << 678 << "Label10";
    // 816 lies beyond the end of the page: the scroll box stops at the end.
    QTest::newRow("usage, at the end") << "Label7"
                                       << "A program használata" << -1 << "Label9";
}

void TestHelpWindow::contentsEntryScrollsToItsSection()
{
    QFETCH(QString, entry);
    QFETCH(QString, text);
    QFETCH(int, position);
    QFETCH(QString, heading);

    Tfrm_Help window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.ScrollPosition(), 0);
    QScrollBar* bar = window.ScrollBox1->verticalScrollBar();
    if (position < 0) {
        QVERIFY2(bar->maximum() < 816, qPrintable(QString::number(bar->maximum())));
        position = bar->maximum();
    }

    TClickLabel* label = Entry(window, entry);
    QCOMPARE(label->text(), text);
    QTest::mouseClick(label, Qt::LeftButton);
    QCOMPARE(window.ScrollPosition(), position);

    // The section's heading, which repeats the entry's text, is at or near
    // the top of what is shown.
    QLabel* title = PageLabel(window, heading);
    QCOMPARE(title->text(), text);
    const int shownAt = title->y() - window.ScrollPosition();
    QVERIFY2(shownAt > -title->height() && shownAt < 100, qPrintable(QString::number(shownAt)));

    // A second window opens at the top, whatever the first one shows.
    Tfrm_Help other;
    other.show();
    QCOMPARE(other.ScrollPosition(), 0);
}

void TestHelpWindow::linkOpensWithTheDesktopsOpener_data()
{
    QTest::addColumn<QString>("link");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QUrl>("opened");

    QTest::newRow("e-mail") << "Label36" << QString::fromLatin1(MakerEmail)
                            << QUrl(QStringLiteral(
                                   "mailto:info@zamolin.example?subject=vikora%20megrendeles"));
    // The label shows the home page but opens the second web site.
    QTest::newRow("web") << "Label38" << QString::fromLatin1(MakerHomePage)
                         << QUrl(QString::fromLatin1(MakerSecondWebSite));
}

void TestHelpWindow::linkOpensWithTheDesktopsOpener()
{
    QFETCH(QString, link);
    QFETCH(QString, shown);
    QFETCH(QUrl, opened);

    Tfrm_Help window;
    window.show();
    TClickLabel* label = Entry(window, link);
    QCOMPARE(label->text(), shown);
    QVERIFY(QUrl(shown) != opened);

    QTest::mouseClick(label, Qt::LeftButton);
    QCOMPARE(m_recorder.Opened, QList<QUrl>{opened});
    QCOMPARE(m_recorder.Opened.first().toString(QUrl::FullyEncoded),
             opened.toString(QUrl::FullyEncoded));
    QCOMPARE(window.ScrollPosition(), 0);
}

void TestHelpWindow::clickNeedsTheReleaseOverTheLabel()
{
    Tfrm_Help window;
    window.show();
    TClickLabel* label = window.Label36;
    QSignalSpy clicks(label, &TClickLabel::clicked);

    QTest::mousePress(label, Qt::LeftButton);
    QTest::mouseRelease(label, Qt::LeftButton, {},
                        QPoint(label->width() + 20, label->height() / 2));
    QTest::mouseClick(label, Qt::RightButton);
    QCOMPARE(clicks.count(), 0);
    QVERIFY(m_recorder.Opened.isEmpty());

    QTest::mouseClick(label, Qt::LeftButton);
    QCOMPARE(clicks.count(), 1);
}

void TestHelpWindow::everyTextIsPlainAndFitsItsBox()
{
    Tfrm_Help window;
    window.show();
    const QList<QLabel*> labels = window.ScrollBox1->widget()->findChildren<QLabel*>();
    QCOMPARE(labels.size(), 29);
    for (const QLabel* label : labels) {
        const QString name = label->objectName();
        QCOMPARE(label->textFormat(), Qt::PlainText);
        // A box of fixed size with a platform font that is wider than the
        // intended one must still show the whole text.
        const QSize needed = label->wordWrap()
                                 ? QSize(label->width(), label->heightForWidth(label->width()))
                                 : label->sizeHint();
        QVERIFY2(needed.height() <= label->height() && needed.width() <= label->width(),
                 qPrintable(QStringLiteral("%1 needs %2x%3 in %4x%5")
                                .arg(name)
                                .arg(needed.width())
                                .arg(needed.height())
                                .arg(label->width())
                                .arg(label->height())));
    }
    // The title stands at the right with its right edge at 585.
    QCOMPARE(PageLabel(window, QStringLiteral("Label3"))->geometry().right() + 1, 585);
}

void TestHelpWindow::severalWindowsEachFreeingItself()
{
    QPointer<Tfrm_Help> first = ShowHelp();
    QPointer<Tfrm_Help> second = ShowHelp();
    QVERIFY(first && second && first != second);
    QVERIFY(first->isVisible() && second->isVisible());
    QCOMPARE(first->windowTitle(), QStringLiteral("Súgó"));
    QVERIFY(frm_Help == second);

    QVERIFY(first->close());
    QTRY_VERIFY(first.isNull());
    QVERIFY(second && second->isVisible());
    QVERIFY(second->close());
    QTRY_VERIFY(second.isNull());
    QVERIFY(frm_Help.isNull());
}

// F1 in a modal dialog opens help that takes clicks while the dialog stays.
void TestHelpWindow::usableWhileAModalDialogIsOpen()
{
    QDialog dialog;
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(QApplication::activeModalWidget(), &dialog);

    QPointer<Tfrm_Help> help = ShowHelp();
    QVERIFY(QTest::qWaitForWindowExposed(help.data()));
    // Through the window, as the windowing system delivers it, so that a
    // blocked window would drop the click.
    TClickLabel* entry = Entry(*help, QStringLiteral("Label26"));
    const QPoint at = entry->mapTo(help.data(), entry->rect().center());
    QTest::mouseClick(help->windowHandle(), Qt::LeftButton, {}, at);
    QCOMPARE(help->ScrollPosition(), 142);
    QVERIFY(dialog.isVisible());

    dialog.close();
    QVERIFY(help && help->isVisible());
    help->close();
    QTRY_VERIFY(help.isNull());
}

void TestHelpWindow::placement_data()
{
    QTest::addColumn<QRect>("area");
    QTest::addColumn<QRect>("expected");

    QTest::newRow("tall screen") << QRect(0, 0, 1920, 1080) << QRect(649, 100, 622, 880);
    QTest::newRow("panel at the top left")
        << QRect(40, 30, 1880, 1050) << QRect(669, 115, 622, 880);
    // Never above the screen: made lower to fit, the page still scrolls.
    QTest::newRow("screen lower than the window")
        << QRect(0, 24, 1280, 776) << QRect(329, 24, 622, 776);
}

void TestHelpWindow::placement()
{
    QFETCH(QRect, area);
    QFETCH(QRect, expected);

    Tfrm_Help window;
    CentreInArea(window, area, true);
    QCOMPARE(QRect(window.pos(), window.size()), expected);
    window.show();
    QCOMPARE(window.ScrollBox1->height(), expected.height());
    window.Label7Click();
    QCOMPARE(window.ScrollPosition(),
             std::min(816, window.ScrollBox1->verticalScrollBar()->maximum()));
}

// The program ends through quit(), which closes the windows still open.
void TestHelpWindow::openWindowsAreFreedWhenTheProgramEnds()
{
    QPointer<Tfrm_Help> help = ShowHelp();
    QPointer<Tfrm_Nevjegy> box = ShowNevjegy();
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    QCOMPARE(QApplication::exec(), 0);
    QVERIFY(help.isNull());
    QVERIFY(box.isNull());
}

QTEST_MAIN(TestHelpWindow)
#include "tst_help_window.moc"

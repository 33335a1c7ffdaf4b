#include "app/session_end.h"
#include "seged/message_boxes.h"

#include <QDialog>
#include <QMenu>
#include <QProgressDialog>
#include <QSignalSpy>
#include <QThread>
#include <QTimer>
#include <QtTest>

// One test: the end of the session ends the event loops for good, so a
// second test in the same process would find them ended.
class TestSessionEnd : public QObject {
    Q_OBJECT

private slots:
    void cancelsEveryWindowThenRunsTheExitOnce();
};

void TestSessionEnd::cancelsEveryWindowThenRunsTheExitOnce()
{
    int exits = 0;
    int loopLevelAtExit = -1;
    TSessionEnd end([&] {
        ++exits;
        loopLevelAtExit = QThread::currentThread()->loopLevel();
    });

    // What may be open when the session ends: a download's progress, a
    // menu, a modal dialog and, from within it, a question.
    QProgressDialog progress(QStringLiteral("Letöltés"), QStringLiteral("Mégsem"), 0, 0);
    QSignalSpy canceled(&progress, &QProgressDialog::canceled);
    progress.show();
    QMenu menu;
    menu.addAction(QStringLiteral("Bezár"));
    menu.popup(QPoint(10, 10));
    QVERIFY(menu.isVisible());

    QDialog dialog;
    bool answeredYes = true;
    int dialogResult = -1;
    QTimer::singleShot(0, &dialog, [&] {
        QTimer::singleShot(0, &end, [&] { end.Begin(); });
        answeredYes = AskYesNo(QStringLiteral("Valóban töröljem az ablakot?"),
                               QStringLiteral("Megerősítés"), &dialog);
        QCOMPARE(exits, 0);  // the exit waits until the windows' loops have returned
    });
    dialogResult = dialog.exec();

    QVERIFY(!answeredYes);
    QCOMPARE(dialogResult, int(QDialog::Rejected));
    QCOMPARE(canceled.count(), 1);
    QVERIFY(!menu.isVisible());
    QTRY_COMPARE(exits, 1);
    QVERIFY(loopLevelAtExit <= 1);

    // Afterwards no box waits for a person, and the exit runs only once.
    QCOMPARE(ShowMessageBox({QStringLiteral("Vikora"), QStringLiteral("Hiba"),
                             QMessageBox::Critical, QMessageBox::Ok},
                            nullptr),
             QMessageBox::Ok);
    end.Begin();
    QCOMPARE(exits, 1);
}

QTEST_MAIN(TestSessionEnd)
#include "tst_session_end.moc"

#include "seged/message_boxes.h"

#include <QApplication>
#include <QTest>
#include <QWidget>

#include <optional>

Q_DECLARE_METATYPE(QMessageBox::Icon)

namespace {
// Records the one request and gives the chosen answer.
struct TAnswerer {
    QMessageBox::StandardButton answer = QMessageBox::Ok;
    std::optional<TMessageBoxRequest> seen;
    int calls = 0;

    TMessageBoxAnswerer Function()
    {
        return [this](const TMessageBoxRequest& request) {
            seen = request;
            ++calls;
            return answer;
        };
    }
};
}  // namespace

class TestMessageBoxes : public QObject {
    Q_OBJECT

private slots:
    void cleanup();

    void boxLooksAsAsked_data();
    void boxLooksAsAsked();
    void askYesNoIsTrueOnlyForYes_data();
    void askYesNoIsTrueOnlyForYes();
    void activeWindowAfterwards_data();
    void activeWindowAfterwards();
};

void TestMessageBoxes::cleanup()
{
    SetMessageBoxAnswerer({});
}

void TestMessageBoxes::boxLooksAsAsked_data()
{
    QTest::addColumn<QString>("which");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QMessageBox::Icon>("icon");
    QTest::addColumn<QMessageBox::StandardButtons>("buttons");

    QTest::newRow("AskYesNo: the given caption")
        << "AskYesNo"
        << "Törlés" << QMessageBox::Question << (QMessageBox::Yes | QMessageBox::No);
    QTest::newRow("ShowError") << "ShowError"
                               << "Hiba" << QMessageBox::Critical
                               << QMessageBox::StandardButtons(QMessageBox::Ok);
    QTest::newRow("ShowInfo") << "ShowInfo"
                              << "Üzenet" << QMessageBox::Information
                              << QMessageBox::StandardButtons(QMessageBox::Ok);
}

void TestMessageBoxes::boxLooksAsAsked()
{
    QFETCH(QString, which);
    QFETCH(QString, caption);
    QFETCH(QMessageBox::Icon, icon);
    QFETCH(QMessageBox::StandardButtons, buttons);
    TAnswerer answerer;
    SetMessageBoxAnswerer(answerer.Function());
    const QString text = "Biztosan törli? <b>nem</b>";

    if (which == "AskYesNo")
        AskYesNo(text, "Törlés", nullptr);
    else if (which == "ShowError")
        ShowError(text, nullptr);
    else
        ShowInfo(text, nullptr);

    QCOMPARE(answerer.calls, 1);
    QCOMPARE(answerer.seen->Caption, caption);
    QCOMPARE(answerer.seen->Text, text);
    QCOMPARE(answerer.seen->Icon, icon);
    QCOMPARE(answerer.seen->Buttons, buttons);
}

void TestMessageBoxes::askYesNoIsTrueOnlyForYes_data()
{
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    QTest::addColumn<bool>("result");

    QTest::newRow("Yes") << QMessageBox::Yes << true;
    QTest::newRow("No") << QMessageBox::No << false;
    QTest::newRow("closed without an answer") << QMessageBox::NoButton << false;
}

void TestMessageBoxes::askYesNoIsTrueOnlyForYes()
{
    QFETCH(QMessageBox::StandardButton, answer);
    QFETCH(bool, result);
    TAnswerer answerer;
    answerer.answer = answer;
    SetMessageBoxAnswerer(answerer.Function());

    QCOMPARE(AskYesNo("Kérdés", "Vikora", nullptr), result);
}

void TestMessageBoxes::activeWindowAfterwards_data()
{
    QTest::addColumn<QString>("which");
    QTest::addColumn<QString>("activeAfter");

    QTest::newRow("AskYesNo: the window active before") << "AskYesNo"
                                                        << "before";
    QTest::newRow("ShowError: the owner") << "ShowError"
                                          << "owner";
    QTest::newRow("ShowError, hidden owner: the window active before") << "ShowError hidden"
                                                                       << "before";
    QTest::newRow("ShowInfo: as the box left it") << "ShowInfo"
                                                  << "elsewhere";
}

void TestMessageBoxes::activeWindowAfterwards()
{
    QFETCH(QString, which);
    QFETCH(QString, activeAfter);
    QWidget before;
    QWidget owner;
    QWidget elsewhere;
    before.setObjectName("before");
    owner.setObjectName("owner");
    elsewhere.setObjectName("elsewhere");
    for (QWidget* window : {&before, &owner, &elsewhere})
        window->show();
    if (which.endsWith(" hidden"))
        owner.hide();
    before.activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), &before);

    // The box leaves a third window active, as a closing box can.
    bool elsewhereBecameActive = false;
    SetMessageBoxAnswerer([&](const TMessageBoxRequest&) {
        elsewhere.activateWindow();
        elsewhereBecameActive =
            QTest::qWaitFor([&] { return QApplication::activeWindow() == &elsewhere; });
        return QMessageBox::Yes;
    });

    if (which == "AskYesNo")
        AskYesNo("Kérdés", "Vikora", &owner);
    else if (which.startsWith("ShowError"))
        ShowError("Hiba történt", &owner);
    else
        ShowInfo("Kész", &owner);

    QVERIFY(elsewhereBecameActive);
    QCoreApplication::processEvents();  // delivers an activation that was asked for
    QTRY_COMPARE(QApplication::activeWindow()->objectName(), activeAfter);
}

QTEST_MAIN(TestMessageBoxes)
#include "tst_message_boxes.moc"

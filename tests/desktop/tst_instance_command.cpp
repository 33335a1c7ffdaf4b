#include "desktop/instance_command.h"

#include <QtTest>

Q_DECLARE_METATYPE(TCommandLine::TKind)
class TestInstanceCommand : public QObject {
    Q_OBJECT

private slots:
    void commandLineIsRead_data();
    void commandLineIsRead();
    void everyCommandHasItsOwnMessage();
    void onlyWholeMessagesNameACommand_data();
    void onlyWholeMessagesNameACommand();
    void usageListsEveryOption();
};

void TestInstanceCommand::commandLineIsRead_data()
{
    using K = TCommandLine::TKind;
    using C = TInstanceCommand;
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<K>("kind");
    QTest::addColumn<C>("command");

    QTest::newRow("nothing: come forward") << QStringList() << K::Run << C::ComeForward;
    QTest::newRow("--new-note") << QStringList{"--new-note"} << K::Run << C::NewNote;
    QTest::newRow("--settings") << QStringList{"--settings"} << K::Run << C::Settings;
    QTest::newRow("--catalogue") << QStringList{"--catalogue"} << K::Run << C::Catalogue;
    QTest::newRow("--help-window") << QStringList{"--help-window"} << K::Run << C::Help;
    QTest::newRow("--about") << QStringList{"--about"} << K::Run << C::About;
    QTest::newRow("--quit") << QStringList{"--quit"} << K::Run << C::Quit;
    QTest::newRow("--help") << QStringList{"--help"} << K::ShowUsage << C::ComeForward;
    QTest::newRow("-h") << QStringList{"-h"} << K::ShowUsage << C::ComeForward;
    QTest::newRow("--help wins over a command")
        << QStringList{"--settings", "--help"} << K::ShowUsage << C::Settings;
    QTest::newRow("unknown option") << QStringList{"--uj"} << K::Refused << C::ComeForward;
    QTest::newRow("upper case") << QStringList{"--QUIT"} << K::Refused << C::ComeForward;
    QTest::newRow("with a value") << QStringList{"--quit=now"} << K::Refused << C::ComeForward;
    QTest::newRow("single dash") << QStringList{"-quit"} << K::Refused << C::ComeForward;
    QTest::newRow("a file name") << QStringList{"notes.csv"} << K::Refused << C::ComeForward;
    QTest::newRow("empty argument") << QStringList{""} << K::Refused << C::ComeForward;
    QTest::newRow("two commands") << QStringList{"--new-note", "--settings"} << K::Refused
                                  << C::ComeForward;
    QTest::newRow("same command twice")
        << QStringList{"--quit", "--quit"} << K::Refused << C::ComeForward;
    QTest::newRow("unknown after --help")
        << QStringList{"--help", "--bogus"} << K::Refused << C::ComeForward;
}

void TestInstanceCommand::commandLineIsRead()
{
    QFETCH(QStringList, arguments);
    QFETCH(TCommandLine::TKind, kind);
    QFETCH(TInstanceCommand, command);
    const TCommandLine line = ParseCommandLine(arguments);
    QCOMPARE(line.Kind, kind);
    if (kind == TCommandLine::TKind::Refused) {
        QVERIFY(!line.Error.isEmpty());
        // The refused argument is named, so the user sees what was wrong.
        if (arguments.size() == 1 && !arguments.first().isEmpty())
            QVERIFY2(line.Error.contains(arguments.first()), qPrintable(line.Error));
    } else {
        QCOMPARE(line.Command, command);
    }
}

void TestInstanceCommand::everyCommandHasItsOwnMessage()
{
    const QList<TInstanceCommand> all = {TInstanceCommand::ComeForward, TInstanceCommand::NewNote,
                                         TInstanceCommand::Settings,    TInstanceCommand::Catalogue,
                                         TInstanceCommand::Help,        TInstanceCommand::About,
                                         TInstanceCommand::Quit};
    QSet<QByteArray> seen;
    for (const TInstanceCommand command : all) {
        const QByteArray message = InstanceMessage(command);
        QVERIFY(message.endsWith('\n'));
        QVERIFY(message.size() <= LongestInstanceMessage());
        QCOMPARE(InstanceCommandFromMessage(message), std::optional(command));
        seen.insert(message);
    }
    QCOMPARE(seen.size(), all.size());
    QCOMPARE(InstanceMessage(TInstanceCommand::ComeForward), QByteArray(ComeForwardMessage));
}

void TestInstanceCommand::onlyWholeMessagesNameACommand_data()
{
    QTest::addColumn<QByteArray>("received");
    QTest::addColumn<bool>("couldGrow");

    QTest::newRow("nothing yet") << QByteArray() << true;
    QTest::newRow("first half") << QByteArray("vikora:sett") << true;
    QTest::newRow("without the line break") << QByteArray("vikora:quit") << true;
    QTest::newRow("one byte more") << QByteArray("vikora:quit\n!") << false;
    QTest::newRow("two messages") << QByteArray("vikora:quit\nvikora:quit\n") << false;
    QTest::newRow("upper case") << QByteArray("VIKORA:QUIT\n") << false;
    QTest::newRow("carriage return") << QByteArray("vikora:quit\r\n") << false;
    QTest::newRow("NUL inside") << QByteArray("vikora:\0quit\n", 13) << false;
    QTest::newRow("a command-line option") << QByteArray("--quit\n") << false;
    QTest::newRow("oversize") << QByteArray(4096, 'v') << false;
}

void TestInstanceCommand::onlyWholeMessagesNameACommand()
{
    QFETCH(QByteArray, received);
    QFETCH(bool, couldGrow);
    QCOMPARE(InstanceCommandFromMessage(received), std::nullopt);
    QCOMPARE(BeginsInstanceMessage(received), couldGrow);
}

void TestInstanceCommand::usageListsEveryOption()
{
    const QString usage = UsageText();
    for (const char* option : {"--new-note", "--settings", "--catalogue", "--help-window",
                               "--about", "--quit", "--help"})
        QVERIFY2(usage.contains(QLatin1String(option)), option);
    QVERIFY(usage.startsWith(UsageLine()));
    QVERIFY(!UsageLine().contains(QLatin1Char('\n')));
}

QTEST_GUILESS_MAIN(TestInstanceCommand)
#include "tst_instance_command.moc"

#include "desktop/instance_command.h"
#include "desktop/instance_listener.h"
#include "desktop/single_instance.h"

#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>
#include <memory>
#include <vector>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

const QString HelperPath = QStringLiteral(VIKORA_INSTANCE_HELPER);

struct THelperRun {
    int exitCode = -1;
    QByteArray output;
};

THelperRun RunHelper(const QStringList& args)
{
    QProcess process;
    process.start(HelperPath, args);
    if (!process.waitForFinished(20000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), process.readAllStandardOutput()};
}

// Leaves a socket file at the path with nobody listening, as a copy that was
// killed leaves it.
bool MakeDeadSocketFile(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (static_cast<std::size_t>(name.size()) >= sizeof(address.sun_path))
        return false;
    std::memcpy(address.sun_path, name.constData(), static_cast<std::size_t>(name.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (fd < 0)
        return false;
    const bool bound = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
    ::close(fd);
    return bound;
}

}  // namespace

class TestSingleInstance : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void keyIsUpperCasedFileName_data();
    void keyIsUpperCasedFileName();
    void copiesAreMatchedByFileName_data();
    void copiesAreMatchedByFileName();
    void handOverOnlyInALaterCopy();
    void commandsReachTheRunningCopy_data();
    void commandsReachTheRunningCopy();
    void unknownMessagesAreDropped_data();
    void unknownMessagesAreDropped();
    void fileLeftInTheWayIsTakenOver_data();
    void fileLeftInTheWayIsTakenOver();
    void socketLivesInAPrivateFolder_data();
    void socketLivesInAPrivateFolder();
    void handsOverAcrossProcesses();
    void twentySimultaneousStartsLeaveOneFirst();

private:
    QString SocketPath() const { return m_runtime->path() + QLatin1Char('/') + m_key; }

    std::unique_ptr<QTemporaryDir> m_runtime;
    QString m_key;
};

void TestSingleInstance::init()
{
    m_runtime = std::make_unique<QTemporaryDir>();
    QVERIFY(m_runtime->isValid());
    QFile::setPermissions(m_runtime->path(),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime->path()));
    m_key = QStringLiteral("TST-%1-%2")
                .arg(QString::fromLatin1(QTest::currentTestFunction()).toUpper())
                .arg(QCoreApplication::applicationPid());
    qputenv("VIKORA_INSTANCE_KEY", m_key.toUtf8());
}

void TestSingleInstance::cleanup()
{
    m_runtime.reset();
    qunsetenv("XDG_RUNTIME_DIR");
    qunsetenv("VIKORA_INSTANCE_KEY");
}

void TestSingleInstance::keyIsUpperCasedFileName_data()
{
    QTest::addColumn<QString>("programFile");
    QTest::addColumn<QString>("override");
    QTest::addColumn<QString>("key");

    QTest::newRow("folder dropped") << "/some/dir/vikora"
                                    << ""
                                    << "VIKORA";
    QTest::newRow("extension kept") << "/opt/Vikora/Vikora.exe"
                                    << ""
                                    << "VIKORA.EXE";
    QTest::newRow("accented letters") << "/x/vikóra"
                                      << ""
                                      << "VIKÓRA";
    QTest::newRow("environment wins") << "/some/dir/vikora"
                                      << "ci-run-7"
                                      << "CI-RUN-7";
}

void TestSingleInstance::keyIsUpperCasedFileName()
{
    QFETCH(QString, programFile);
    QFETCH(QString, override);
    QFETCH(QString, key);
    if (override.isEmpty())
        qunsetenv("VIKORA_INSTANCE_KEY");
    else
        qputenv("VIKORA_INSTANCE_KEY", override.toUtf8());
    QCOMPARE(TSingleInstance::KeyFor(programFile), key);
}

void TestSingleInstance::copiesAreMatchedByFileName_data()
{
    QTest::addColumn<QString>("firstFile");
    QTest::addColumn<QString>("laterFile");
    QTest::addColumn<bool>("laterIsFirst");

    QTest::newRow("same file") << "/a/vikora"
                               << "/a/vikora" << false;
    QTest::newRow("other folder, other case") << "/a/vikora"
                                              << "/b/VIKORA" << false;
    QTest::newRow("copy under another name") << "/a/vikora"
                                             << "/a/vikora2" << true;
}

void TestSingleInstance::copiesAreMatchedByFileName()
{
    QFETCH(QString, firstFile);
    QFETCH(QString, laterFile);
    QFETCH(bool, laterIsFirst);
    qunsetenv("VIKORA_INSTANCE_KEY");

    auto first = std::make_unique<TSingleInstance>(firstFile);
    QVERIFY(first->IsFirst());
    QCOMPARE(TSingleInstance(laterFile).IsFirst(), laterIsFirst);

    // Once the first copy has ended, the next start is a first copy again.
    first.reset();
    QVERIFY(TSingleInstance(laterFile).IsFirst());
}

void TestSingleInstance::handOverOnlyInALaterCopy()
{
    TSingleInstance first(QStringLiteral("/a/vikora"));
    QSignalSpy activations(&first, &TSingleInstance::activationRequested);
    QSignalSpy commands(&first, &TSingleInstance::commandRequested);
    QVERIFY(!first.HandOver());
    QVERIFY(!first.SendCommand(TInstanceCommand::ComeForward));

    TSingleInstance later(QStringLiteral("/a/vikora"));
    QVERIFY(!later.IsFirst());
    // By default a later copy asks the running one to come forward.
    QVERIFY(later.HandOver());
    QTRY_COMPARE(activations.count(), 1);
    QCOMPARE(commands.count(), 1);
    QCOMPARE(commands.at(0).at(0).value<TInstanceCommand>(), TInstanceCommand::ComeForward);
}

void TestSingleInstance::commandsReachTheRunningCopy_data()
{
    QTest::addColumn<TInstanceCommand>("command");
    QTest::addColumn<bool>("activates");
    QTest::newRow("come forward") << TInstanceCommand::ComeForward << true;
    QTest::newRow("new note") << TInstanceCommand::NewNote << false;
    QTest::newRow("settings") << TInstanceCommand::Settings << false;
    QTest::newRow("catalogue") << TInstanceCommand::Catalogue << false;
    QTest::newRow("help") << TInstanceCommand::Help << false;
    QTest::newRow("about") << TInstanceCommand::About << false;
    QTest::newRow("quit") << TInstanceCommand::Quit << false;
}

void TestSingleInstance::commandsReachTheRunningCopy()
{
    QFETCH(TInstanceCommand, command);
    QFETCH(bool, activates);
    TSingleInstance first(QStringLiteral("/a/vikora"));
    QSignalSpy activations(&first, &TSingleInstance::activationRequested);
    QSignalSpy commands(&first, &TSingleInstance::commandRequested);

    TSingleInstance later(QStringLiteral("/a/vikora"));
    QVERIFY(later.HandOver(command));
    QTRY_COMPARE(commands.count(), 1);
    QCOMPARE(commands.at(0).at(0).value<TInstanceCommand>(), command);
    QCOMPARE(activations.count(), activates ? 1 : 0);

    // One command per connection: the next one is heard as well.
    QVERIFY(later.SendCommand(TInstanceCommand::NewNote));
    QTRY_COMPARE(commands.count(), 2);
}

void TestSingleInstance::unknownMessagesAreDropped_data()
{
    const QByteArray message(ComeForwardMessage);
    QTest::addColumn<QByteArray>("payload");

    QTest::newRow("unknown text") << QByteArray("hello\n");
    QTest::newRow("NUL bytes") << QByteArray(8, '\0');
    QTest::newRow("same start, other end") << QByteArray(message).replace("forward", "back!!!");
    QTest::newRow("message and one byte more") << message + '!';
    QTest::newRow("message twice") << message + message;
    QTest::newRow("a megabyte") << QByteArray(1 << 20, 'A');
    QTest::newRow("command and one byte more") << QByteArray("vikora:quit\n!");
    QTest::newRow("command without its line break, then more")
        << QByteArray("vikora:quit--and-then-some-more-bytes\n");
    QTest::newRow("command-line option") << QByteArray("--quit\n");
    QTest::newRow("a megabyte after a command's start")
        << QByteArray("vikora:") + QByteArray(1 << 20, 'q');
}

void TestSingleInstance::unknownMessagesAreDropped()
{
    QFETCH(QByteArray, payload);
    TSingleInstance first(QStringLiteral("/a/vikora"));
    QSignalSpy activations(&first, &TSingleInstance::activationRequested);
    QSignalSpy commands(&first, &TSingleInstance::commandRequested);

    QLocalSocket stranger;
    stranger.connectToServer(SocketPath());
    QVERIFY(stranger.waitForConnected(2000));
    stranger.write(payload);
    // The running copy hangs up without acting on it...
    QTRY_COMPARE(stranger.state(), QLocalSocket::UnconnectedState);
    QCOMPARE(activations.count(), 0);
    QCOMPARE(commands.count(), 0);

    // ...and still listens to a real request.
    TSingleInstance later(QStringLiteral("/a/vikora"));
    QVERIFY(later.SendCommand(TInstanceCommand::ComeForward));
    QTRY_COMPARE(activations.count(), 1);
}

void TestSingleInstance::fileLeftInTheWayIsTakenOver_data()
{
    QTest::addColumn<bool>("socket");
    QTest::newRow("socket of a killed copy") << true;
    QTest::newRow("plain file") << false;
}

void TestSingleInstance::fileLeftInTheWayIsTakenOver()
{
    QFETCH(bool, socket);
    if (socket) {
        QVERIFY(MakeDeadSocketFile(SocketPath()));
    } else {
        QFile file(SocketPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
    }

    TSingleInstance first(QStringLiteral("/a/vikora"));
    QVERIFY(first.IsFirst());
    QSignalSpy activations(&first, &TSingleInstance::activationRequested);
    TSingleInstance later(QStringLiteral("/a/vikora"));
    QVERIFY(!later.IsFirst());
    QVERIFY(later.SendCommand(TInstanceCommand::ComeForward));
    QTRY_COMPARE(activations.count(), 1);
}

void TestSingleInstance::socketLivesInAPrivateFolder_data()
{
    QTest::addColumn<QString>("runtimeDir");
    QTest::addColumn<bool>("usesRuntimeDir");

    QTest::newRow("runtime folder") << "<temp>" << true;
    QTest::newRow("unset") << "" << false;
    QTest::newRow("relative") << "run" << false;
    QTest::newRow("open to others") << "<temp, 0755>" << false;
}

void TestSingleInstance::socketLivesInAPrivateFolder()
{
    QFETCH(QString, runtimeDir);
    QFETCH(bool, usesRuntimeDir);
    if (runtimeDir.isEmpty())
        qunsetenv("XDG_RUNTIME_DIR");
    else if (!runtimeDir.startsWith(QLatin1Char('<')))
        qputenv("XDG_RUNTIME_DIR", runtimeDir.toUtf8());
    else if (runtimeDir.contains(QLatin1String("0755")))
        QFile::setPermissions(m_runtime->path(), QFile::ReadOwner | QFile::WriteOwner |
                                                     QFile::ExeOwner | QFile::ReadGroup |
                                                     QFile::ExeGroup | QFile::ReadOther |
                                                     QFile::ExeOther);

    const QString fallback = QStringLiteral("/tmp/vikora-%1").arg(::geteuid());
    const QString folder = usesRuntimeDir ? m_runtime->path() : fallback;
    TSingleInstance first(QStringLiteral("/a/vikora"));
    QVERIFY(first.IsFirst());
    QVERIFY(QFileInfo::exists(folder + QLatin1Char('/') + m_key));
    QCOMPARE(QFileInfo::exists(SocketPath()), usesRuntimeDir);
    QCOMPARE(QFileInfo(folder).permissions() &
                 (QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup | QFile::WriteOther |
                  QFile::ExeGroup | QFile::ExeOther),
             QFile::Permissions());
    QVERIFY(!TSingleInstance(QStringLiteral("/a/vikora")).IsFirst());
}

void TestSingleInstance::handsOverAcrossProcesses()
{
    QProcess first;
    first.start(HelperPath, {QStringLiteral("30000")});
    QVERIFY(first.waitForStarted());
    QByteArray firstOutput;
    QTRY_VERIFY_WITH_TIMEOUT((firstOutput += first.readAllStandardOutput()).contains("first\n"),
                             10000);

    const THelperRun later = RunHelper({QStringLiteral("0")});
    QCOMPARE(later.exitCode, 0);
    QCOMPARE(later.output, QByteArray("second\n"));
    QTRY_VERIFY_WITH_TIMEOUT((firstOutput += first.readAllStandardOutput()).contains("activated\n"),
                             10000);

    // Killed, the first copy leaves its socket file behind; the next start
    // must still be a first copy.
    first.kill();
    QVERIFY(first.waitForFinished());
    QVERIFY(QFileInfo::exists(SocketPath()));
    const THelperRun next = RunHelper({QStringLiteral("0")});
    QCOMPARE(next.exitCode, 0);
    QCOMPARE(next.output, QByteArray("first\n"));
}

void TestSingleInstance::twentySimultaneousStartsLeaveOneFirst()
{
    constexpr int Copies = 20;
    // All copies check at the same moment, once they have all loaded; a
    // first copy stays until every later one has asked it to come forward.
    const QString startAt = QString::number(QDateTime::currentMSecsSinceEpoch() + 3000);
    std::vector<std::unique_ptr<QProcess>> copies;
    for (int i = 0; i < Copies; ++i) {
        copies.push_back(std::make_unique<QProcess>());
        copies.back()->start(HelperPath,
                             {QStringLiteral("15000"), QString::number(Copies - 1), startAt});
    }

    int firsts = 0;
    int seconds = 0;
    QByteArray firstOutput;
    for (const auto& copy : copies) {
        QVERIFY(copy->waitForFinished(30000));
        QCOMPARE(copy->exitStatus(), QProcess::NormalExit);
        QCOMPARE(copy->exitCode(), 0);
        const QByteArray output = copy->readAllStandardOutput();
        if (output.startsWith("first\n")) {
            ++firsts;
            firstOutput = output;
        } else if (output == "second\n") {
            ++seconds;
        }
    }
    QCOMPARE(firsts, 1);
    QCOMPARE(seconds, Copies - 1);
    QCOMPARE(firstOutput.count("activated\n"), Copies - 1);
}

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_single_instance.moc"

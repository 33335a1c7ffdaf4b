#include "desktop/desktop_entry.h"

#include <QRegularExpression>
#include <QTest>

// The autostart entry is the installed launcher with its own Exec line.
class TestAutostartEntry : public QObject {
    Q_OBJECT

private slots:
    void builtInLauncherIsTheInstalledOne();
    void entryKeepsTheLauncherAndReplacesItsCommand_data();
    void entryKeepsTheLauncherAndReplacesItsCommand();
    void unreadableLauncherStillGivesAStartableEntry();
};

namespace {
QStringList LinesOf(const QByteArray& entry)
{
    return QString::fromUtf8(entry).split(u'\n', Qt::SkipEmptyParts);
}

QStringList LinesStartingWith(const QStringList& lines, const QString& prefix)
{
    QStringList found;
    for (const QString& line : lines) {
        if (line.startsWith(prefix))
            found << line;
    }
    return found;
}
}  // namespace

void TestAutostartEntry::builtInLauncherIsTheInstalledOne()
{
    QFile installed(QStringLiteral(VIKORA_LAUNCHER_FILE));
    QVERIFY(installed.open(QIODevice::ReadOnly));
    QCOMPARE(LauncherEntry(), installed.readAll());

    const QStringList lines = LinesOf(FormatAutostartEntry(LauncherEntry(), "/usr/bin/vikora"));
    for (const char* line : {"[Desktop Entry]", "Type=Application", "Name=Vikora", "Icon=vikora",
                             "Comment[hu]=Emlékeztető cetlik az asztalon", "Exec=/usr/bin/vikora",
                             "X-GNOME-Autostart-enabled=true"})
        QVERIFY2(lines.contains(line), line);
    // One command for the entry itself; the launcher's desktop actions keep theirs.
    const QStringList entryGroup = lines.mid(
        0, lines.indexOf(QRegularExpression(QStringLiteral("^\\[Desktop Action .*\\]$"))));
    QCOMPARE(LinesStartingWith(entryGroup, "Exec=").size(), 1);
    QCOMPARE(LinesStartingWith(lines, "Exec=vikora --").size(),
             LinesStartingWith(lines, "[Desktop Action ").size());
}

void TestAutostartEntry::entryKeepsTheLauncherAndReplacesItsCommand_data()
{
    QTest::addColumn<QByteArray>("launcher");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("command replaced")
        << QByteArray("[Desktop Entry]\nType=Application\nName=Vikora\nExec=vikora\nIcon=vikora\n")
        << QStringList{"[Desktop Entry]",
                       "Type=Application",
                       "Name=Vikora",
                       "Icon=vikora",
                       R"(Exec="/opt/my apps/vikora")",
                       "X-GNOME-Autostart-enabled=true"};
    QTest::newRow("no command in the launcher")
        << QByteArray("[Desktop Entry]\r\nType=Application\r\nName=Vikora\r\n")
        << QStringList{"[Desktop Entry]", "Type=Application", "Name=Vikora",
                       R"(Exec="/opt/my apps/vikora")", "X-GNOME-Autostart-enabled=true"};
    // Keys that would keep the entry from starting the program are dropped.
    QTest::newRow("switched-off launcher")
        << QByteArray("[Desktop Entry]\nName=Vikora\nTryExec=vikora\nHidden=true\n"
                      "X-GNOME-Autostart-enabled=false\nExec = vikora --x\n")
        << QStringList{"[Desktop Entry]", "Name=Vikora", R"(Exec="/opt/my apps/vikora")",
                       "X-GNOME-Autostart-enabled=true"};
    // An action's own command belongs to the action.
    QTest::newRow("launcher with an action")
        << QByteArray("[Desktop Entry]\nName=Vikora\nExec=vikora\n\n[Desktop Action uj]\n"
                      "Name=Új\nExec=vikora --uj\n")
        << QStringList{"[Desktop Entry]",
                       "Name=Vikora",
                       R"(Exec="/opt/my apps/vikora")",
                       "X-GNOME-Autostart-enabled=true",
                       "[Desktop Action uj]",
                       "Name=Új",
                       "Exec=vikora --uj"};
}

void TestAutostartEntry::entryKeepsTheLauncherAndReplacesItsCommand()
{
    QFETCH(QByteArray, launcher);
    QFETCH(QStringList, expected);

    const QByteArray entry = FormatAutostartEntry(launcher, R"("/opt/my apps/vikora")");

    QCOMPARE(LinesOf(entry), expected);
    const auto keys = ParseDesktopEntry(entry);
    QVERIFY(keys);
    QCOMPARE(SplitExecLine(UnescapeDesktopString(keys->value("Exec"))),
             QStringList{"/opt/my apps/vikora"});
}

void TestAutostartEntry::unreadableLauncherStillGivesAStartableEntry()
{
    const QByteArray entry = FormatAutostartEntry("Name=no group\n", "/usr/bin/vikora");

    const auto keys = ParseDesktopEntry(entry);
    QVERIFY(keys);
    QCOMPARE(keys->value("Type"), "Application");
    QCOMPARE(keys->value("Exec"), "/usr/bin/vikora");
}

QTEST_GUILESS_MAIN(TestAutostartEntry)
#include "tst_autostart_entry.moc"

#include "settings/beallit.h"

#include "desktop/autostart_store.h"
#include "desktop/desktop_entry.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// The dialog with the desktop's autostart entries, in a private
// configuration folder.
class TestBeallitAutostart : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void boxShowsWhetherTheEntryStartsThisProgram_data();
    void boxShowsWhetherTheEntryStartsThisProgram();
    void tickedWritesAnEntryThatStartsTheProgram();
    void emptyBoxRemovesAMovedProgramsEntry();
    void emptyBoxWithNothingStoredChangesNothing();
    void entryThatIsNoStringIsReported();

private:
    std::unique_ptr<Tfrm_Beallit> Open(TBeall& beall, const QString& programFile);
    QString AutostartFolder() const { return m_config->path() + "/autostart"; }
    QStringList Entries() const
    {
        return QDir(AutostartFolder()).entryList(QDir::Files | QDir::Hidden);
    }

    std::unique_ptr<QTemporaryDir> m_config;
    QStringList m_errors;
};

namespace {
const QString ProgramFile = QStringLiteral("/opt/Vikora/vikora");

QByteArray ReadBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

bool WriteBytes(const QString& path, const QByteArray& content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

// The command line of an entry file, unescaped.
QString ExecOf(const QString& path)
{
    const auto keys = ParseDesktopEntry(ReadBytes(path));
    return keys ? UnescapeDesktopString(keys->value(QStringLiteral("Exec")))
                : QStringLiteral("<no entry>");
}
}  // namespace

void TestBeallitAutostart::init()
{
    m_config = std::make_unique<QTemporaryDir>();
    QVERIFY(m_config->isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config->path()));
    m_errors.clear();
}

void TestBeallitAutostart::cleanup()
{
    m_config.reset();
}

std::unique_ptr<Tfrm_Beallit> TestBeallitAutostart::Open(TBeall& beall, const QString& programFile)
{
    TBeallitEnvironment environment;
    environment.ProgramFile = programFile;
    environment.ReportError = [this](const QString& message) { m_errors << message; };
    return std::make_unique<Tfrm_Beallit>(beall, environment);
}

void TestBeallitAutostart::boxShowsWhetherTheEntryStartsThisProgram_data()
{
    QTest::addColumn<QString>("stored");  // empty: no entry
    QTest::addColumn<QString>("program");
    QTest::addColumn<bool>("ticked");

    QTest::newRow("this program") << ProgramFile << ProgramFile << true;
    QTest::newRow("a path with blanks") << "/home/anna/Saját programok/vikora"
                                        << "/home/anna/Saját programok/vikora" << true;
    QTest::newRow("program moved since") << "/opt/regi/vikora" << ProgramFile << false;
    QTest::newRow("differs in letter case") << "/opt/vikora/vikora" << ProgramFile << false;
    QTest::newRow("nothing stored") << "" << ProgramFile << false;
    QTest::newRow("program path unknown") << ""
                                          << "" << false;
}

void TestBeallitAutostart::boxShowsWhetherTheEntryStartsThisProgram()
{
    QFETCH(QString, stored);
    QFETCH(QString, program);
    QFETCH(bool, ticked);

    if (!stored.isEmpty())
        QVERIFY(WriteAutostartEntry(QStringLiteral("Vikora"), stored));
    TBeall beall;
    const auto dialog = Open(beall, program);
    QCOMPARE(dialog->CheckBox1->isChecked(), ticked);
    QVERIFY(m_errors.isEmpty());
}

void TestBeallitAutostart::tickedWritesAnEntryThatStartsTheProgram()
{
    const QString program = QStringLiteral("/home/anna/Saját programok/vikora");
    const QString entry = AutostartFolder() + "/Vikora.desktop";
    TBeall beall;
    {
        const auto dialog = Open(beall, program);
        QVERIFY(!dialog->CheckBox1->isChecked());
        dialog->CheckBox1->setChecked(true);
        QTest::mouseClick(dialog->Button3, Qt::LeftButton);
        // Written at once, by "Alkalmaz".
        QCOMPARE(Entries(), QStringList{"Vikora.desktop"});
        QCOMPARE(ExecOf(entry), AutostartCommandForProgram(program));
        QCOMPARE(SplitExecLine(ExecOf(entry)), std::optional<QStringList>(QStringList{program}));

        // "Mégsem" afterwards leaves it.
        QTest::mouseClick(dialog->Button2, Qt::LeftButton);
        QCOMPARE(Entries(), QStringList{"Vikora.desktop"});
    }
    {
        // Ticked means written on every apply: a lost entry comes back.
        const auto dialog = Open(beall, program);
        QVERIFY(dialog->CheckBox1->isChecked());
        QVERIFY(QFile::remove(entry));
        QTest::mouseClick(dialog->Button1, Qt::LeftButton);
        QCOMPARE(ExecOf(entry), AutostartCommandForProgram(program));
    }
    {
        const auto dialog = Open(beall, program);
        dialog->CheckBox1->setChecked(false);
        QTest::mouseClick(dialog->Button1, Qt::LeftButton);
        QVERIFY(Entries().isEmpty());
    }
    QVERIFY(m_errors.isEmpty());
}

void TestBeallitAutostart::emptyBoxRemovesAMovedProgramsEntry()
{
    // Stored under another spelling of the name: the same entry.
    QVERIFY(
        WriteBytes(AutostartFolder() + "/vikora.desktop",
                   FormatAutostartEntry("Vikora", AutostartCommandForProgram("/opt/regi/vikora"))));
    TBeall beall;
    const auto dialog = Open(beall, ProgramFile);
    QVERIFY(!dialog->CheckBox1->isChecked());
    QCOMPARE(Entries(), QStringList{"vikora.desktop"});  // opening removes nothing
    QTest::mouseClick(dialog->Button3, Qt::LeftButton);
    QVERIFY(Entries().isEmpty());
    QVERIFY(m_errors.isEmpty());
}

void TestBeallitAutostart::emptyBoxWithNothingStoredChangesNothing()
{
    // No folder is made, and another program's entry stays as it is.
    TBeall beall;
    {
        const auto dialog = Open(beall, ProgramFile);
        QTest::mouseClick(dialog->Button1, Qt::LeftButton);
    }
    QVERIFY(!QFileInfo::exists(AutostartFolder()));

    QVERIFY(WriteBytes(AutostartFolder() + "/Masik.desktop",
                       FormatAutostartEntry("Masik", "/usr/bin/masik")));
    const QByteArray before = ReadBytes(AutostartFolder() + "/Masik.desktop");
    {
        const auto dialog = Open(beall, ProgramFile);
        QTest::mouseClick(dialog->Button3, Qt::LeftButton);
    }
    QCOMPARE(Entries(), QStringList{"Masik.desktop"});
    QCOMPARE(ReadBytes(AutostartFolder() + "/Masik.desktop"), before);
    QVERIFY(m_errors.isEmpty());
}

void TestBeallitAutostart::entryThatIsNoStringIsReported()
{
    QVERIFY(WriteBytes(AutostartFolder() + "/Vikora.desktop", QByteArray("\x00\x01garbage", 9)));
    TBeall beall;
    beall.WindowTransparent = true;
    beall.FontTransparent = true;
    beall.UseTransparentColor = true;
    beall.AlphaBlend = true;
    beall.AlphaBlendValue = 180;
    const auto dialog = Open(beall, ProgramFile);

    QCOMPARE(m_errors, QStringList{"Invalid data type for 'vikora'"});
    QVERIFY(!dialog->CheckBox1->isChecked());
    // The other controls still show the defaults: applying the dialog as it
    // opened keeps them.
    QVERIFY(dialog->CheckBox2->isChecked());
    QVERIFY(dialog->CheckBox3->isChecked());
    QVERIFY(dialog->CheckBox4->isChecked());
    QCOMPARE(dialog->TrackBar1->value(), 180);
    QTest::mouseClick(dialog->Button1, Qt::LeftButton);
    QVERIFY(beall.UseTransparentColor);
    QVERIFY(beall.AlphaBlend);
    QCOMPARE(beall.AlphaBlendValue, 180);
    // The box is empty, so the entry goes, as on every apply.
    QVERIFY(Entries().isEmpty());
}

QTEST_MAIN(TestBeallitAutostart)
#include "tst_beallit_autostart.moc"

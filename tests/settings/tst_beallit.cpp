#include "settings/beallit.h"

#include "notes/settings_beat.h"
#include "seged/font_dialog.h"
#include "seged/globals.h"
#include "tests/notes/note_test_support.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>
#include <QToolButton>

#include <memory>

// The dialog against a defaults record of its own, with a recorded
// autostart entry in place of the desktop's.
class TestBeallit : public QObject {
    Q_OBJECT

private slots:
    void cleanup();

    void opensWithTheDefaults();
    void alignmentButtonOfTheCode_data();
    void alignmentButtonOfTheCode();
    void alignmentButtonsAreOneGroup();
    void alphaBlendValueKeptInRange_data();
    void alphaBlendValueKeptInRange();
    void sampleButtonsChangeOnlyTheSample();
    void applyOrder();
    void useTransparentColorDerived_data();
    void useTransparentColorDerived();
    void buttonsCloseAndApply();
    void enterPressesNoButton();
    void openNotesFollowAnApply();

private:
    struct TRecordedAutostart {
        QString Stored;
        QStringList Calls;
        std::function<void()> OnChange;
    };

    std::unique_ptr<Tfrm_Beallit> Open(TBeall& beall);

    TRecordedAutostart m_autostart;
    QStringList m_errors;
};

namespace {
const QString ProgramFile = QStringLiteral("/opt/vikora/vikora");

TBeall SomeDefaults()
{
    TBeall beall;
    beall.Font = TFontSpec{QStringLiteral("DejaVu Serif"), 14, 0x000000FF, true, false, true};
    beall.Color = 0x0000FF00;
    beall.Alignment = 1;
    beall.WindowTransparent = true;
    beall.FontTransparent = false;
    beall.UseTransparentColor = true;
    beall.AlphaBlend = true;
    beall.AlphaBlendValue = 200;
    return beall;
}
}  // namespace

std::unique_ptr<Tfrm_Beallit> TestBeallit::Open(TBeall& beall)
{
    TBeallitEnvironment environment;
    environment.ProgramFile = ProgramFile;
    environment.Autostart.Read = [this] { return m_autostart.Stored; };
    environment.Autostart.Write = [this](const QString& path) {
        if (m_autostart.OnChange)
            m_autostart.OnChange();
        m_autostart.Calls << "write " + path;
        m_autostart.Stored = path;
        return true;
    };
    environment.Autostart.Remove = [this] {
        if (m_autostart.OnChange)
            m_autostart.OnChange();
        m_autostart.Calls << QStringLiteral("remove");
        m_autostart.Stored.clear();
    };
    environment.ReportError = [this](const QString& message) { m_errors << message; };
    return std::make_unique<Tfrm_Beallit>(beall, environment);
}

void TestBeallit::cleanup()
{
    m_autostart = {};
    m_errors.clear();
    SetChooseFontAnswererForTests({});
    SetChooseColorAnswererForTests({});
}

void TestBeallit::opensWithTheDefaults()
{
    TBeall beall = SomeDefaults();
    m_autostart.Stored = ProgramFile;
    const auto dialog = Open(beall);

    QCOMPARE(dialog->windowTitle(), QStringLiteral("Beállítások"));
    QCOMPARE(dialog->SampleFont(), beall.Font);
    QCOMPARE(dialog->SampleColor(), beall.Color);
    QCOMPARE(dialog->SampleAlignment(), 1);
    QCOMPARE(dialog->Panel1->text(), QStringLiteral("Minta"));
    QCOMPARE(dialog->Panel1->palette().color(QPalette::Window), QColor(0, 255, 0));
    QCOMPARE(dialog->Panel1->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    QCOMPARE(dialog->Panel1->font().family(), QStringLiteral("DejaVu Serif"));
    QCOMPARE(dialog->Panel1->font().pointSize(), 14);
    QVERIFY(dialog->Panel1->font().bold());
    QVERIFY(dialog->Panel1->font().underline());
    QCOMPARE(dialog->Panel1->alignment(), Qt::AlignRight | Qt::AlignVCenter);

    QVERIFY(dialog->CheckBox1->isChecked());
    QVERIFY(dialog->CheckBox2->isChecked());
    QVERIFY(!dialog->CheckBox3->isChecked());
    QVERIFY(dialog->CheckBox4->isChecked());
    QCOMPARE(dialog->TrackBar1->value(), 200);
    QCOMPARE(dialog->TrackBar1->minimum(), 0);
    QCOMPARE(dialog->TrackBar1->maximum(), 255);
    QCOMPARE(dialog->TrackBar1->tickInterval(), 10);
    QVERIFY(m_errors.isEmpty());
    // Opening reads and changes nothing.
    QVERIFY(m_autostart.Calls.isEmpty());
    QCOMPARE(beall.Color, SomeDefaults().Color);
}

void TestBeallit::alignmentButtonOfTheCode_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("pressed");
    QTest::addColumn<Qt::Alignment>("shown");

    QTest::newRow("left") << 0 << "SpeedButton3" << Qt::Alignment(Qt::AlignLeft);
    QTest::newRow("right") << 1 << "SpeedButton5" << Qt::Alignment(Qt::AlignRight);
    QTest::newRow("centre") << 2 << "SpeedButton4" << Qt::Alignment(Qt::AlignHCenter);
    QTest::newRow("unknown code presses none") << 7 << "" << Qt::Alignment(Qt::AlignLeft);
}

void TestBeallit::alignmentButtonOfTheCode()
{
    QFETCH(int, code);
    QFETCH(QString, pressed);
    QFETCH(Qt::Alignment, shown);

    TBeall beall;
    beall.Alignment = code;
    const auto dialog = Open(beall);
    QAbstractButton* checked = dialog->AlignmentButtons->checkedButton();
    QCOMPARE(checked ? checked->objectName() : QString(), pressed);
    QCOMPARE(dialog->Panel1->alignment(), shown | Qt::AlignVCenter);

    // An unknown code is kept as it was until a button sets another.
    dialog->ApplySettings();
    QCOMPARE(beall.Alignment, code);
}

void TestBeallit::alignmentButtonsAreOneGroup()
{
    TBeall beall;
    beall.Alignment = 2;
    const auto dialog = Open(beall);

    QTest::mouseClick(dialog->SpeedButton3, Qt::LeftButton);
    QVERIFY(dialog->SpeedButton3->isChecked());
    QVERIFY(!dialog->SpeedButton4->isChecked());
    QCOMPARE(dialog->SampleAlignment(), 0);
    QCOMPARE(dialog->Panel1->alignment(), Qt::AlignLeft | Qt::AlignVCenter);

    // Pressed again, it stays pressed.
    QTest::mouseClick(dialog->SpeedButton3, Qt::LeftButton);
    QVERIFY(dialog->SpeedButton3->isChecked());
    QCOMPARE(dialog->SampleAlignment(), 0);

    QTest::mouseClick(dialog->SpeedButton5, Qt::LeftButton);
    QVERIFY(!dialog->SpeedButton3->isChecked());
    QCOMPARE(dialog->SampleAlignment(), 1);
    QCOMPARE(beall.Alignment, 2);  // only applying changes the defaults

    dialog->ApplySettings();
    QCOMPARE(beall.Alignment, 1);
}

void TestBeallit::alphaBlendValueKeptInRange_data()
{
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("shown");

    QTest::newRow("above the range") << 300 << 255;
    QTest::newRow("below the range") << -20 << 0;
    QTest::newRow("invisible") << 0 << 0;
    QTest::newRow("inside") << 128 << 128;
}

void TestBeallit::alphaBlendValueKeptInRange()
{
    QFETCH(int, stored);
    QFETCH(int, shown);

    TBeall beall;
    beall.AlphaBlendValue = stored;
    const auto dialog = Open(beall);
    QCOMPARE(dialog->TrackBar1->value(), shown);
    dialog->ApplySettings();
    QCOMPARE(beall.AlphaBlendValue, shown);
}

void TestBeallit::sampleButtonsChangeOnlyTheSample()
{
    TBeall beall = SomeDefaults();
    const TBeall before = beall;
    const auto dialog = Open(beall);

    // Cancelled dialogs change nothing.
    std::optional<TFontChoice> fontAnswer;
    std::optional<std::int32_t> colorAnswer;
    TFontChoice fontShown;
    std::int32_t colorShown = -1;
    SetChooseFontAnswererForTests([&](const TFontChoice& shown) {
        fontShown = shown;
        return fontAnswer;
    });
    SetChooseColorAnswererForTests([&](std::int32_t shown, const QString&) {
        colorShown = shown;
        return colorAnswer;
    });
    QTest::mouseClick(dialog->SpeedButton1, Qt::LeftButton);
    QTest::mouseClick(dialog->SpeedButton2, Qt::LeftButton);
    QCOMPARE(fontShown.Font, before.Font);
    QCOMPARE(colorShown, before.Color);
    QCOMPARE(dialog->SampleFont(), before.Font);
    QCOMPARE(dialog->SampleColor(), before.Color);

    const TFontSpec chosen{QStringLiteral("DejaVu Sans Mono"), 20, 0x00808000, false, true, false};
    fontAnswer = TFontChoice{chosen, true};
    colorAnswer = 0x00C0C0C0;
    QTest::mouseClick(dialog->SpeedButton1, Qt::LeftButton);
    QTest::mouseClick(dialog->SpeedButton2, Qt::LeftButton);
    QCOMPARE(dialog->SampleFont(), chosen);
    QVERIFY(dialog->SampleStrikeOut());
    QCOMPARE(dialog->SampleColor(), 0x00C0C0C0);
    QCOMPARE(dialog->Panel1->font().family(), QStringLiteral("DejaVu Sans Mono"));
    QVERIFY(dialog->Panel1->font().strikeOut());
    QVERIFY(dialog->Panel1->font().italic());
    QCOMPARE(dialog->Panel1->palette().color(QPalette::Window), QColor(192, 192, 192));
    QCOMPARE(dialog->Panel1->palette().color(QPalette::WindowText), QColor(0, 128, 128));

    // The font dialog starts from the sample, strike-out included.
    QTest::mouseClick(dialog->SpeedButton1, Qt::LeftButton);
    QCOMPARE(fontShown, (TFontChoice{chosen, true}));

    QCOMPARE(beall.Font, before.Font);
    QCOMPARE(beall.Color, before.Color);
    dialog->ApplySettings();
    QCOMPARE(beall.Font, chosen);
    QCOMPARE(beall.Color, 0x00C0C0C0);
}

void TestBeallit::applyOrder()
{
    TBeall beall = SomeDefaults();
    const TBeall before = beall;
    const auto dialog = Open(beall);

    const TFontSpec chosen{QStringLiteral("DejaVu Sans"), 9, 0, false, false, false};
    SetChooseFontAnswererForTests([&](const TFontChoice&) { return TFontChoice{chosen, false}; });
    SetChooseColorAnswererForTests([](std::int32_t, const QString&) { return 0x00FFFFFF; });
    QTest::mouseClick(dialog->SpeedButton1, Qt::LeftButton);
    QTest::mouseClick(dialog->SpeedButton2, Qt::LeftButton);
    QTest::mouseClick(dialog->SpeedButton3, Qt::LeftButton);
    dialog->CheckBox1->setChecked(true);
    dialog->CheckBox2->setChecked(false);
    dialog->CheckBox3->setChecked(true);
    dialog->CheckBox4->setChecked(false);
    dialog->TrackBar1->setValue(17);

    // Font, colour and alignment first, then the autostart entry, then the
    // transparency options.
    TBeall atAutostart;
    m_autostart.OnChange = [&] { atAutostart = beall; };
    dialog->ApplySettings();
    QCOMPARE(m_autostart.Calls, QStringList{"write " + ProgramFile});
    QCOMPARE(atAutostart.Font, chosen);
    QCOMPARE(atAutostart.Color, 0x00FFFFFF);
    QCOMPARE(atAutostart.Alignment, 0);
    QCOMPARE(atAutostart.WindowTransparent, before.WindowTransparent);
    QCOMPARE(atAutostart.FontTransparent, before.FontTransparent);
    QCOMPARE(atAutostart.AlphaBlend, before.AlphaBlend);
    QCOMPARE(atAutostart.AlphaBlendValue, before.AlphaBlendValue);

    QVERIFY(!beall.WindowTransparent);
    QVERIFY(beall.FontTransparent);
    QVERIFY(beall.UseTransparentColor);
    QVERIFY(!beall.AlphaBlend);
    QCOMPARE(beall.AlphaBlendValue, 17);
    QCOMPARE(beall.DialogFontSize, before.DialogFontSize);
}

void TestBeallit::useTransparentColorDerived_data()
{
    QTest::addColumn<bool>("windowTransparent");
    QTest::addColumn<bool>("fontTransparent");
    QTest::addColumn<bool>("before");

    QTest::newRow("only the text") << false << true << false;
    QTest::newRow("only the window") << true << false << false;
    QTest::newRow("both") << true << true << false;
    QTest::newRow("both cleared") << false << false << true;
}

void TestBeallit::useTransparentColorDerived()
{
    QFETCH(bool, windowTransparent);
    QFETCH(bool, fontTransparent);
    QFETCH(bool, before);

    TBeall beall;
    beall.WindowTransparent = before;
    beall.FontTransparent = before;
    beall.UseTransparentColor = before;
    const auto dialog = Open(beall);
    dialog->CheckBox2->setChecked(windowTransparent);
    dialog->CheckBox3->setChecked(fontTransparent);
    dialog->ApplySettings();
    QCOMPARE(beall.WindowTransparent, windowTransparent);
    QCOMPARE(beall.FontTransparent, fontTransparent);
    QCOMPARE(beall.UseTransparentColor, windowTransparent || fontTransparent);
}

void TestBeallit::buttonsCloseAndApply()
{
    TBeall beall;
    {
        // "Alkalmaz" applies and the dialog stays open.
        const auto dialog = Open(beall);
        dialog->show();
        dialog->TrackBar1->setValue(100);
        QTest::mouseClick(dialog->Button3, Qt::LeftButton);
        QCOMPARE(beall.AlphaBlendValue, 100);
        QVERIFY(dialog->isVisible());
        QCOMPARE(m_autostart.Calls, QStringList{"remove"});

        // "Mégsem" keeps what was applied and applies nothing more.
        dialog->TrackBar1->setValue(50);
        QSignalSpy finished(dialog.get(), &QDialog::finished);
        QTest::mouseClick(dialog->Button2, Qt::LeftButton);
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.first().first().toInt(), int(QDialog::Rejected));
        QCOMPARE(beall.AlphaBlendValue, 100);
        QCOMPARE(m_autostart.Calls.size(), 1);
    }
    {
        const auto dialog = Open(beall);
        dialog->show();
        dialog->TrackBar1->setValue(60);
        QTest::keyClick(dialog.get(), Qt::Key_Escape);
        QCOMPARE(dialog->result(), int(QDialog::Rejected));
        QVERIFY(!dialog->isVisible());
        QCOMPARE(beall.AlphaBlendValue, 100);
    }
    {
        const auto dialog = Open(beall);
        dialog->show();
        dialog->TrackBar1->setValue(70);
        QTest::mouseClick(dialog->Button1, Qt::LeftButton);
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        QVERIFY(!dialog->isVisible());
        QCOMPARE(beall.AlphaBlendValue, 70);
    }
}

void TestBeallit::enterPressesNoButton()
{
    TBeall beall;
    const auto dialog = Open(beall);
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    for (QPushButton* button : {dialog->Button1, dialog->Button2, dialog->Button3})
        QVERIFY2(!button->isDefault(), qPrintable(button->text()));

    dialog->TrackBar1->setValue(10);
    dialog->TrackBar1->setFocus();
    QTest::keyClick(dialog->TrackBar1, Qt::Key_Return);
    QTest::keyClick(dialog.get(), Qt::Key_Enter);
    QVERIFY(dialog->isVisible());
    QCOMPARE(beall.AlphaBlendValue, 255);
    QVERIFY(m_autostart.Calls.isEmpty());
}

// The open note windows take up the applied transparency at the next beat
// of their shared timer, with no notice from the dialog.
void TestBeallit::openNotesFollowAnApply()
{
    UseWorkArea();
    Beall = TBeall{};
    TRecordingStore store;
    Tfrm_Ablak* note = ::Open(store);
    QVERIFY(note);
    const auto dialog = Open(Beall);
    dialog->show();

    dialog->CheckBox2->setChecked(true);
    dialog->CheckBox4->setChecked(true);
    dialog->TrackBar1->setValue(128);
    emit TSettingsBeat::Instance().beat();
    QCOMPARE(note->windowOpacity(), 1.0);  // not applied yet
    QVERIFY(!note->ColorKeying());

    QTest::mouseClick(dialog->Button3, Qt::LeftButton);
    QVERIFY(dialog->isVisible());
    emit TSettingsBeat::Instance().beat();
    QCOMPARE(note->windowOpacity(), 128 / 255.0);
    QVERIFY(note->ColorKeying());

    dialog->CheckBox2->setChecked(false);
    dialog->CheckBox4->setChecked(false);
    QTest::mouseClick(dialog->Button3, Qt::LeftButton);
    emit TSettingsBeat::Instance().beat();
    QCOMPARE(note->windowOpacity(), 1.0);
    QVERIFY(!note->ColorKeying());
    note->close();
    Beall = TBeall{};
}

QTEST_MAIN(TestBeallit)
#include "tst_beallit.moc"

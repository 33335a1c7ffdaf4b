// The font dialog with its colour choice, and the colour dialog.
#include "seged/font_dialog.h"

#include "seged/translations.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QtTest>

namespace QTest {
template <>
char* toString(const TFontChoice& c)
{
    const TFontSpec& f = c.Font;
    return qstrdup(QStringLiteral("%1 %2pt colour %3%4%5%6%7")
                       .arg(f.Name)
                       .arg(f.Size)
                       .arg(quint32(f.Color), 8, 16, QLatin1Char('0'))
                       .arg(f.Bold ? " bold" : "", f.Italic ? " italic" : "",
                            f.Underline ? " underline" : "", c.StrikeOut ? " strike-out" : "")
                       .toUtf8()
                       .constData());
}
}  // namespace QTest

namespace {
TFontChoice Choice(const QString& name, int size, std::int32_t color, bool bold = false,
                   bool italic = false, bool underline = false, bool strikeOut = false)
{
    return {TFontSpec{name, size, color, bold, italic, underline}, strikeOut};
}

QFontDialog* Picker(QDialog& dialog)
{
    return dialog.findChild<QFontDialog*>(QStringLiteral("FontPicker"));
}

QComboBox* ColorBox(QDialog& dialog)
{
    return dialog.findChild<QComboBox*>(QStringLiteral("ColorBox"));
}

struct TColorRequest {
    std::int32_t Shown;
    QString Caption;
};
}  // namespace

Q_DECLARE_METATYPE(TFontChoice)

class TestFontDialog : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void partsAndTexts();
    void classicColours_data();
    void classicColours();
    void untouchedChoiceComesBackAsGiven_data();
    void untouchedChoiceComesBackAsGiven();
    void shownFace_data();
    void shownFace();
    void changedFontIsReturned();
    void strikeOutIsShownAndReturnedApart();
    void otherColour();
    void keysInsideTheChooser_data();
    void keysInsideTheChooser();
    void chooseFontAnswerer();
    void chooseColorAnswerer();

private:
    void AnswerColors(std::optional<std::int32_t> answer);
    QList<TColorRequest> m_colorRequests;
};

void TestFontDialog::initTestCase()
{
    QVERIFY(InstallHungarianTranslations(*QCoreApplication::instance()));
}

void TestFontDialog::cleanup()
{
    SetChooseFontAnswererForTests({});
    SetChooseColorAnswererForTests({});
    m_colorRequests.clear();
}

void TestFontDialog::AnswerColors(std::optional<std::int32_t> answer)
{
    SetChooseColorAnswererForTests([this, answer](std::int32_t shown, const QString& caption) {
        m_colorRequests << TColorRequest{shown, caption};
        return answer;
    });
}

void TestFontDialog::partsAndTexts()
{
    TFontEffectsDialog dialog;
    QCOMPARE(dialog.objectName(), QStringLiteral("FontDialog1"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Betűtípus"));
    QFontDialog* picker = Picker(dialog);
    QVERIFY(picker);
    QVERIFY(!picker->isWindow());
    QVERIFY(picker->testOption(QFontDialog::NoButtons));
    QCOMPARE(dialog.findChild<QPushButton*>("OtherColorButton")->text(),
             QStringLiteral("Más szín..."));
    auto* buttons = dialog.findChild<QDialogButtonBox*>("ButtonBox");
    QCOMPARE(buttons->button(QDialogButtonBox::Ok)->text(), QStringLiteral("OK"));
    QCOMPARE(buttons->button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Mégse"));

    dialog.show();
    QVERIFY(picker->isVisible());
}

void TestFontDialog::classicColours_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("color");

    // Values as the program stores them: 0x00BBGGRR.
    const QList<std::pair<QString, int>> expected = {
        {"Fekete", 0x000000},    {"Gesztenyebarna", 0x000080}, {"Zöld", 0x008000},
        {"Olajzöld", 0x008080},  {"Sötétkék", 0x800000},       {"Lila", 0x800080},
        {"Kékeszöld", 0x808000}, {"Szürke", 0x808080},         {"Ezüst", 0xC0C0C0},
        {"Piros", 0x0000FF},     {"Citromzöld", 0x00FF00},     {"Sárga", 0x00FFFF},
        {"Kék", 0xFF0000},       {"Fukszia", 0xFF00FF},        {"Vízkék", 0xFFFF00},
        {"Fehér", 0xFFFFFF},
    };
    for (int i = 0; i < expected.size(); ++i)
        QTest::addRow("%d", i) << i << expected[i].first << expected[i].second;
}

void TestFontDialog::classicColours()
{
    QFETCH(int, index);
    QFETCH(QString, name);
    QFETCH(int, color);

    TFontEffectsDialog dialog;
    QComboBox* box = ColorBox(dialog);
    QCOMPARE(box->count(), 16);
    QCOMPARE(box->itemText(index), name);
    box->setCurrentIndex(index);
    QCOMPARE(dialog.Choice().Font.Color, color);

    // A font given in that colour shows it selected.
    dialog.SetChoice(Choice("Liberation Sans", 10, color));
    QCOMPARE(box->currentIndex(), index);
    QCOMPARE(box->count(), 16);
}

void TestFontDialog::untouchedChoiceComesBackAsGiven_data()
{
    QTest::addColumn<TFontChoice>("given");

    QTest::newRow("installed font") << Choice("Liberation Sans", 12, 0x000080);
    QTest::newRow("missing family, styled") << Choice("Tahoma", 10, 0, true, true, true);
    QTest::newRow("missing family, odd size") << Choice("Segoe Script", 37, 0xFF0000, false, true);
    QTest::newRow("colour off the list") << Choice("Liberation Serif", 9, 0x123456);
    QTest::newRow("system colour") << Choice("Liberation Mono", 11, std::int32_t(0xFF000008));
    QTest::newRow("struck out") << Choice("DejaVu Sans", 14, 0xFFFFFF, true, false, false, true);
}

void TestFontDialog::untouchedChoiceComesBackAsGiven()
{
    QFETCH(TFontChoice, given);
    TFontEffectsDialog dialog;
    dialog.SetChoice(given);
    dialog.show();
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.Choice(), given);
}

void TestFontDialog::shownFace_data()
{
    QTest::addColumn<TFontChoice>("given");
    QTest::addColumn<QString>("family");  // empty: the family the matcher uses
    QTest::addColumn<QString>("style");
    QTest::addColumn<bool>("missing");

    QTest::newRow("installed, regular") << Choice("Liberation Sans", 12, 0) << "Liberation Sans"
                                        << "Regular" << false;
    QTest::newRow("installed, bold italic")
        << Choice("Liberation Serif", 9, 0, true, true) << "Liberation Serif"
        << "Bold Italic" << false;
    QTest::newRow("installed, other case")
        << Choice("liberation mono", 11, 0, true) << "Liberation Mono"
        << "Bold" << false;
    QTest::newRow("Tahoma, bold") << Choice("Tahoma", 10, 0, true) << QString() << "Bold" << true;
    QTest::newRow("Segoe UI") << Choice("Segoe UI", 9, 0) << QString() << QString() << true;
    QTest::newRow("Arial, italic") << Choice("Arial", 14, 0, false, true) << "Liberation Sans"
                                   << "Italic" << true;
    QTest::newRow("Times New Roman") << Choice("Times New Roman", 12, 0) << "Liberation Serif"
                                     << "Regular" << true;
    QTest::newRow("Times New Roman, bold")
        << Choice("Times New Roman", 16, 0, true) << "Liberation Serif"
        << "Bold" << true;
}

void TestFontDialog::shownFace()
{
    QFETCH(TFontChoice, given);
    QFETCH(QString, family);
    QFETCH(QString, style);
    QFETCH(bool, missing);
    if (family.isEmpty())
        family = QFontInfo(QFont(given.Font.Name)).family();

    TFontEffectsDialog dialog;
    dialog.SetChoice(given);
    dialog.show();
    const QFont shown = Picker(dialog)->currentFont();
    QCOMPARE(shown.family(), family);
    QVERIFY(QFontDatabase::families().contains(family));
    const auto lists = Picker(dialog)->findChildren<QListView*>();
    QCOMPARE(lists[0]->currentIndex().data().toString(), family);
    const QString shownStyle = lists[1]->currentIndex().data().toString();
    if (!style.isEmpty())
        QCOMPARE(shownStyle, style);
    const QFont face = QFontDatabase::font(family, shownStyle, 10);
    QCOMPARE(face.bold(), given.Font.Bold);
    QCOMPARE(face.style() != QFont::StyleNormal, given.Font.Italic);
    QCOMPARE(lists[2]->currentIndex().data().toString(), QString::number(given.Font.Size));
    QCOMPARE(shown.pointSize(), given.Font.Size);

    auto* label = dialog.findChild<QLabel*>("MissingFontLabel");
    QCOMPARE(label->isVisible(), missing);
    if (missing)
        QCOMPARE(label->text(), QStringLiteral("„%1” nincs telepítve, helyette ez látszik: %2")
                                    .arg(given.Font.Name, family));

    // OK without a change keeps the stored values exactly.
    dialog.accept();
    QCOMPARE(dialog.Choice(), given);
}

void TestFontDialog::changedFontIsReturned()
{
    TFontEffectsDialog dialog;
    dialog.SetChoice(Choice("Tahoma", 10, 0));
    dialog.show();

    QFont font(QStringLiteral("Liberation Serif"), 16);
    font.setBold(true);
    font.setItalic(true);
    font.setUnderline(true);
    Picker(dialog)->setCurrentFont(font);
    ColorBox(dialog)->setCurrentIndex(12);  // "Kék"
    dialog.accept();
    QCOMPARE(dialog.Choice(), Choice("Liberation Serif", 16, 0xFF0000, true, true, true));

    // Only the size changed: the requested family name stays.
    TFontEffectsDialog sizeOnly;
    sizeOnly.SetChoice(Choice("Tahoma", 10, 0, true));
    QFont shown = Picker(sizeOnly)->currentFont();
    shown.setPointSize(20);
    Picker(sizeOnly)->setCurrentFont(shown);
    QCOMPARE(sizeOnly.Choice(), Choice("Tahoma", 20, 0, true));
}

void TestFontDialog::strikeOutIsShownAndReturnedApart()
{
    TFontEffectsDialog dialog;
    dialog.SetChoice(Choice("Liberation Sans", 12, 0x0000FF));
    dialog.show();
    QFont font = Picker(dialog)->currentFont();
    font.setStrikeOut(true);
    Picker(dialog)->setCurrentFont(font);

    const TFontChoice chosen = dialog.Choice();
    QVERIFY(chosen.StrikeOut);
    QCOMPARE(chosen.Font, Choice("Liberation Sans", 12, 0x0000FF).Font);

    // The chooser's sample shows the strike-out and the colour.
    auto* sample = Picker(dialog)->findChild<QLineEdit*>("qt_fontDialog_sampleEdit");
    QVERIFY(sample);
    QVERIFY(sample->font().strikeOut());
    QCOMPARE(sample->palette().color(QPalette::Text), QColor(Qt::red));
    ColorBox(dialog)->setCurrentIndex(2);  // "Zöld"
    QCOMPARE(sample->palette().color(QPalette::Text), QColor(0, 128, 0));
}

void TestFontDialog::otherColour()
{
    TFontEffectsDialog dialog;
    dialog.SetChoice(Choice("Liberation Sans", 12, 0x008000));
    dialog.show();
    auto* other = dialog.findChild<QPushButton*>("OtherColorButton");
    QComboBox* box = ColorBox(dialog);

    AnswerColors(std::nullopt);
    other->click();
    QCOMPARE(dialog.Choice().Font.Color, 0x008000);

    AnswerColors(0x336699);
    other->click();
    QCOMPARE(box->currentText(), QStringLiteral("Egyéni"));
    QCOMPARE(dialog.Choice().Font.Color, 0x336699);

    // A second own colour replaces the first; a list colour is picked from
    // the list.
    AnswerColors(0x010203);
    other->click();
    QCOMPARE(box->count(), 17);
    QCOMPARE(dialog.Choice().Font.Color, 0x010203);
    AnswerColors(0x0000FF);
    other->click();
    QCOMPARE(box->currentText(), QStringLiteral("Piros"));

    QCOMPARE(m_colorRequests.size(), 4);
    QCOMPARE(m_colorRequests[0].Shown, 0x008000);
    QCOMPARE(m_colorRequests[0].Caption, QStringLiteral("Szín"));
    QCOMPARE(m_colorRequests[2].Shown, 0x336699);
}

void TestFontDialog::keysInsideTheChooser_data()
{
    QTest::addColumn<int>("list");  // family, style, size
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("result");

    QTest::newRow("Esc in the family list") << 0 << int(Qt::Key_Escape) << int(QDialog::Rejected);
    QTest::newRow("Esc in the size list") << 2 << int(Qt::Key_Escape) << int(QDialog::Rejected);
    QTest::newRow("Enter in the family list") << 0 << int(Qt::Key_Return) << int(QDialog::Accepted);
    QTest::newRow("Enter in the style list") << 1 << int(Qt::Key_Enter) << int(QDialog::Accepted);
    QTest::newRow("Enter in the size list") << 2 << int(Qt::Key_Return) << int(QDialog::Accepted);
}

void TestFontDialog::keysInsideTheChooser()
{
    QFETCH(int, list);
    QFETCH(int, key);
    QFETCH(int, result);

    TFontEffectsDialog dialog;
    dialog.show();
    const auto lists = Picker(dialog)->findChildren<QListView*>();
    QCOMPARE(lists.size(), 3);
    QTest::keyClick(lists[list], Qt::Key(key));
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), result);
    // The whole dialog closed, not the chooser inside it.
    QVERIFY(!Picker(dialog)->isHidden());
}

void TestFontDialog::chooseFontAnswerer()
{
    QList<TFontChoice> shown;
    std::optional<TFontChoice> answer;
    SetChooseFontAnswererForTests([&](const TFontChoice& s) {
        shown << s;
        return answer;
    });
    const TFontSpec before = Choice("Tahoma", 10, 0).Font;
    TFontSpec font = before;
    bool strikeOut = true;

    answer.reset();
    QVERIFY(!ChooseFont(nullptr, font, &strikeOut));
    QCOMPARE(font, before);
    QVERIFY(strikeOut);

    answer = Choice("Liberation Serif", 18, 0x0000FF, true, false, true, false);
    QVERIFY(ChooseFont(nullptr, font, &strikeOut));
    QCOMPARE(font, answer->Font);
    QVERIFY(!strikeOut);

    // Without the strike-out argument the dialog starts without it.
    answer = Choice("Liberation Sans", 8, 0, false, false, false, true);
    QVERIFY(ChooseFont(nullptr, font));
    QCOMPARE(font, answer->Font);

    QCOMPARE(shown.size(), 3);
    QCOMPARE(shown[0], Choice("Tahoma", 10, 0, false, false, false, true));
    QCOMPARE(shown[2], Choice("Liberation Serif", 18, 0x0000FF, true, false, true, false));
}

void TestFontDialog::chooseColorAnswerer()
{
    std::int32_t color = 0x80FFFF;
    AnswerColors(std::nullopt);
    QVERIFY(!ChooseColor(nullptr, color));
    QCOMPARE(color, 0x80FFFF);

    AnswerColors(0xC0FFC0);
    QVERIFY(ChooseColor(nullptr, color));
    QCOMPARE(color, 0xC0FFC0);

    QCOMPARE(m_colorRequests.size(), 2);
    QCOMPARE(m_colorRequests[0].Shown, 0x80FFFF);
    QCOMPARE(m_colorRequests[0].Caption, QStringLiteral("Háttérszín"));
}

QTEST_MAIN(TestFontDialog)
#include "tst_font_dialog.moc"

#include "seged/font_dialog.h"

#include "seged/colors.h"
#include "seged/note_format.h"
#include "seged/shown_face.h"

#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include <iterator>

namespace {

struct TNamedColor {
    const char* Name;  // UTF-8
    QRgb Rgb;
};

// The colour list of the classic font dialog.
constexpr TNamedColor ClassicColors[] = {
    {"Fekete", 0x000000},    {"Gesztenyebarna", 0x800000}, {"Zöld", 0x008000},
    {"Olajzöld", 0x808000},  {"Sötétkék", 0x000080},       {"Lila", 0x800080},
    {"Kékeszöld", 0x008080}, {"Szürke", 0x808080},         {"Ezüst", 0xC0C0C0},
    {"Piros", 0xFF0000},     {"Citromzöld", 0x00FF00},     {"Sárga", 0xFFFF00},
    {"Kék", 0x0000FF},       {"Fukszia", 0xFF00FF},        {"Vízkék", 0x00FFFF},
    {"Fehér", 0xFFFFFF},
};
constexpr int ClassicColorCount = static_cast<int>(std::size(ClassicColors));

TChooseFontAnswerer& FontAnswerer()
{
    static TChooseFontAnswerer answerer;
    return answerer;
}

TChooseColorAnswerer& ColorAnswerer()
{
    static TChooseColorAnswerer answerer;
    return answerer;
}

QIcon Swatch(std::int32_t color)
{
    QPixmap pixmap(16, 12);
    pixmap.fill(ColorToQColor(color));
    QPainter painter(&pixmap);
    painter.setPen(Qt::darkGray);
    painter.drawRect(pixmap.rect().adjusted(0, 0, -1, -1));
    return QIcon(pixmap);
}

// The colour dialog shared by the background colour and "Más szín...".
bool PickColor(QWidget* parent, const QString& caption, std::int32_t& color)
{
    std::optional<std::int32_t> chosen;
    if (ColorAnswerer()) {
        chosen = ColorAnswerer()(color, caption);
    } else {
        QColorDialog dialog(parent);
        dialog.setObjectName(QStringLiteral("ColorDialog1"));
        // Qt's own dialog, so that it speaks the program's language and is
        // recognised as one of the program's dialogs.
        dialog.setOption(QColorDialog::DontUseNativeDialog);
        dialog.setWindowTitle(caption);
        dialog.setCurrentColor(ColorToQColor(color));
        if (dialog.exec() == QDialog::Accepted)
            chosen = QColorToColor(dialog.selectedColor());
    }
    if (!chosen)
        return false;
    color = *chosen;
    return true;
}

// The chooser lists a family as "Family [Foundry]" when several foundries
// make it; the stored name is the family alone.
QString FamilyName(const QFont& font)
{
    QString family = font.family();
    const qsizetype bracket = family.lastIndexOf(QStringLiteral(" ["));
    if (bracket > 0 && family.endsWith(QLatin1Char(']')))
        family.truncate(bracket);
    return family;
}

}  // namespace

TFontEffectsDialog::TFontEffectsDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FontDialog1"));
    setWindowTitle(QStringLiteral("Betűtípus"));

    m_picker = new QFontDialog(this);
    m_picker->setObjectName(QStringLiteral("FontPicker"));
    m_picker->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
    m_picker->setWindowFlags(Qt::Widget);
    m_picker->setSizeGripEnabled(false);
    // Filters installed later run first: these see the lists' keys before
    // the chooser's own filter.
    m_picker->installEventFilter(this);
    for (auto* list : m_picker->findChildren<QListView*>()) {
        list->installEventFilter(this);
        m_pickerLists << list;
    }
    // The chooser's sample shows the colour too; without it the colour is
    // still chosen, only not shown there.
    m_sample = m_picker->findChild<QLineEdit*>(QStringLiteral("qt_fontDialog_sampleEdit"));

    m_colors = new QComboBox(this);
    m_colors->setObjectName(QStringLiteral("ColorBox"));
    for (const TNamedColor& named : ClassicColors) {
        const std::int32_t color = QColorToColor(QColor(named.Rgb));
        m_colors->addItem(Swatch(color), QString::fromUtf8(named.Name), color);
    }
    auto* colorLabel = new QLabel(QStringLiteral("&Szín:"), this);
    colorLabel->setBuddy(m_colors);
    auto* otherColor = new QPushButton(QStringLiteral("Más szín..."), this);
    otherColor->setObjectName(QStringLiteral("OtherColorButton"));
    otherColor->setAutoDefault(false);

    // Names the face shown in place of a family that is not installed.
    m_missing = new QLabel(this);
    m_missing->setObjectName(QStringLiteral("MissingFontLabel"));
    m_missing->setTextFormat(Qt::PlainText);
    m_missing->setWordWrap(true);
    m_missing->hide();

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("ButtonBox"));

    auto* colorRow = new QHBoxLayout;
    colorRow->addWidget(colorLabel);
    colorRow->addWidget(m_colors);
    colorRow->addWidget(otherColor);
    colorRow->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_picker);
    layout->addWidget(m_missing);
    layout->addLayout(colorRow);
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(otherColor, &QPushButton::clicked, this, &TFontEffectsDialog::OtherColorClick);
    connect(m_colors, &QComboBox::currentIndexChanged, this, &TFontEffectsDialog::UpdateSample);

    SetChoice(TFontChoice{});
}

bool TFontEffectsDialog::eventFilter(QObject* watched, QEvent* event)
{
    // The embedded chooser is a dialog too: it would take Esc and Enter for
    // itself, closing itself alone or ignoring the key.
    const bool ofPicker = watched == m_picker || m_pickerLists.contains(watched);
    if (ofPicker && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Cancel)) {
            reject();
            return true;
        }
        const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && !modifiers) {
            accept();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TFontEffectsDialog::SetChoice(const TFontChoice& choice)
{
    m_given = choice;
    QFont font = FontFromSpec(choice.Font);
    font.setStrikeOut(choice.StrikeOut);
    const TShownFace shown = ShownFace(font);
    m_picker->setCurrentFont(shown.Font);
    // The chooser shows an installed font in place of a missing one; only
    // what the user changes afterwards replaces the given values.
    m_shownAtStart = m_picker->currentFont();
    m_missing->setVisible(!shown.MissingName.isEmpty());
    m_missing->setText(QStringLiteral("„%1” nincs telepítve, helyette ez látszik: %2")
                           .arg(shown.MissingName, FamilyName(m_shownAtStart)));
    SelectColor(choice.Font.Color);
}

TFontChoice TFontEffectsDialog::Choice() const
{
    TFontChoice result = m_given;
    const QFont now = m_picker->currentFont();
    if (now.family() != m_shownAtStart.family())
        result.Font.Name = FamilyName(now);
    if (now.pointSize() != m_shownAtStart.pointSize() && now.pointSize() > 0)
        result.Font.Size = now.pointSize();
    if (now.weight() != m_shownAtStart.weight() || now.style() != m_shownAtStart.style()) {
        result.Font.Bold = now.bold();
        result.Font.Italic = now.style() != QFont::StyleNormal;
    }
    result.Font.Underline = now.underline();
    result.StrikeOut = now.strikeOut();
    result.Font.Color = SelectedColor();
    return result;
}

void TFontEffectsDialog::SelectColor(std::int32_t color)
{
    for (int i = 0; i < ClassicColorCount; ++i) {
        if (m_colors->itemData(i).toInt() == color) {
            m_colors->setCurrentIndex(i);
            UpdateSample();
            return;
        }
    }
    if (m_colors->count() == ClassicColorCount)
        m_colors->addItem(QStringLiteral("Egyéni"));
    m_colors->setItemData(ClassicColorCount, color);
    m_colors->setItemIcon(ClassicColorCount, Swatch(color));
    m_colors->setCurrentIndex(ClassicColorCount);
    // The index may not have changed while the colour did.
    UpdateSample();
}

std::int32_t TFontEffectsDialog::SelectedColor() const
{
    return m_colors->currentData().toInt();
}

void TFontEffectsDialog::OtherColorClick()
{
    std::int32_t color = SelectedColor();
    if (PickColor(this, QStringLiteral("Szín"), color))
        SelectColor(color);
}

void TFontEffectsDialog::UpdateSample()
{
    if (!m_sample)
        return;
    QPalette palette = m_sample->palette();
    palette.setColor(QPalette::Text, ColorToQColor(SelectedColor()));
    m_sample->setPalette(palette);
}

bool ChooseFont(QWidget* parent, TFontSpec& font, bool* strikeOut)
{
    const TFontChoice shown{font, strikeOut && *strikeOut};
    std::optional<TFontChoice> chosen;
    if (FontAnswerer()) {
        chosen = FontAnswerer()(shown);
    } else {
        TFontEffectsDialog dialog(parent);
        dialog.SetChoice(shown);
        if (dialog.exec() == QDialog::Accepted)
            chosen = dialog.Choice();
    }
    if (!chosen)
        return false;
    font = chosen->Font;
    if (strikeOut)
        *strikeOut = chosen->StrikeOut;
    return true;
}

bool ChooseColor(QWidget* parent, std::int32_t& color)
{
    return PickColor(parent, QStringLiteral("Háttérszín"), color);
}

void SetChooseFontAnswererForTests(TChooseFontAnswerer answerer)
{
    FontAnswerer() = std::move(answerer);
}

void SetChooseColorAnswererForTests(TChooseColorAnswerer answerer)
{
    ColorAnswerer() = std::move(answerer);
}

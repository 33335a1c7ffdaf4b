#include "settings/beallit.h"

#include "assets/note_pictures.h"
#include "seged/colors.h"
#include "seged/font_dialog.h"
#include "seged/note_format.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QToolButton>

#include <exception>
#include <utility>

namespace {
constexpr int ClientWidth = 517;
constexpr int ClientHeight = 220;

QToolButton* MakeSpeedButton(QWidget* parent, const char* name, const QString& picture,
                             const QString& caption, const QRect& place)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setIcon(CommandIcon(picture));
    button->setIconSize(QSize(16, 16));
    if (!caption.isEmpty()) {
        button->setText(caption);
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    }
    button->setGeometry(place);
    return button;
}

QCheckBox* MakeCheckBox(QWidget* parent, const char* name, const QString& caption, int left,
                        int top)
{
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(QLatin1String(name));
    box->move(left, top);
    box->adjustSize();
    return box;
}

// No button is the default: Enter must not press "OK". A QDialog makes the
// first auto-default button the default when it is shown, so none is one.
QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption, int left)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    button->setDefault(false);
    button->setGeometry(left, 180, 75, 25);
    return button;
}
}  // namespace

Tfrm_Beallit::Tfrm_Beallit(TBeall& beall, TBeallitEnvironment environment, QWidget* parent)
    : QDialog(parent), m_beall(beall), m_environment(std::move(environment))
{
    setObjectName(QStringLiteral("frm_Beallit"));
    setWindowTitle(QStringLiteral("Beállítások"));
    // The dialog's own face where it is installed; otherwise a face of the
    // same width, so that every caption fits its place.
    QFont dialogFont(QStringLiteral("MS Sans Serif"), 8);
    dialogFont.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"),
                            QStringLiteral("Arial")});
    setFont(dialogFont);
    setFixedSize(ClientWidth, ClientHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect place(QPoint(), size());
        place.moveCenter(screen->geometry().center());
        move(place.topLeft());
    }

    BuildTextGroup();
    BuildLookGroup();
    BuildStartGroup();
    BuildButtons();
    FormCreate();
}

void Tfrm_Beallit::BuildTextGroup()
{
    GroupBox1 = new QGroupBox(QStringLiteral("Szöveg"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(12, 12, 261, 97);

    Panel1 = new QLabel(QStringLiteral("Minta"), GroupBox1);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(16, 20, 97, 69);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setAutoFillBackground(true);
    Panel1->setTextFormat(Qt::PlainText);

    SpeedButton1 = MakeSpeedButton(GroupBox1, "SpeedButton1", QStringLiteral("betutipus"),
                                   QStringLiteral("Betűtípus"), QRect(124, 20, 129, 22));
    SpeedButton2 = MakeSpeedButton(GroupBox1, "SpeedButton2", QStringLiteral("hatterszin"),
                                   QStringLiteral("Háttérszín"), QRect(124, 44, 129, 22));
    SpeedButton3 = MakeSpeedButton(GroupBox1, "SpeedButton3", QStringLiteral("balra"), {},
                                   QRect(124, 68, 23, 22));
    SpeedButton4 = MakeSpeedButton(GroupBox1, "SpeedButton4", QStringLiteral("kozepre"), {},
                                   QRect(148, 68, 23, 22));
    SpeedButton5 = MakeSpeedButton(GroupBox1, "SpeedButton5", QStringLiteral("jobbra"), {},
                                   QRect(172, 68, 23, 22));

    // One group: pressing one releases the others; a pressed one stays.
    AlignmentButtons = new QButtonGroup(this);
    AlignmentButtons->setObjectName(QStringLiteral("AlignmentButtons"));
    AlignmentButtons->setExclusive(true);
    const std::pair<QToolButton*, int> codes[] = {
        {SpeedButton3, 0}, {SpeedButton4, 2}, {SpeedButton5, 1}};
    for (const auto& [button, code] : codes) {
        button->setCheckable(true);
        AlignmentButtons->addButton(button, code);
    }

    connect(SpeedButton1, &QToolButton::clicked, this, &Tfrm_Beallit::SpeedButton1Click);
    connect(SpeedButton2, &QToolButton::clicked, this, &Tfrm_Beallit::SpeedButton2Click);
    connect(AlignmentButtons, &QButtonGroup::idClicked, this, &Tfrm_Beallit::SetSampleAlignment);
}

void Tfrm_Beallit::BuildLookGroup()
{
    GroupBox2 = new QGroupBox(QStringLiteral("Megjelenés"), this);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    GroupBox2->setGeometry(280, 12, 225, 153);

    CheckBox2 = MakeCheckBox(GroupBox2, "CheckBox2", QStringLiteral("Ablakok átlátszóak"), 16, 20);
    CheckBox3 =
        MakeCheckBox(GroupBox2, "CheckBox3", QStringLiteral("Ablakok szövege átlátszó"), 16, 48);
    CheckBox4 = MakeCheckBox(GroupBox2, "CheckBox4",
                             QStringLiteral("Árnyalt átlátszóság engedélyezett"), 16, 76);

    TrackBar1 = new QSlider(Qt::Horizontal, GroupBox2);
    TrackBar1->setObjectName(QStringLiteral("TrackBar1"));
    TrackBar1->setGeometry(12, 100, 205, 21);
    TrackBar1->setRange(0, 255);
    TrackBar1->setTickInterval(10);
    TrackBar1->setTickPosition(QSlider::TicksBelow);
    TrackBar1->setSingleStep(1);
    TrackBar1->setPageStep(10);

    Label1 = new QLabel(QStringLiteral("Átlátszó"), GroupBox2);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(12, 124, 100, 16);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label2 = new QLabel(QStringLiteral("Normál"), GroupBox2);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(117, 124, 100, 16);
    Label2->setAlignment(Qt::AlignRight | Qt::AlignTop);
}

void Tfrm_Beallit::BuildStartGroup()
{
    GroupBox3 = new QGroupBox(QStringLiteral("Indítás"), this);
    GroupBox3->setObjectName(QStringLiteral("GroupBox3"));
    GroupBox3->setGeometry(12, 116, 261, 49);
    CheckBox1 = MakeCheckBox(GroupBox3, "CheckBox1",
                             QStringLiteral("Automatikus betöltés Windows indításakor"), 16, 20);
}

void Tfrm_Beallit::BuildButtons()
{
    Button3 = MakeButton(this, "Button3", QStringLiteral("Alkalmaz"), 20);
    Button1 = MakeButton(this, "Button1", QStringLiteral("OK"), 336);
    Button2 = MakeButton(this, "Button2", QStringLiteral("Mégsem"), 420);
    connect(Button3, &QPushButton::clicked, this, &Tfrm_Beallit::Button3Click);
    connect(Button1, &QPushButton::clicked, this, &Tfrm_Beallit::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

void Tfrm_Beallit::FormCreate()
{
    m_color = m_beall.Color;
    m_font = m_beall.Font;
    m_alignment = m_beall.Alignment;
    ShowSample();
    if (QAbstractButton* pressed = AlignmentButtons->button(m_alignment))
        pressed->setChecked(true);

    try {
        CheckBox1->setChecked(
            NamesProgram(m_environment.Autostart.Read(), m_environment.ProgramFile));
    } catch (const std::exception& error) {
        // An entry that cannot be read is reported; the box stays empty.
        // The transparency controls still show the defaults, so that
        // applying the dialog unchanged does not reset them.
        if (m_environment.ReportError)
            m_environment.ReportError(QString::fromUtf8(error.what()));
    }

    CheckBox2->setChecked(m_beall.WindowTransparent);
    CheckBox3->setChecked(m_beall.FontTransparent);
    CheckBox4->setChecked(m_beall.AlphaBlend);
    TrackBar1->setValue(m_beall.AlphaBlendValue);  // kept within 0 to 255
}

void Tfrm_Beallit::SpeedButton1Click()
{
    if (ChooseFont(this, m_font, &m_strikeOut))
        ShowSample();
}

void Tfrm_Beallit::SpeedButton2Click()
{
    if (ChooseColor(this, m_color))
        ShowSample();
}

void Tfrm_Beallit::SetSampleAlignment(int alignment)
{
    m_alignment = alignment;
    ShowSample();
}

void Tfrm_Beallit::ShowSample()
{
    QFont font = FontFromSpec(m_font);
    font.setStrikeOut(m_strikeOut);
    Panel1->setFont(font);
    QPalette palette = Panel1->palette();
    palette.setColor(QPalette::Window, ColorToQColor(m_color));
    palette.setColor(QPalette::WindowText, ColorToQColor(m_font.Color));
    Panel1->setPalette(palette);
    Panel1->setAlignment(HorizontalAlignment(m_alignment) | Qt::AlignVCenter);
}

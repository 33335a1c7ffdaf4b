#include "help/help_window.h"

#include "desktop/maker_addresses.h"
#include "desktop/open_address.h"
#include "help/click_label.h"
#include "help/help_texts.h"
#include "help/window_place.h"

#include <QApplication>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>

QPointer<Tfrm_Help> frm_Help;

namespace {

constexpr int ClientWidth = 622;
constexpr int ClientHeight = 880;
constexpr int PageLeft = 8;
constexpr int PageRight = 585;

const QColor Cream(255, 251, 240);
const QColor Navy(0, 0, 128);
const QColor Maroon(128, 0, 0);
const QColor LinkBlue(0, 0, 255);
const QColor Red(255, 0, 0);

QFont PixelFont(const QString& family, int pixels, bool bold = false, bool underline = false)
{
    QFont font(family);
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setUnderline(underline);
    return font;
}

QFont SegoeUi(int pixels, bool bold = false, bool underline = false)
{
    return PixelFont(QStringLiteral("Segoe UI"), pixels, bold, underline);
}

void SetLook(QLabel* label, const QString& name, const QFont& font, const QColor& color)
{
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
}

// A label as wide and tall as its text.
QLabel* TextLabel(QWidget* page, const QString& name, const QString& text, const QFont& font,
                  const QColor& color, int left, int top)
{
    auto* label = new QLabel(text, page);
    SetLook(label, name, font, color);
    label->adjustSize();
    label->move(left, top);
    return label;
}

// A body text: word-wrapped from the top left of a box of fixed size.
QLabel* BodyLabel(QWidget* page, const QString& name, const QString& text, int top, int width,
                  int height)
{
    auto* label = new QLabel(text, page);
    SetLook(label, name, SegoeUi(12), Qt::black);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setGeometry(PageLeft, top, width, height);
    return label;
}

TClickLabel* LinkLabel(QWidget* page, const QString& name, const QString& text, const QFont& font,
                       int top)
{
    auto* label = new TClickLabel(page);
    SetLook(label, name, font, LinkBlue);
    label->setText(text);
    label->adjustSize();
    label->move(PageLeft, top);
    return label;
}

}  // namespace

Tfrm_Help::Tfrm_Help(QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("frm_Help"));
    setWindowTitle(QStringLiteral("Súgó"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(ClientWidth, ClientHeight);

    ScrollBox1 = new QScrollArea(this);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    ScrollBox1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ScrollBox1->setWidgetResizable(true);
    // The page follows the thumb while it is dragged.
    ScrollBox1->verticalScrollBar()->setTracking(true);
    ScrollBox1->setWidget(BuildPage());
    // The scroll box fills the window, also when the window is made lower
    // than its usual height to fit a small screen.
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(ScrollBox1);
}

QWidget* Tfrm_Help::BuildPage()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("HelpPage"));
    page->setAutoFillBackground(true);
    QPalette palette = page->palette();
    palette.setColor(QPalette::Window, Cream);
    page->setPalette(palette);

    TextLabel(page, QStringLiteral("Label1"), QStringLiteral("VI-KORA"),
              PixelFont(QStringLiteral("Arial"), 16, true), Qt::black, PageLeft, 8);
    TextLabel(page, QStringLiteral("Label2"), QStringLiteral("emlékeztető program"),
              PixelFont(QStringLiteral("Arial"), 12), Qt::black, PageLeft, 24);
    QLabel* title = TextLabel(page, QStringLiteral("Label3"), QStringLiteral("SÚGÓ"),
                              PixelFont(QStringLiteral("Arial"), 24, true), Red, 0, 8);
    title->move(PageRight - title->width(), 8);

    const QFont entryFont = SegoeUi(11, false, true);
    Label26 = LinkLabel(page, QStringLiteral("Label26"), QStringLiteral("Általános információk"),
                        entryFont, 64);
    Label4 = LinkLabel(page, QStringLiteral("Label4"),
                       QStringLiteral("Jogállás, felhasználói szerződés"), entryFont, 84);
    Label5 = LinkLabel(page, QStringLiteral("Label5"), QStringLiteral("Hardware, software igény"),
                       entryFont, 104);
    Label6 = LinkLabel(page, QStringLiteral("Label6"), QStringLiteral("A program telepítése"),
                       entryFont, 124);
    Label7 = LinkLabel(page, QStringLiteral("Label7"), QStringLiteral("A program használata"),
                       entryFont, 144);
    connect(Label26, &TClickLabel::clicked, this, &Tfrm_Help::Label26Click);
    connect(Label4, &TClickLabel::clicked, this, &Tfrm_Help::Label4Click);
    connect(Label5, &TClickLabel::clicked, this, &Tfrm_Help::Label5Click);
    connect(Label6, &TClickLabel::clicked, this, &Tfrm_Help::Label6Click);
    connect(Label7, &TClickLabel::clicked, this, &Tfrm_Help::Label7Click);

    const auto heading = [page](const char* name, const QString& text, int top) {
        TextLabel(page, QLatin1String(name), text, SegoeUi(15, true), Navy, PageLeft, top);
    };
    const auto subHeading = [page](const char* name, const QString& text, int top) {
        TextLabel(page, QLatin1String(name), text, SegoeUi(11, true), Maroon, PageLeft, top);
    };
    heading("Label27", QStringLiteral("Általános információk"), 224);
    BodyLabel(page, QStringLiteral("Label28"), HelpTexts::General(), 252, 585, 129);
    heading("Label8", QStringLiteral("Jogállás, felhasználói szerződés"), 412);
    BodyLabel(page, QStringLiteral("Label12"), HelpTexts::LegalStatus(), 436, 585, 81);
    heading("Label11", QStringLiteral("Hardware, software igény"), 548);
    BodyLabel(page, QStringLiteral("Label13"), HelpTexts::Requirements(), 576, 582, 96);
    heading("Label10", QStringLiteral("A program telepítése"), 700);
    BodyLabel(page, QStringLiteral("Label14"), HelpTexts::Installation(), 736, 450, 96);
    heading("Label9", QStringLiteral("A program használata"), 836);
    subHeading("Label16", QStringLiteral("Új ablak készítése"), 868);
    BodyLabel(page, QStringLiteral("Label15"), HelpTexts::NewNote(), 892, 450, 35);
    subHeading("Label17", QStringLiteral("A program beállításai"), 940);
    BodyLabel(page, QStringLiteral("Label18"), HelpTexts::Settings(), 970, 450, 69);
    subHeading("Label21", QStringLiteral("Ablak adatainak szerkesztése"), 1052);
    BodyLabel(page, QStringLiteral("Label22"), HelpTexts::Editing(), 1085, 450, 160);
    subHeading("Label23", QStringLiteral("Címke bezárása, vagy törlése"), 1252);
    BodyLabel(page, QStringLiteral("Label24"), HelpTexts::ClosingAndDeleting(), 1297, 450, 78);
    heading("Label32", QStringLiteral("Elérés"), 1424);

    auto* contact = new QLabel(HelpTexts::ContactBlock(), page);
    SetLook(contact, QStringLiteral("Label33"), PixelFont(QStringLiteral("Arial"), 13, true),
            Qt::black);
    contact->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    contact->setGeometry(PageLeft, 1471, 450, 163);

    // Made after the contact block, whose box they lie in, so that they
    // are above it and take the clicks.
    const QFont linkFont = SegoeUi(12, false, true);
    Label36 = LinkLabel(page, QStringLiteral("Label36"), QLatin1String(MakerEmail), linkFont, 1562);
    Label38 =
        LinkLabel(page, QStringLiteral("Label38"), QLatin1String(MakerHomePage), linkFont, 1582);
    connect(Label36, &TClickLabel::clicked, this, &Tfrm_Help::Label36Click);
    connect(Label38, &TClickLabel::clicked, this, &Tfrm_Help::Label38Click);

    // The page reaches down to its lowest label, as a scroll box's range does.
    int bottom = 0;
    for (const QWidget* child : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        bottom = std::max(bottom, child->geometry().bottom() + 1);
    page->setMinimumHeight(bottom);
    return page;
}

int Tfrm_Help::ScrollPosition() const
{
    return ScrollBox1->verticalScrollBar()->value();
}

void Tfrm_Help::ScrollTo(int position)
{
    // The scroll bar keeps the position within its range.
    ScrollBox1->verticalScrollBar()->setValue(position);
}

void Tfrm_Help::Label26Click()
{
    ScrollTo(142);
}
void Tfrm_Help::Label4Click()
{
    ScrollTo(333);
}
void Tfrm_Help::Label5Click()
{
    ScrollTo(550);
}
void Tfrm_Help::Label6Click()
{
    ScrollTo(678);
}
void Tfrm_Help::Label7Click()
{
    ScrollTo(816);
}

void Tfrm_Help::Label36Click()
{
    OpenAddress(QStringLiteral("mailto:") + QLatin1String(MakerEmail) +
                QStringLiteral("?subject=vikora megrendeles"));
}

void Tfrm_Help::Label38Click()
{
    OpenAddress(QLatin1String(MakerSecondWebSite));
}

Tfrm_Help* ShowHelp()
{
    auto* window = new Tfrm_Help;
    CentreInArea(*window, PrimaryWorkArea(), true);
    frm_Help = window;
    // Opened from a modal dialog, the window would take no input until the
    // dialog closed; as the dialog's transient it stays usable.
    if (QWidget* modal = QApplication::activeModalWidget()) {
        window->winId();
        if (window->windowHandle() && modal->windowHandle())
            window->windowHandle()->setTransientParent(modal->windowHandle());
    }
    window->show();
    return window;
}

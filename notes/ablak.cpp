#include "notes/ablak.h"

#include "assets/note_pictures.h"
#include "desktop/window_state.h"
#include "notes/placement.h"
#include "notes/screen_watch.h"
#include "notes/settings_beat.h"
#include "seged/colors.h"
#include "seged/editor_text.h"
#include "seged/monitors.h"
#include "seged/note_font.h"
#include "seged/note_format.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTimer>

Tfrm_Ablak::Tfrm_Ablak(TNoteWindowHooks hooks)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint), m_hooks(std::move(hooks))
{
    setObjectName(QStringLiteral("frm_Ablak"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAutoFillBackground(true);

    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setAutoFillBackground(true);
    Panel1->installEventFilter(this);

    Label1 = new QLabel(Panel1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setTextFormat(Qt::PlainText);
    Label1->setWordWrap(true);
    Label1->setAutoFillBackground(true);
    Label1->setContextMenuPolicy(Qt::PreventContextMenu);
    Label1->installEventFilter(this);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setFixedSize(16, 16);
    Image1->setPixmap(ImportantMarkerPicture(devicePixelRatioF()));
    Image1->setAttribute(Qt::WA_TransparentForMouseEvents);
    Image1->hide();

    CreateActions();
    connect(&TSettingsBeat::Instance(), &TSettingsBeat::beat, this, &Tfrm_Ablak::Timer1Timer);
    connect(&TScreenWatch::Instance(), &TScreenWatch::changed, this, &Tfrm_Ablak::FollowScreens);
}

Tfrm_Ablak::~Tfrm_Ablak() = default;

void Tfrm_Ablak::Setup(const TNote& note, bool IsNew)
{
    const TNotePlace& stored = note.Place;
    const QRect workArea =
        NoteWorkArea(QRect(stored.Left, stored.Top, stored.Width, stored.Height));
    const QPoint place = PlaceNote(workArea, stored);
    ApplyAlphaBlend(Beall.AlphaBlend, Beall.AlphaBlendValue);
    ResizeTo(QRect(place, QSize(stored.Width, stored.Height)));
    MoveTo(place.x(), place.y());

    m_color = note.Color;
    m_font = FontSpecOf(note.Font);
    m_shownFont = FontFromSpec(m_font);
    ApplyColors();
    ApplyFont();
    SetText(QString::fromStdString(note.Text));
    SetAlignment(note.Alignment);

    // Chosen once: later changes of the settings or of the note's colours
    // never move it.
    m_keyColor = ColorToQColor(Beall.FontTransparent ? m_font.Color : note.Color);
    SetColorKeying(Beall.UseTransparentColor);

    show();
    activateWindow();
    ShowImportantMarker(true);
    if (IsNew)
        aSzerkeszt->trigger();
}

Tfrm_Ablak* OpenNoteWindow(const TNoteWindowHooks& hooks, const TNote& note, bool IsNew)
{
    auto* window = new Tfrm_Ablak(hooks);
    window->az = note.Az;
    window->latszik = note.Latszik;
    window->tol = note.Tol;
    window->Setup(note, IsNew);
    return window;
}

bool Tfrm_Ablak::EditMode() const
{
    return Memo1 && !Memo1->isHidden();
}

void Tfrm_Ablak::ShowImportantMarker(bool allowed)
{
    Image1->setVisible(latszik && allowed);
    Image1->raise();
    update();
    ScheduleMask();
}

void Tfrm_Ablak::Timer1Timer()
{
    if (m_alphaBlend != Beall.AlphaBlend)
        ApplyAlphaBlend(Beall.AlphaBlend, m_alphaValue);
    if (m_alphaValue != Beall.AlphaBlendValue)
        ApplyAlphaBlend(m_alphaBlend, Beall.AlphaBlendValue);
    if (m_colorKeying != Beall.UseTransparentColor)
        SetColorKeying(Beall.UseTransparentColor);
}

QPlainTextEdit* Tfrm_Ablak::EnsureMemo()
{
    if (Memo1)
        return Memo1;
    Memo1 = new QPlainTextEdit(Panel1);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setFrameShape(QFrame::NoFrame);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setTabChangesFocus(false);
    Memo1->setContextMenuPolicy(Qt::CustomContextMenu);
    Memo1->installEventFilter(this);
    connect(Memo1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { EnsurePopupMenu2()->popup(Memo1->mapToGlobal(pos)); });
    connect(Memo1, &QPlainTextEdit::textChanged, this, &Tfrm_Ablak::ScheduleMask);
    Memo1->hide();
    Memo1->lower();
    SetEditorText(*Memo1, m_text);
    ApplyColors();
    ApplyFont();
    SetAlignment(m_igazit);
    LayoutParts();
    return Memo1;
}

void Tfrm_Ablak::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // FormResize: the marker stays in the top right corner.
    Image1->move(width() - 17, 1);
    if (m_systemResize) {
        // Position follows from the edge being dragged, not from what the
        // window manager reports.
        QRect record = m_geometry;
        if (m_systemResize & Qt::LeftEdge)
            record.setLeft(m_geometry.right() + 1 - width());
        if (m_systemResize & Qt::TopEdge)
            record.setTop(m_geometry.bottom() + 1 - height());
        record.setSize(size());
        m_geometry = record;
    } else {
        m_geometry.setSize(size());
    }
    LayoutParts();
    ScheduleMask();
}

void Tfrm_Ablak::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    KeepOffTaskbar(windowHandle());
    ShowOnAllWorkspaces(windowHandle());
    // Once more after the window is mapped, for window managers that read
    // the state only from a request.
    QTimer::singleShot(0, this, [this] {
        KeepOffTaskbar(windowHandle());
        ShowOnAllWorkspaces(windowHandle());
    });
    ScheduleMask();
}

void Tfrm_Ablak::closeEvent(QCloseEvent* event)
{
    m_dragging = false;
    QWidget::closeEvent(event);
}

void Tfrm_Ablak::FollowScreens()
{
    if (m_dragging || m_resizeEdges || m_systemResize)
        return;
    // The stored place stays while enough of it is on a monitor, so that a
    // note comes back when its monitor does; m_geometry, what is stored,
    // changes only when the user moves the note.
    QPoint place = m_geometry.topLeft();
    if (!MostlyOnMonitors(m_geometry, MonitorGeometries()))
        place = PlaceNote(
            NoteWorkArea(m_geometry),
            TNotePlace{m_geometry.x(), m_geometry.y(), m_geometry.width(), m_geometry.height()});
    if (place != geometry().topLeft())
        move(place);
}

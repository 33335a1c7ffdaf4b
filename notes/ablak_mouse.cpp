// Dragging, snapping, resize mode, double-clicks and deactivation.
#include "notes/ablak.h"

#include "notes/placement.h"
#include "seged/reported.h"

#include <QAction>
#include <QApplication>
#include <QColorDialog>
#include <QFontDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QWindow>

namespace {
constexpr int MinimumSide = 20;

Qt::CursorShape CursorFor(Qt::Edges edges)
{
    const bool horizontal = edges & (Qt::LeftEdge | Qt::RightEdge);
    const bool vertical = edges & (Qt::TopEdge | Qt::BottomEdge);
    if (horizontal && vertical) {
        const bool falling = (edges & Qt::LeftEdge) == bool(edges & Qt::TopEdge);
        return falling ? Qt::SizeFDiagCursor : Qt::SizeBDiagCursor;
    }
    if (horizontal)
        return Qt::SizeHorCursor;
    if (vertical)
        return Qt::SizeVerCursor;
    return Qt::ArrowCursor;
}
}  // namespace

bool Tfrm_Ablak::event(QEvent* event)
{
    if (event->type() == QEvent::WindowDeactivate) {
        // Only another window of this program counts; the dialogs a command
        // of this note opens, and message boxes, do not.
        QWidget* now = QApplication::activeWindow();
        if (now && now != this && m_standardDialogs == 0 && !qobject_cast<QMessageBox*>(now) &&
            !qobject_cast<QColorDialog*>(now) && !qobject_cast<QFontDialog*>(now))
            FormDeactivate();
    }
    return QWidget::event(event);
}

bool Tfrm_Ablak::eventFilter(QObject* watched, QEvent* event)
{
    if (Memo1 && watched == Memo1 && event->type() == QEvent::ShortcutOverride) {
        // The edit field would keep keys such as Ctrl+K for itself; the
        // note's shortcuts act while typing too.
        if (IsOwnShortcut(static_cast<QKeyEvent*>(event))) {
            event->ignore();
            return true;
        }
        return false;
    }
    if (watched != Label1 && watched != Panel1)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        FormMouseDown(static_cast<QMouseEvent*>(event));
        return true;
    case QEvent::MouseMove:
        FormMouseMove(static_cast<QMouseEvent*>(event));
        return true;
    case QEvent::MouseButtonRelease: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        FormMouseUp(mouse);
        if (watched == Label1 && mouse->button() == Qt::RightButton)
            EnsurePopupMenu1()->popup(mouse->globalPosition().toPoint());
        return true;
    }
    case QEvent::MouseButtonDblClick:
        if (watched == Label1 && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            Label1DblClick();
        return true;
    default:
        return false;
    }
}

void Tfrm_Ablak::mousePressEvent(QMouseEvent* event)
{
    const Qt::Edges edges = EdgesAt(event->position().toPoint());
    if (edges && event->button() == Qt::LeftButton) {
        m_systemResize = {};
        QWindow* handle = windowHandle();
        if (handle && handle->startSystemResize(edges)) {
            m_systemResize = edges;
        } else {
            // No window manager to hand it to: resize from here.
            m_resizeEdges = edges;
            m_resizePress = event->globalPosition().toPoint();
            m_resizeStart = m_geometry;
        }
        return;
    }
    FormMouseDown(event);
}

void Tfrm_Ablak::mouseMoveEvent(QMouseEvent* event)
{
    if (m_resizeEdges) {
        const QPoint delta = event->globalPosition().toPoint() - m_resizePress;
        QRect next = m_resizeStart;
        if (m_resizeEdges & Qt::LeftEdge)
            next.setLeft(std::min(next.left() + delta.x(), next.right() + 1 - MinimumSide));
        if (m_resizeEdges & Qt::RightEdge)
            next.setRight(std::max(next.right() + delta.x(), next.left() + MinimumSide - 1));
        if (m_resizeEdges & Qt::TopEdge)
            next.setTop(std::min(next.top() + delta.y(), next.bottom() + 1 - MinimumSide));
        if (m_resizeEdges & Qt::BottomEdge)
            next.setBottom(std::max(next.bottom() + delta.y(), next.top() + MinimumSide - 1));
        ResizeTo(next);
        return;
    }
    if (m_frame && !m_dragging)
        setCursor(CursorFor(EdgesAt(event->position().toPoint())));
    FormMouseMove(event);
}

void Tfrm_Ablak::mouseReleaseEvent(QMouseEvent* event)
{
    m_resizeEdges = {};
    FormMouseUp(event);
}

void Tfrm_Ablak::FormMouseDown(QMouseEvent* event)
{
    m_systemResize = {};
    if (event->button() != Qt::LeftButton)
        return;
    m_dragging = true;
    m_pressCursor = event->globalPosition().toPoint();
    // Where the note is: a window manager may have put it elsewhere than
    // the stored place (below a panel), or a monitor may have gone.
    m_pressTopLeft = geometry().topLeft();
}

void Tfrm_Ablak::FormMouseMove(QMouseEvent* event)
{
    if (!m_dragging)
        return;
    // Always from the press, in screen coordinates.
    const QPoint delta = event->globalPosition().toPoint() - m_pressCursor;
    MoveTo(m_pressTopLeft.x() + delta.x(), m_pressTopLeft.y() + delta.y());
}

void Tfrm_Ablak::FormMouseUp(QMouseEvent*)
{
    m_dragging = false;
    // The release after the double-click that starts editing comes in edit
    // mode: the note's own height is stored, without the edit mode's extra.
    const int height = m_geometry.height() - (EditMode() ? EditModeExtraHeight : 0);
    // Reached from mouse events: an error of the store is reported here.
    RunReported([this, height] {
        m_hooks.Store->SaveNotePosition(
            az, TNotePlace{m_geometry.x(), m_geometry.y(), m_geometry.width(), height});
    });
}

void Tfrm_Ablak::FormDeactivate()
{
    SetFrame(false);
    m_dragging = false;
}

void Tfrm_Ablak::Label1DblClick()
{
    if (m_frame)
        aAtmeretez->trigger();
    else
        aSzerkeszt->trigger();
    m_dragging = false;
}

void Tfrm_Ablak::aAtmeretezExecute()
{
    if (m_frame) {
        SetFrame(false);
        ShowImportantMarker(true);
    } else {
        ShowImportantMarker(false);
        SetFrame(true);
    }
    m_dragging = false;
}

void Tfrm_Ablak::SetFrame(bool on)
{
    m_frame = on;
    setMouseTracking(on);
    if (!on)
        unsetCursor();
    LayoutParts();
    update();
    ScheduleMask();
}

Qt::Edges Tfrm_Ablak::EdgesAt(const QPoint& pos) const
{
    Qt::Edges edges;
    const bool onBorder = pos.x() < SizingFrameWidth || pos.x() >= width() - SizingFrameWidth ||
                          pos.y() < SizingFrameWidth || pos.y() >= height() - SizingFrameWidth;
    if (!m_frame || !onBorder)
        return edges;
    // Corners are easier to catch a little along the border from the corner.
    const int corner = SizingFrameWidth * 3;
    if (pos.x() < corner)
        edges |= Qt::LeftEdge;
    else if (pos.x() >= width() - corner)
        edges |= Qt::RightEdge;
    if (pos.y() < corner)
        edges |= Qt::TopEdge;
    else if (pos.y() >= height() - corner)
        edges |= Qt::BottomEdge;
    return edges;
}

void Tfrm_Ablak::MoveTo(int left, int top)
{
    const QRect wanted(QPoint(left, top), m_geometry.size());
    const QPoint place = SnapToWorkArea(wanted, NoteWorkArea(wanted));
    m_geometry.moveTopLeft(place);
    move(place);
}

void Tfrm_Ablak::ResizeTo(const QRect& geometry)
{
    m_geometry = geometry;
    setGeometry(geometry);
}

void Tfrm_Ablak::SetHeight(int height)
{
    m_geometry.setHeight(height);
    resize(m_geometry.width(), height);
}

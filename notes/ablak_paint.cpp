// Colours, fonts, layout, the sizing border and the transparency settings.
#include "notes/ablak.h"

#include "seged/colors.h"

#include <QApplication>
#include <QBitmap>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QToolBar>

namespace {
constexpr int CoolBarHeight = 29;
}

void Tfrm_Ablak::ApplyColors()
{
    const QColor background = ColorToQColor(m_color);
    const QColor text = ColorToQColor(m_font.Color);

    QPalette window = palette();
    window.setColor(QPalette::Window, background);
    setPalette(window);

    QPalette panel = Panel1->palette();
    panel.setColor(QPalette::Window, background);
    Panel1->setPalette(panel);

    QPalette label = Label1->palette();
    label.setColor(QPalette::Window, background);
    label.setColor(QPalette::WindowText, text);
    Label1->setPalette(label);

    if (Memo1) {
        QPalette memo = Memo1->palette();
        memo.setColor(QPalette::Window, background);
        memo.setColor(QPalette::Base, background);
        memo.setColor(QPalette::Text, text);
        Memo1->setPalette(memo);
    }
    ScheduleMask();
}

void Tfrm_Ablak::ApplyFont()
{
    QFont font = m_shownFont;
    // Antialiased edges would not be the key colour and would stay drawn
    // around letters meant to be holes.
    if (m_colorKeying && m_keyColor == ColorToQColor(m_font.Color))
        font.setStyleStrategy(QFont::NoAntialias);
    Label1->setFont(font);
    if (Memo1)
        Memo1->setFont(font);
    ScheduleMask();
}

void Tfrm_Ablak::ApplyAlphaBlend(bool on, int value)
{
    m_alphaBlend = on;
    m_alphaValue = value & 0xFF;
    setWindowOpacity(on ? m_alphaValue / 255.0 : 1.0);
    // Qt sends the new opacity to the X server only with the next repaint.
    update();
}

void Tfrm_Ablak::SetColorKeying(bool on)
{
    m_colorKeying = on;
    ApplyFont();
    if (on)
        ScheduleMask();
    else
        clearMask();
}

void Tfrm_Ablak::ScheduleMask()
{
    if (!m_colorKeying || m_maskPending || m_grabbing)
        return;
    m_maskPending = true;
    QMetaObject::invokeMethod(this, &Tfrm_Ablak::RebuildMask, Qt::QueuedConnection);
}

void Tfrm_Ablak::RebuildMask()
{
    m_maskPending = false;
    if (!m_colorKeying) {
        clearMask();
        return;
    }
    // Logical pixels: the mask is in the window's own coordinates whatever
    // the screen's scale.
    QImage image(size(), QImage::Format_RGB32);
    image.fill(ColorToQColor(m_color));
    m_grabbing = true;
    render(&image, QPoint(), QRegion(), DrawWindowBackground | DrawChildren);
    m_grabbing = false;
    // The bitmap's region is its unset pixels: mark the key-coloured ones.
    QRegion shown(QBitmap::fromImage(image.createMaskFromColor(m_keyColor.rgb(), Qt::MaskInColor)));
    // An empty region would mean "no mask": keep everything hidden instead.
    if (shown.isEmpty())
        shown = QRegion(-1, -1, 1, 1);
    setMask(shown);
}

void Tfrm_Ablak::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    if (m_frame) {
        QPainter painter(this);
        const QPalette standard = QApplication::palette();
        const QRect outer = rect();
        const QRect inner = outer.adjusted(SizingFrameWidth, SizingFrameWidth, -SizingFrameWidth,
                                           -SizingFrameWidth);
        painter.setClipRegion(QRegion(outer).subtracted(inner));
        painter.fillRect(outer, standard.color(QPalette::Button));
        painter.setPen(standard.color(QPalette::Light));
        painter.drawRect(outer.adjusted(1, 1, -2, -2));
        painter.setPen(standard.color(QPalette::Shadow));
        painter.drawRect(outer.adjusted(0, 0, -1, -1));
        painter.setPen(standard.color(QPalette::Mid));
        painter.drawRect(inner.adjusted(-1, -1, 0, 0));
    }
    if (!m_grabbing)
        ScheduleMask();
}

void Tfrm_Ablak::LayoutParts()
{
    const int border = m_frame ? SizingFrameWidth : 0;
    int top = border;
    const int inner = std::max(0, width() - 2 * border);
    if (CoolBar1 && !CoolBar1->isHidden()) {
        CoolBar1->setGeometry(border, top, inner, CoolBarHeight);
        top += CoolBarHeight;
    }
    Panel1->setGeometry(border, top, inner, std::max(0, height() - top - border));
    Label1->setGeometry(Panel1->rect());
    if (Memo1)
        Memo1->setGeometry(Panel1->rect());
    Image1->move(width() - 17, 1);
}

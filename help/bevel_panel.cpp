#include "help/bevel_panel.h"

#include <QPainter>
#include <QStyle>
#include <qdrawutil.h>

TBevelPanel::TBevelPanel(QWidget* parent) : QWidget(parent)
{
    setAutoFillBackground(true);
}

void TBevelPanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QPalette& colours = palette();
    qDrawShadePanel(&painter, rect(), colours, true, 1);
    qDrawShadePanel(&painter, rect().adjusted(1, 1, -1, -1), colours, false, 1);
}

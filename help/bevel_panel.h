#pragma once

#include <QWidget>

// A panel framed by a lowered outer and a raised inner bevel, one pixel each.
class TBevelPanel : public QWidget {
    Q_OBJECT

public:
    explicit TBevelPanel(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

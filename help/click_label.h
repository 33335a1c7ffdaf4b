#pragma once

#include <QLabel>

// A label that answers a click, as a contents entry or a link does: it shows
// a hand cursor and emits clicked() when the left button is released over it.
// Its text stays plain text; nothing in it is ever opened by itself.
class TClickLabel : public QLabel {
    Q_OBJECT

public:
    explicit TClickLabel(QWidget* parent = nullptr);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool m_pressed = false;
};

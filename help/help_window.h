#pragma once

#include <QPointer>
#include <QWidget>

class QLabel;
class QScrollArea;
class TClickLabel;

// "Súgó": one long page of help text in a cream scroll box, with a table of
// contents whose entries scroll to their sections and two links that open
// the maker's mail address and second web site with the desktop's opener.
// Any number may be open; each frees itself when closed.
class Tfrm_Help : public QWidget {
    Q_OBJECT

public:
    explicit Tfrm_Help(QWidget* parent = nullptr);

    QScrollArea* ScrollBox1 = nullptr;

    // The contents entries and the links.
    TClickLabel* Label26 = nullptr;
    TClickLabel* Label4 = nullptr;
    TClickLabel* Label5 = nullptr;
    TClickLabel* Label6 = nullptr;
    TClickLabel* Label7 = nullptr;
    TClickLabel* Label36 = nullptr;
    TClickLabel* Label38 = nullptr;

    // The page's vertical scroll position, in pixels.
    int ScrollPosition() const;

    void Label26Click();
    void Label4Click();
    void Label5Click();
    void Label6Click();
    void Label7Click();
    void Label36Click();
    void Label38Click();

private:
    QWidget* BuildPage();
    void ScrollTo(int position);
};

// The help window opened last, while it is open.
extern QPointer<Tfrm_Help> frm_Help;

// Opens one more help window, centred on the screen's work area, without
// waiting for it; it frees itself when closed.
Tfrm_Help* ShowHelp();

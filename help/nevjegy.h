#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class TBevelPanel;

// "Névjegy": the product name and version, a push-pin picture and the
// maker's contact block; "OK" (also Enter) or the close box closes it, and it
// frees itself when closed.
class Tfrm_Nevjegy : public QDialog {
    Q_OBJECT

public:
    explicit Tfrm_Nevjegy(QWidget* parent = nullptr);

    QLabel* Image1 = nullptr;
    TBevelPanel* Panel1 = nullptr;
    QLabel* ProductName = nullptr;
    QLabel* Label1 = nullptr;
    QPushButton* OKButton = nullptr;

private:
    void FormCreate();
};

// The about box's contact block: the contact person, the working hours, the
// mobile number, the web address and the e-mail address, one a line.
QString NevjegyContactText();

// Opens the about box, centred on the screen, modal for the whole program;
// returns at once, and the box frees itself when it closes.
Tfrm_Nevjegy* ShowNevjegy();

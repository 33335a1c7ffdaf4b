#include "app/no_tray_message.h"

#include <QMessageBox>

QString NoTrayMessageText()
{
    return QStringLiteral(
        "A Vikora ikonja nem jelenik meg, mert ezen az asztalon nincs értesítési terület "
        "(rendszertálca).\n\n"
        "GNOME alatt az AppIndicator bővítmény adja meg: telepítsd a "
        "gnome-shell-extension-appindicator csomagot, kapcsold be a Bővítmények "
        "alkalmazásban, majd jelentkezz ki és be. Más asztalon vegyél fel a panelre "
        "értesítési területet (rendszertálcát).\n\n"
        "Addig a tálcamenü parancsai a Vikora indítóikonjának jobb gombos menüjéből "
        "érhetők el, vagy parancssorból:\n"
        "  vikora --new-note      Új ablak készítés\n"
        "  vikora --settings      Beállítások\n"
        "  vikora --catalogue     További letölthető programok\n"
        "  vikora --help-window   Súgó\n"
        "  vikora --about         Névjegy\n"
        "  vikora --quit          Bezár\n"
        "A Vikora újbóli indítása előhozza a cetliket.\n\n"
        "Ha később megjelenik az értesítési terület, az ikon magától megjelenik benne.");
}

QMessageBox* ShowNoTrayMessage()
{
    auto* box = new QMessageBox(QMessageBox::Information, QStringLiteral("Vikora"),
                                NoTrayMessageText(), QMessageBox::Ok);
    box->setObjectName(QStringLiteral("NoTrayMessage"));
    box->setTextFormat(Qt::PlainText);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
    return box;
}

#include "help/nevjegy.h"

#include "assets/assets.h"
#include "desktop/maker_addresses.h"
#include "help/bevel_panel.h"
#include "help/maker_contact.h"
#include "help/window_place.h"

#include <QLabel>
#include <QPushButton>

namespace {

const QColor PaleGreen(192, 220, 192);

QLabel* PlainLabel(QWidget* parent, const QString& name)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    return label;
}

}  // namespace

QString NevjegyContactText()
{
    return QString::fromUtf8(MakerContactPerson) + QLatin1Char('\n') +
           QStringLiteral("*** Munkaidőben (H-P: 08-17h) ***") + QLatin1Char('\n') +
           QString::fromUtf8(MakerMobilePhone) + QLatin1Char('\n') + QLatin1String(MakerHomePage) +
           QLatin1Char('\n') + QLatin1String(MakerEmail);
}

Tfrm_Nevjegy::Tfrm_Nevjegy(QWidget* parent) : QDialog(parent, Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("frm_Nevjegy"));
    setWindowTitle(QStringLiteral("Névjegy"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(592, 308);
    QFont dialogFont(QStringLiteral("Tahoma"));
    dialogFont.setPointSize(8);
    setFont(dialogFont);

    Image1 = PlainLabel(this, QStringLiteral("Image1"));
    Image1->setGeometry(0, 0, 256, 256);
    Image1->setPixmap(RenderPicture(QStringLiteral(":/pictures/pushpin.svg"), QSize(256, 256),
                                    devicePixelRatioF()));

    Panel1 = new TBevelPanel(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(272, 4, 305, 253);

    ProductName = PlainLabel(Panel1, QStringLiteral("ProductName"));
    ProductName->setGeometry(12, 12, 281, 37);
    QFont nameFont(QStringLiteral("Arial"));
    nameFont.setPixelSize(15);
    nameFont.setBold(true);
    ProductName->setFont(nameFont);
    ProductName->setAutoFillBackground(true);
    QPalette namePalette = ProductName->palette();
    namePalette.setColor(QPalette::Window, PaleGreen);
    ProductName->setPalette(namePalette);

    Label1 = PlainLabel(Panel1, QStringLiteral("Label1"));
    Label1->setGeometry(8, 160, 285, 81);
    Label1->setText(NevjegyContactText());

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(495, 268, 75, 25);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

    FormCreate();
}

void Tfrm_Nevjegy::FormCreate()
{
    ProductName->setText(QStringLiteral("Vi-Kora\nV4.0.0.152"));
}

Tfrm_Nevjegy* ShowNevjegy()
{
    auto* box = new Tfrm_Nevjegy;
    box->setWindowModality(Qt::ApplicationModal);
    CentreInArea(*box, PrimaryWorkArea(), false);
    box->show();
    box->OKButton->setFocus();
    return box;
}

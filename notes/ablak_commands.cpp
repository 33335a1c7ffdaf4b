// The note's commands: actions with their shortcuts, the two context menus
// and the toolbar.
#include "notes/ablak.h"

#include "assets/note_pictures.h"
#include "seged/make_action.h"

#include <QAction>
#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenu>
#include <QToolBar>

void Tfrm_Ablak::CreateActions()
{
    const auto key = [](QKeyCombination combination) { return QKeySequence(combination); };
    aSzerkeszt = MakeAction(this, "aSzerkeszt", QStringLiteral("Szerkeszt"), {key(Qt::Key_F2)},
                            &Tfrm_Ablak::aSzerkesztExecute);
    aElment = MakeAction(this, "aElment", QStringLiteral("Elment"),
                         {key(Qt::CTRL | Qt::Key_Return), key(Qt::CTRL | Qt::Key_Enter)},
                         &Tfrm_Ablak::aElmentExecute);
    aMegsem = MakeAction(this, "aMegsem", QStringLiteral("Mégsem"), {key(Qt::Key_Escape)},
                         &Tfrm_Ablak::aMegsemExecute);
    aKivag = MakeAction(this, "aKivag", QStringLiteral("Kivág"), {key(Qt::CTRL | Qt::Key_X)},
                        &Tfrm_Ablak::aKivagExecute);
    aMasol = MakeAction(this, "aMasol", QStringLiteral("Másol"), {key(Qt::CTRL | Qt::Key_C)},
                        &Tfrm_Ablak::aMasolExecute);
    aBeilleszt = MakeAction(this, "aBeilleszt", QStringLiteral("Beilleszt"),
                            {key(Qt::CTRL | Qt::Key_V)}, &Tfrm_Ablak::aBeillesztExecute);
    aMindetKijelol = MakeAction(this, "aMindetKijelol", QStringLiteral("Mindet kijelöl"),
                                {key(Qt::CTRL | Qt::Key_A)}, &Tfrm_Ablak::aMindetKijelolExecute);
    aBezar = MakeAction(this, "aBezar", QStringLiteral("Bezár"), {key(Qt::Key_F10)},
                        &Tfrm_Ablak::aBezarExecute);
    aTorol = MakeAction(this, "aTorol", QStringLiteral("Töröl"), {key(Qt::CTRL | Qt::Key_Delete)},
                        &Tfrm_Ablak::aTorolExecute);
    aBetutipus = MakeAction(this, "aBetutipus", QStringLiteral("Betűtípus"), {key(Qt::Key_F4)},
                            &Tfrm_Ablak::aBetutipusExecute);
    aHatterszin = MakeAction(this, "aHatterszin", QStringLiteral("Háttérszín"), {key(Qt::Key_F5)},
                             &Tfrm_Ablak::aHatterszinExecute);
    aBalra = MakeAction(this, "aBalra", QStringLiteral("Balra igazít"), {key(Qt::CTRL | Qt::Key_B)},
                        &Tfrm_Ablak::aBalraExecute);
    aKozepre = MakeAction(this, "aKozepre", QStringLiteral("Középre igazít"),
                          {key(Qt::CTRL | Qt::Key_K)}, &Tfrm_Ablak::aKozepreExecute);
    aJobbra = MakeAction(this, "aJobbra", QStringLiteral("Jobbra igazít"),
                         {key(Qt::CTRL | Qt::Key_J)}, &Tfrm_Ablak::aJobbraExecute);
    aAtmeretez = MakeAction(this, "aAtmeretez", QStringLiteral("Átméretez"), {key(Qt::Key_F6)},
                            &Tfrm_Ablak::aAtmeretezExecute);
    // The check mark flips on every run, from whatever source.
    aAtmeretez->setCheckable(true);
    aFontos = MakeAction(this, "aFontos", QStringLiteral("Fontos..."), {key(Qt::CTRL | Qt::Key_F)},
                         &Tfrm_Ablak::aFontosExecute);
    aDatumtol = MakeAction(this, "aDatumtol", QStringLiteral("Dátumtól..."),
                           {key(Qt::CTRL | Qt::Key_D)}, &Tfrm_Ablak::aDatumtolExecute);
    aTulajdonsag = MakeAction(this, "aTulajdonsag", QStringLiteral("Tulajdonságok"),
                              {key(Qt::ALT | Qt::Key_Return), key(Qt::ALT | Qt::Key_Enter)},
                              &Tfrm_Ablak::aTulajdonsagExecute);
    aSugo = MakeAction(this, "aSugo", QStringLiteral("Súgó"), {key(Qt::Key_F1)},
                       &Tfrm_Ablak::aSugoExecute);
}

bool Tfrm_Ablak::IsOwnShortcut(const QKeyEvent* event) const
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const QKeySequence pressed(QKeyCombination(modifiers, Qt::Key(event->key())));
    for (const QAction* action : actions())
        for (const QKeySequence& shortcut : action->shortcuts())
            if (shortcut == pressed)
                return true;
    return false;
}

namespace {
void WithIcon(QAction* action, const char* picture)
{
    if (action->icon().isNull())
        action->setIcon(CommandIcon(QLatin1String(picture)));
}
}  // namespace

QMenu* Tfrm_Ablak::EnsurePopupMenu1()
{
    if (PopupMenu1)
        return PopupMenu1;
    WithIcon(aSzerkeszt, "szerkeszt");
    WithIcon(aTorol, "torol");
    WithIcon(aFontos, "fontos");
    WithIcon(aDatumtol, "datumtol");
    WithIcon(aBetutipus, "betutipus");
    WithIcon(aHatterszin, "hatterszin");
    WithIcon(aAtmeretez, "atmeretez");
    WithIcon(aBalra, "balra");
    WithIcon(aKozepre, "kozepre");
    WithIcon(aJobbra, "jobbra");
    WithIcon(aTulajdonsag, "tulajdonsag");
    WithIcon(aSugo, "sugo");
    WithIcon(aBezar, "bezar");

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    if (m_hooks.NewNote)
        PopupMenu1->addAction(m_hooks.NewNote);
    PopupMenu1->addAction(aSzerkeszt);
    PopupMenu1->addAction(aTorol);
    PopupMenu1->addSeparator();
    PopupMenu1->addAction(aFontos);
    PopupMenu1->addAction(aDatumtol);
    PopupMenu1->addSeparator();
    PopupMenu1->addAction(aBetutipus);
    PopupMenu1->addAction(aHatterszin);
    PopupMenu1->addAction(aAtmeretez);
    PopupMenu1->addSeparator();
    QMenu* igazitas = PopupMenu1->addMenu(QStringLiteral("Igazítás"));
    igazitas->setObjectName(QStringLiteral("Igazitas"));
    igazitas->addAction(aBalra);
    igazitas->addAction(aKozepre);
    igazitas->addAction(aJobbra);
    PopupMenu1->addSeparator();
    PopupMenu1->addAction(aTulajdonsag);
    PopupMenu1->addSeparator();
    PopupMenu1->addAction(aSugo);
    PopupMenu1->addSeparator();
    PopupMenu1->addAction(aBezar);
    return PopupMenu1;
}

QMenu* Tfrm_Ablak::EnsurePopupMenu2()
{
    if (PopupMenu2)
        return PopupMenu2;
    WithIcon(aKivag, "kivag");
    WithIcon(aMasol, "masol");
    WithIcon(aBeilleszt, "beilleszt");
    WithIcon(aMindetKijelol, "mindetkijelol");
    WithIcon(aElment, "elment");
    WithIcon(aMegsem, "megsem");
    WithIcon(aSugo, "sugo");

    PopupMenu2 = new QMenu(this);
    PopupMenu2->setObjectName(QStringLiteral("PopupMenu2"));
    PopupMenu2->addAction(aKivag);
    PopupMenu2->addAction(aMasol);
    PopupMenu2->addAction(aBeilleszt);
    PopupMenu2->addAction(aMindetKijelol);
    PopupMenu2->addSeparator();
    PopupMenu2->addAction(aElment);
    PopupMenu2->addAction(aMegsem);
    PopupMenu2->addSeparator();
    PopupMenu2->addAction(aSugo);
    return PopupMenu2;
}

QToolBar* Tfrm_Ablak::EnsureToolBar()
{
    if (ToolBar1)
        return ToolBar1;
    WithIcon(aBalra, "balra");
    WithIcon(aKozepre, "kozepre");
    WithIcon(aJobbra, "jobbra");
    WithIcon(aBetutipus, "betutipus");
    WithIcon(aHatterszin, "hatterszin");
    WithIcon(aFontos, "fontos");
    WithIcon(aElment, "elment");
    WithIcon(aMegsem, "megsem");

    CoolBar1 = new QWidget(this);
    CoolBar1->setObjectName(QStringLiteral("CoolBar1"));
    // The band keeps the desktop's own colours, not the note's.
    QPalette standard;
    const QPalette application = QApplication::palette();
    for (auto role : {QPalette::Window, QPalette::WindowText, QPalette::Button,
                      QPalette::ButtonText, QPalette::Base, QPalette::Text})
        standard.setColor(role, application.color(role));
    CoolBar1->setPalette(standard);
    CoolBar1->setAutoFillBackground(true);
    auto* layout = new QHBoxLayout(CoolBar1);
    layout->setContentsMargins(2, 0, 2, 0);
    ToolBar1 = new QToolBar(CoolBar1);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->addAction(aBalra);
    ToolBar1->addAction(aKozepre);
    ToolBar1->addAction(aJobbra);
    ToolBar1->addSeparator();
    ToolBar1->addAction(aBetutipus);
    ToolBar1->addAction(aHatterszin);
    ToolBar1->addSeparator();
    ToolBar1->addAction(aFontos);
    ToolBar1->addSeparator();
    // Saving and cancelling have a bar of their own that never shrinks: on a
    // narrow note the formatting buttons go behind the bar's "»", these two
    // stay in sight.
    SaveBar = new QToolBar(CoolBar1);
    SaveBar->setObjectName(QStringLiteral("SaveBar"));
    SaveBar->addAction(aElment);
    SaveBar->addAction(aMegsem);
    SaveBar->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    for (QToolBar* bar : {ToolBar1, SaveBar}) {
        bar->setMovable(false);
        bar->setFloatable(false);
        bar->setIconSize(QSize(16, 16));
        bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
        layout->addWidget(bar);
    }
    layout->setSpacing(0);
    layout->addStretch();
    CoolBar1->hide();
    return ToolBar1;
}

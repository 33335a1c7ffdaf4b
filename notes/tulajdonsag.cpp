// The properties dialog's parts: menu bar, toolbar band, the two pages, the
// context menu of the text, and the command table with its shortcuts.
#include "notes/tulajdonsag.h"

#include "assets/note_pictures.h"
#include "notes/date_field.h"
#include "record/notes_table.h"
#include "seged/db_check_box.h"
#include "seged/db_memo.h"
#include "seged/make_action.h"

#include <QAction>
#include <QApplication>
#include <QDateEdit>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>

namespace {
// "Segoe UI" where it is installed, the desktop's own font otherwise.
QFont DialogFont()
{
    QFont font(QStringLiteral("Segoe UI"), 8);
    font.setFamilies({QStringLiteral("Segoe UI"),
                      QFontDatabase::systemFont(QFontDatabase::GeneralFont).family()});
    return font;
}
}  // namespace

Tfrm_Tulajdonsag::Tfrm_Tulajdonsag(TDataSource& DataSource1, QWidget* parent)
    : QDialog(parent), m_source(DataSource1)
{
    setObjectName(QStringLiteral("frm_Tulajdonsag"));
    setWindowTitle(QStringLiteral("Címke tulajdonságai"));
    setSizeGripEnabled(true);
    setFont(DialogFont());
    resize(488, 383);

    CreateActions();
    CreatePages();
    CreateMenus();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(MainMenu1);
    layout->addWidget(CoolBar1);
    layout->addWidget(PageControl1, 1);
}

Tfrm_Tulajdonsag::~Tfrm_Tulajdonsag() = default;

namespace {
// The dialog's commands carry the menu they belong to.
template <typename THandler>
QAction* MakeDialogAction(Tfrm_Tulajdonsag* dialog, const char* name, const QString& caption,
                          const char* category, const QList<QKeySequence>& shortcuts,
                          THandler handler)
{
    QAction* action = MakeAction(dialog, name, caption, shortcuts, handler);
    action->setProperty("category", QString::fromUtf8(category));
    return action;
}
}  // namespace

void Tfrm_Tulajdonsag::CreateActions()
{
    const auto key = [](QKeyCombination combination) { return QKeySequence(combination); };
    const char* format = "Formátum";
    const char* edit = "Szerkesztés";
    aBetutipus = MakeDialogAction(this, "aBetutipus", QStringLiteral("Betűtípus"), format,
                                  {key(Qt::Key_F4)}, &Tfrm_Tulajdonsag::aBetutipusExecute);
    aHatterszin = MakeDialogAction(this, "aHatterszin", QStringLiteral("Háttérszín"), format,
                                   {key(Qt::Key_F5)}, &Tfrm_Tulajdonsag::aHatterszinExecute);
    aBalra = MakeDialogAction(this, "aBalra", QStringLiteral("Balra igazít"), format,
                              {key(Qt::CTRL | Qt::Key_B)}, &Tfrm_Tulajdonsag::aBalraExecute);
    aKozepre = MakeDialogAction(this, "aKozepre", QStringLiteral("Középre igazít"), format,
                                {key(Qt::CTRL | Qt::Key_K)}, &Tfrm_Tulajdonsag::aKozepreExecute);
    aJobbra = MakeDialogAction(this, "aJobbra", QStringLiteral("Jobbra igazít"), format,
                               {key(Qt::CTRL | Qt::Key_J)}, &Tfrm_Tulajdonsag::aJobbraExecute);
    aKivag = MakeDialogAction(this, "aKivag", QStringLiteral("Kivág"), edit,
                              {key(Qt::CTRL | Qt::Key_X)}, &Tfrm_Tulajdonsag::aKivagExecute);
    aMasol = MakeDialogAction(this, "aMasol", QStringLiteral("Másol"), edit,
                              {key(Qt::CTRL | Qt::Key_C)}, &Tfrm_Tulajdonsag::aMasolExecute);
    aBeilleszt =
        MakeDialogAction(this, "aBeilleszt", QStringLiteral("Beilleszt"), edit,
                         {key(Qt::CTRL | Qt::Key_V)}, &Tfrm_Tulajdonsag::aBeillesztExecute);
    aMindetJelol =
        MakeDialogAction(this, "aMindetJelol", QStringLiteral("Mindet kijelöl"), edit,
                         {key(Qt::CTRL | Qt::Key_A)}, &Tfrm_Tulajdonsag::aMindetJelolExecute);
    aElment = MakeDialogAction(this, "aElment", QStringLiteral("Elment"), format,
                               {key(Qt::CTRL | Qt::Key_Return), key(Qt::CTRL | Qt::Key_Enter)},
                               &Tfrm_Tulajdonsag::aElmentExecute);
    aMegsem = MakeDialogAction(this, "aMegsem", QStringLiteral("Mégsem"), format,
                               {key(Qt::Key_Escape)}, &Tfrm_Tulajdonsag::aMegsemExecute);
    aSugo = MakeDialogAction(this, "aSugo", QStringLiteral("Súgó"), "Súgó", {key(Qt::Key_F1)},
                             &Tfrm_Tulajdonsag::aSugoExecute);

    const struct {
        QAction* action;
        const char* picture;
    } pictures[] = {
        {aBetutipus, "betutipus"}, {aHatterszin, "hatterszin"}, {aBalra, "balra"},
        {aKozepre, "kozepre"},     {aJobbra, "jobbra"},         {aKivag, "kivag"},
        {aMasol, "masol"},         {aBeilleszt, "beilleszt"},   {aMindetJelol, "mindetkijelol"},
        {aElment, "elment"},       {aMegsem, "megsem"},         {aSugo, "sugo"}};
    for (const auto& entry : pictures)
        entry.action->setIcon(CommandIcon(QLatin1String(entry.picture)));
}

void Tfrm_Tulajdonsag::CreateMenus()
{
    MainMenu1 = new QMenuBar(this);
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    QMenu* format = MainMenu1->addMenu(QStringLiteral("Formátum"));
    format->setObjectName(QStringLiteral("Formatum"));
    format->addActions({aBetutipus, aHatterszin});
    format->addSeparator();
    format->addActions({aBalra, aKozepre, aJobbra});
    format->addSeparator();
    format->addActions({aElment, aMegsem});
    QMenu* edit = MainMenu1->addMenu(QStringLiteral("Szerkesztés"));
    edit->setObjectName(QStringLiteral("Szerkesztes"));
    edit->addActions({aKivag, aMasol, aBeilleszt});
    edit->addSeparator();
    edit->addAction(aMindetJelol);
    QMenu* help = MainMenu1->addMenu(QStringLiteral("Súgó"));
    help->setObjectName(QStringLiteral("Sugo"));
    help->addAction(aSugo);

    CoolBar1 = new QWidget(this);
    CoolBar1->setObjectName(QStringLiteral("CoolBar1"));
    CoolBar1->setFixedHeight(29);
    auto* band = new QHBoxLayout(CoolBar1);
    band->setContentsMargins(2, 0, 2, 0);
    ToolBar1 = new QToolBar(CoolBar1);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setIconSize(QSize(16, 16));
    ToolBar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
    ToolBar1->addActions({aBetutipus, aHatterszin});
    ToolBar1->addSeparator();
    ToolBar1->addActions({aBalra, aKozepre, aJobbra});
    ToolBar1->addSeparator();
    ToolBar1->addActions({aElment, aMegsem});
    band->addWidget(ToolBar1);
    band->addStretch();

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    PopupMenu1->addActions({aBetutipus, aHatterszin});
    PopupMenu1->addSeparator();
    PopupMenu1->addActions({aKivag, aMasol, aBeilleszt, aMindetJelol});
    PopupMenu1->addSeparator();
    PopupMenu1->addActions({aBalra, aKozepre, aJobbra});
    PopupMenu1->addSeparator();
    PopupMenu1->addActions({aElment, aMegsem});
    DBMemo1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(DBMemo1, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        PopupMenu1->popup(DBMemo1->viewport()->mapToGlobal(pos));
    });
}

void Tfrm_Tulajdonsag::CreatePages()
{
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    // Tabs light up under the mouse.
    PageControl1->tabBar()->setAttribute(Qt::WA_Hover);

    TabSheet1 = new QWidget;
    TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
    DBMemo1 = new TDBMemo(TabSheet1);
    DBMemo1->setObjectName(QStringLiteral("DBMemo1"));
    DBMemo1->SetDataField(QString::fromLatin1(NoteField::szoveg));
    DBMemo1->SetDataSource(&m_source);
    DBMemo1->installEventFilter(this);
    auto* page = new QVBoxLayout(TabSheet1);
    page->setContentsMargins(0, 0, 0, 0);
    page->addWidget(DBMemo1);
    PageControl1->addTab(TabSheet1, QStringLiteral("Címke"));

    TabSheet2 = new QWidget;
    TabSheet2->setObjectName(QStringLiteral("TabSheet2"));
    Label1 = new QLabel(QStringLiteral("Dátumtól látható"), TabSheet2);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(8, 16);
    DateTimePicker1 = new QDateEdit(TabSheet2);
    DateTimePicker1->setObjectName(QStringLiteral("DateTimePicker1"));
    DateTimePicker1->setCalendarPopup(true);
    DateTimePicker1->setGeometry(8, 32, 157, 21);
    MakeDatePicker(DateTimePicker1);
    DBCheckBox1 = new TDBCheckBox(QStringLiteral("Fontos?"), TabSheet2);
    DBCheckBox1->setObjectName(QStringLiteral("DBCheckBox1"));
    DBCheckBox1->move(8, 64);
    DBCheckBox1->SetDataField(QString::fromLatin1(NoteField::latszik));
    DBCheckBox1->SetDataSource(&m_source);
    PageControl1->addTab(TabSheet2, QStringLiteral("Dátum, fontos"));

    PageControl1->setCurrentWidget(TabSheet1);
}

bool Tfrm_Tulajdonsag::IsOwnShortcut(const QKeyEvent* event) const
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const QKeySequence pressed(QKeyCombination(modifiers, Qt::Key(event->key())));
    for (const QAction* action : actions())
        for (const QKeySequence& shortcut : action->shortcuts())
            if (shortcut == pressed)
                return true;
    return false;
}

bool Tfrm_Tulajdonsag::eventFilter(QObject* watched, QEvent* event)
{
    // The text field would keep keys such as Ctrl+K for itself; the
    // dialog's shortcuts act while typing too.
    if (watched == DBMemo1 && event->type() == QEvent::ShortcutOverride &&
        IsOwnShortcut(static_cast<QKeyEvent*>(event))) {
        event->ignore();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void Tfrm_Tulajdonsag::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Centred on the desktop every time it opens.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    DBMemo1->setFocus();
}

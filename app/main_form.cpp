#include "app/main_form.h"

#include "app/notes_table.h"
#include "app/seged/beall.h"
#include "app/seged/error_report.h"
#include "app/seged/globals.h"
#include "app/seged/locale_collation.h"
#include "app/seged/make_action.h"
#include "app/seged/reported.h"
#include "assets/assets.h"
#include "desktop/maker_addresses.h"
#include "desktop/starter.h"
#include "desktop/window_state.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTimer>

Tfrm_Main* frm_Main = nullptr;

namespace {
const QString TrayHint =
    QStringLiteral("VIKORA:\r\nKattints ide jobb gombbal a program beállításaihoz");
}  // namespace

Tfrm_Main::Tfrm_Main(QWidget* parent) : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frm_Main"));
    setWindowTitle(QStringLiteral("Vikora"));
    setFixedSize(500, 375);
    setAutoFillBackground(true);
    QPalette background = palette();
    background.setColor(QPalette::Window, background.color(QPalette::Button));
    setPalette(background);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(0, 0, 499, 373);
    Image1->setPixmap(SplashPicture(QSize(499, 373), devicePixelRatioF()));

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(2000);
    // Reading the notes at start can fail; the timer reports it.
    connect(Timer1, &QTimer::timeout, this, [this] { RunReported([this] { Timer1Timer(); }); });
    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(21);
    connect(Timer2, &QTimer::timeout, this, &Tfrm_Main::Timer2Timer);

    BuildMenu();
    Tray = new QSystemTrayIcon(PushPinIcon(), this);
    Tray->setObjectName(QStringLiteral("Tray"));
    Tray->setContextMenu(PopupMenu1);

    Exe = new TStarter(this);
    Exe->setObjectName(QStringLiteral("Exe"));

    DefineNoteFields(Tbl);
    Tbl.DefaultFormat = &qorCSVStreamFormat1;
    Tbl.SetTextCompare(MakeCollatorTextCompare());
    m_store = std::make_unique<TNoteStore>(
        Tbl, DataFolder + QStringLiteral("/Vikora.csv"),
        [this](bool isNew, int az, int left, int top, int width, int height, std::int32_t color,
               const TFontSpec& font, const QString& text, int alignment, bool latszik,
               TDateTime tol) {
            if (m_opener)
                m_opener(isNew, az, left, top, width, height, color, font, text, alignment, latszik,
                         tol);
        },
        this);

    frm_Main = this;
    FormCreate();
    Timer1->start();
}

Tfrm_Main::~Tfrm_Main()
{
    if (frm_Main == this)
        frm_Main = nullptr;
}

void Tfrm_Main::SetNoteWindowOpener(TOpenNoteWindow opener)
{
    m_opener = std::move(opener);
}

void Tfrm_Main::BuildMenu()
{
    aUj = MakeAction(this, "aUj", QStringLiteral("Új ablak készítés"), {}, &Tfrm_Main::aUjExecute);
    aBeallit = MakeAction(this, "aBeallit", QStringLiteral("Beállítások"), {},
                          &Tfrm_Main::aBeallitExecute);
    aSugo = MakeAction(this, "aSugo", QStringLiteral("Súgó"), {}, &Tfrm_Main::aSugoExecute);
    aHonlap = MakeAction(this, "aHonlap", QStringLiteral("Zamolin honlapja"), {},
                         &Tfrm_Main::aHonlapExecute);
    aLevel = MakeAction(this, "aLevel", QStringLiteral("Levélküldés Zamolinnak"), {},
                        &Tfrm_Main::aLevelExecute);
    aProgramok = MakeAction(this, "aProgramok", QStringLiteral("További letölthető programok"), {},
                            &Tfrm_Main::aProgramokExecute);
    aNevjegy =
        MakeAction(this, "aNevjegy", QStringLiteral("Névjegy"), {}, &Tfrm_Main::aNevjegyExecute);
    aBezar = MakeAction(this, "aBezar", QStringLiteral("Bezár"), {}, &Tfrm_Main::aBezarExecute);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    PopupMenu1->addAction(aUj);
    PopupMenu1->addAction(aBeallit);
    PopupMenu1->addSeparator();
    PopupMenu1->addAction(aSugo);
    PopupMenu1->addAction(aHonlap);
    PopupMenu1->addAction(aLevel);
    PopupMenu1->addAction(aProgramok);
    PopupMenu1->addAction(aNevjegy);
    PopupMenu1->addSeparator();
    PopupMenu1->addAction(aBezar);
}

void Tfrm_Main::FormCreate()
{
    CatalogueOpen = false;
    Beall.Font = TFontSpec{};
    LoadDefaults(Beall, SettingsFile);
    Tray->setToolTip(TrayHint);
    Beall.DialogFontSize = 10;
}

void Tfrm_Main::Timer1Timer()
{
    Tray->show();
    Timer1->stop();
    m_store->LoadNotes();
    Timer2->start();
}

void Tfrm_Main::Timer2Timer()
{
    m_alpha = (m_alpha - 10) & 0xFF;
    setWindowOpacity(m_alpha / 255.0);
    if (m_alpha <= 33) {
        hide();
        m_alpha = 255;
        setWindowOpacity(1.0);
        // Nothing shows the splash again, so the timer has no more work.
        Timer2->stop();
    }
}

void Tfrm_Main::LaunchAddress(const QString& address)
{
    Exe->SetCommand(address);
    Exe->Execute();
}

void Tfrm_Main::aUjExecute()
{
    m_store->aUjExecute();
}

void Tfrm_Main::aBeallitExecute()
{
    if (OnBeallit)
        OnBeallit();
}

void Tfrm_Main::aSugoExecute()
{
    if (OnSugo)
        OnSugo();
}

void Tfrm_Main::aHonlapExecute()
{
    LaunchAddress(QLatin1String(MakerHomePage));
}

void Tfrm_Main::aLevelExecute()
{
    LaunchAddress(QStringLiteral("mailto:") + QLatin1String(MakerEmail) +
                  QStringLiteral("?subject=Vikora"));
}

void Tfrm_Main::aProgramokExecute()
{
    if (OnProgramok)
        OnProgramok();
}

void Tfrm_Main::aNevjegyExecute()
{
    if (OnNevjegy)
        OnNevjegy();
}

void Tfrm_Main::aBezarExecute()
{
    close();
}

bool Tfrm_Main::RunExitSequence()
{
    bool settingsWritten = true;
    try {
        SaveDefaults(Beall, SettingsFile);
    } catch (const std::exception& e) {
        ShowErrorReport(QString::fromUtf8(e.what()), nullptr);
        settingsWritten = false;
    }
    // The notes are written even when the settings could not be: the session
    // may end the program right after this attempt. One report is enough when
    // both fail; the user retries the exit after mending the first.
    try {
        m_store->WriteTableFile();
    } catch (const std::exception& e) {
        if (settingsWritten)
            ShowErrorReport(QString::fromUtf8(e.what()), nullptr);
        return false;
    }
    if (!settingsWritten)
        return false;
    Tbl.Close();
    m_exitDone = true;
    return true;
}

void Tfrm_Main::closeEvent(QCloseEvent* event)
{
    if (!m_exitDone && !RunExitSequence()) {
        event->ignore();
        return;
    }
    event->accept();
    QCoreApplication::quit();
}

void Tfrm_Main::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    KeepOffTaskbar(windowHandle());
    QTimer::singleShot(0, this, [this] { KeepOffTaskbar(windowHandle()); });
}

void Tfrm_Main::BringNotesForward()
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window == this || !window->isVisible())
            continue;
        if (window->isMinimized())
            window->showNormal();
        window->raise();
        window->activateWindow();
    }
}

#include "app/main_form.h"

#include "app/edits_at_exit.h"
#include "app/no_tray_message.h"
#include "app/tray_watch.h"
#include "assets/assets.h"
#include "desktop/maker_addresses.h"
#include "desktop/open_address.h"
#include "desktop/window_state.h"
#include "record/notes_table.h"
#include "seged/beall.h"
#include "seged/error_report.h"
#include "seged/globals.h"
#include "seged/locale_collation.h"
#include "seged/make_action.h"
#include "seged/reported.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTimer>

#include <cstdio>
#include <utility>

Tfrm_Main* frm_Main = nullptr;

namespace {
const QString TrayHint =
    QStringLiteral("VIKORA:\r\nKattints ide jobb gombbal a program beállításaihoz");

// A panel may start a little after the program; only a tray still missing
// after this is reported.
constexpr int TrayGraceMs = 5000;
constexpr int TrayPollMs = 2000;

void BringWindowForward(QWidget* window)
{
    if (window->isMinimized())
        window->showNormal();
    window->show();
    window->raise();
    window->activateWindow();
}
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
    // Only the picture shows, on any desktop: without a compositor the
    // window's background would fill its rounded corners and the strip
    // beside it.
    setMask(SplashShape(Image1->size()));

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
    // Where the tray's left click is the main gesture, it brings the notes
    // forward.
    connect(Tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason why) {
        if (why == QSystemTrayIcon::Trigger)
            RunCommand(TInstanceCommand::ComeForward);
    });
    TrayWatch = new TTrayWatch([] { return QSystemTrayIcon::isSystemTrayAvailable(); }, this);
    TrayWatch->setObjectName(QStringLiteral("TrayWatch"));
    connect(TrayWatch, &TTrayWatch::trayMissing, this, [this] {
        if (m_noTrayTold)
            return;
        m_noTrayTold = true;
        m_noTrayMessage = ShowNoTrayMessage();
    });
    // Shown again, the icon goes into a tray that came after it.
    connect(TrayWatch, &TTrayWatch::trayAppeared, this, [this] {
        Tray->hide();
        Tray->show();
        if (m_noTrayMessage)
            m_noTrayMessage->close();
    });

    DefineNoteFields(Tbl);
    Tbl.DefaultFormat = &qorCSVStreamFormat1;
    Tbl.SetTextCompare(MakeCollatorTextCompare());
    m_store = std::make_unique<TNoteStore>(
        Tbl, DataFolder + QStringLiteral("/Vikora.csv"),
        [this](const TNote& note, bool isNew) {
            if (m_opener)
                m_opener(note, isNew);
        },
        this);

    frm_Main = this;
    FormCreate();
    Timer1->start();
}

Tfrm_Main::~Tfrm_Main()
{
    // It has no parent, so that it shows while the main form is hidden.
    delete m_noTrayMessage;
    if (frm_Main == this)
        frm_Main = nullptr;
}

void Tfrm_Main::SetNoteWindowOpener(TOpenNoteWindow opener)
{
    m_opener = std::move(opener);
}

std::function<void()> Tfrm_Main::UnlessBlocked(TInstanceCommand command,
                                               void (Tfrm_Main::*handler)())
{
    // A tray that draws its own menu (StatusNotifier) keeps it working while
    // a modal dialog is open; the dialog then comes forward instead.
    return [this, command, handler] {
        if (QWidget* dialog = BlockingDialog(command)) {
            BringWindowForward(dialog);
            return;
        }
        (this->*handler)();
    };
}

void Tfrm_Main::BuildMenu()
{
    using enum TInstanceCommand;
    aUj = MakeAction(this, "aUj", QStringLiteral("Új ablak készítés"), {},
                     UnlessBlocked(NewNote, &Tfrm_Main::aUjExecute));
    aBeallit = MakeAction(this, "aBeallit", QStringLiteral("Beállítások"), {},
                          UnlessBlocked(Settings, &Tfrm_Main::aBeallitExecute));
    aSugo = MakeAction(this, "aSugo", QStringLiteral("Súgó"), {},
                       UnlessBlocked(Help, &Tfrm_Main::aSugoExecute));
    aHonlap = MakeAction(this, "aHonlap", QStringLiteral("Zamolin honlapja"), {},
                         &Tfrm_Main::aHonlapExecute);
    aLevel = MakeAction(this, "aLevel", QStringLiteral("Levélküldés Zamolinnak"), {},
                        &Tfrm_Main::aLevelExecute);
    aProgramok = MakeAction(this, "aProgramok", QStringLiteral("További letölthető programok"), {},
                            UnlessBlocked(Catalogue, &Tfrm_Main::aProgramokExecute));
    aNevjegy = MakeAction(this, "aNevjegy", QStringLiteral("Névjegy"), {},
                          UnlessBlocked(About, &Tfrm_Main::aNevjegyExecute));
    aBezar = MakeAction(this, "aBezar", QStringLiteral("Bezár"), {},
                        UnlessBlocked(Quit, &Tfrm_Main::aBezarExecute));

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
    TrayWatch->Start(TrayGraceMs, TrayPollMs);
    m_store->TellAboutRescueCopies();
    m_store->LoadNotes();
    Timer2->start();
    m_started = true;
    QTimer::singleShot(0, this, &Tfrm_Main::RunPendingCommands);
}

void Tfrm_Main::SetStartCommand(TInstanceCommand command)
{
    if (command != TInstanceCommand::ComeForward)
        m_pendingCommands.push_back(command);
}

void Tfrm_Main::RunPendingCommands()
{
    const std::vector<TInstanceCommand> commands = std::exchange(m_pendingCommands, {});
    for (const TInstanceCommand command : commands)
        RunCommand(command);
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
    // Nothing is shown when no program opens the address.
    OpenAddress(address);
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
    try {
        KeepTextsBeingEdited(*m_store);
    } catch (const std::exception& e) {
        ShowErrorReport(QString::fromUtf8(e.what()), nullptr);
    }
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
        m_store->WriteAtExit(false);
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

void Tfrm_Main::RunSessionEndExit()
{
    if (m_exitDone)
        return;
    // Before the splash has read the notes there is nothing to write but
    // the settings; the notes are not read any more.
    Timer1->stop();
    Timer2->stop();
    try {
        SaveDefaults(Beall, SettingsFile);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "Vikora: %s\n", e.what());
    }
    try {
        KeepTextsBeingEdited(*m_store);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "Vikora: %s\n", e.what());
    }
    m_store->WriteAtExit(true);
    Tbl.Close();
    m_exitDone = true;
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

int Tfrm_Main::BringNotesForward()
{
    int notes = 0;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window == this || !window->isVisible() || window->windowType() == Qt::Popup ||
            window->windowType() == Qt::ToolTip)
            continue;
        BringWindowForward(window);
        if (window->objectName() == QLatin1String("frm_Ablak"))
            ++notes;
    }
    return notes;
}

QWidget* Tfrm_Main::BlockingDialog(TInstanceCommand command) const
{
    QWidget* dialog = QApplication::activeModalWidget();
    if (!dialog || dialog->objectName() != QLatin1String("frm_Programok"))
        return dialog;
    // Above the catalogue, dialogs and the help window take input; a note
    // would not, and its own command just brings it forward.
    switch (command) {
    case TInstanceCommand::ComeForward:
    case TInstanceCommand::NewNote:
        return dialog;
    case TInstanceCommand::Settings:
    case TInstanceCommand::Catalogue:
    case TInstanceCommand::Help:
    case TInstanceCommand::About:
    case TInstanceCommand::Quit:
        return nullptr;
    }
    return dialog;
}

void Tfrm_Main::RunCommand(TInstanceCommand command)
{
    // Until the notes are loaded the table is not open. The splash shows, so
    // coming forward has nothing more to do; a handful of commands wait.
    constexpr std::size_t MaxWaitingCommands = 8;
    if (!m_started) {
        if (command != TInstanceCommand::ComeForward &&
            m_pendingCommands.size() < MaxWaitingCommands)
            m_pendingCommands.push_back(command);
        return;
    }
    try {
        switch (command) {
        case TInstanceCommand::ComeForward:
            if (QWidget* dialog = BlockingDialog(command)) {
                BringWindowForward(dialog);
                return;
            }
            // Without a tray, a start with no note on screen must still leave
            // something to act on.
            if (BringNotesForward() == 0 && !TrayWatch->TrayAvailable())
                aUj->trigger();
            return;
        case TInstanceCommand::NewNote:
            aUj->trigger();
            return;
        case TInstanceCommand::Settings:
            aBeallit->trigger();
            return;
        case TInstanceCommand::Catalogue:
            aProgramok->trigger();
            return;
        case TInstanceCommand::Help:
            aSugo->trigger();
            return;
        case TInstanceCommand::About:
            aNevjegy->trigger();
            return;
        case TInstanceCommand::Quit:
            aBezar->trigger();
            return;
        }
    } catch (const std::exception& e) {
        ShowErrorReport(QString::fromUtf8(e.what()));
    }
}

#pragma once

#include "app/note_store.h"
#include "desktop/instance_command.h"
#include "table/csv_format.h"
#include "table/data_link.h"
#include "table/mem_table.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QAction;
class QLabel;
class QMenu;
class QMessageBox;
class QSystemTrayIcon;
class QTimer;
class TTrayWatch;

// The splash at start and, for the whole run, the owner of the notes table,
// the tray icon and its menu; closing it is the program's exit sequence.
class Tfrm_Main : public QWidget {
    Q_OBJECT

public:
    explicit Tfrm_Main(QWidget* parent = nullptr);
    ~Tfrm_Main() override;

    // Opens note windows; the note window plugs itself in here.
    void SetNoteWindowOpener(TOpenNoteWindow opener);

    void LaunchAddress(const QString& address);
    TNoteStore& Store() { return *m_store; }

    bool CatalogueOpen = false;

    TqorMemTable Tbl{"Tbl"};
    TDataSource DataSource1{&Tbl};
    TqorCSVStreamFormat qorCSVStreamFormat1;

    QTimer* Timer1 = nullptr;
    QTimer* Timer2 = nullptr;
    QLabel* Image1 = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QSystemTrayIcon* Tray = nullptr;
    // Whether the desktop has a tray; the start-up step begins watching.
    TTrayWatch* TrayWatch = nullptr;

    QAction* aUj = nullptr;
    QAction* aBeallit = nullptr;
    QAction* aSugo = nullptr;
    QAction* aHonlap = nullptr;
    QAction* aLevel = nullptr;
    QAction* aProgramok = nullptr;
    QAction* aNevjegy = nullptr;
    QAction* aBezar = nullptr;

    // Hooks for the commands whose windows live in other parts of the program.
    std::function<void()> OnBeallit;
    std::function<void()> OnSugo;
    std::function<void()> OnProgramok;
    std::function<void()> OnNevjegy;

    // The splash's current opacity, 0 to 255.
    int SplashAlpha() const { return m_alpha; }

    // The exit sequence; true when everything was saved and the program may end.
    bool RunExitSequence();
    // The exit sequence at the end of the session: asks nothing, reports
    // only on the error output, writes changes that cannot reach the notes
    // file to a rescue copy; afterwards the program may end.
    void RunSessionEndExit();

    // The start-up step and the fade step of the splash.
    void Timer1Timer();
    void Timer2Timer();

    // A command to carry out once the start-up step has loaded the notes
    // (the command line of a first copy).
    void SetStartCommand(TInstanceCommand command);

    // The modal dialog that a command must give way to, if any: every
    // command waits for an application-modal dialog; the catalogue, modal
    // by its own guard, lets the commands through whose windows stay usable
    // above it.
    QWidget* BlockingDialog(TInstanceCommand command) const;

public slots:
    // A tray, desktop-action or command-line command. While a modal dialog
    // blocks it, that dialog is brought forward instead; before the notes
    // are loaded it waits for the start-up step.
    void RunCommand(TInstanceCommand command);
    // Raises every shown window of the program; returns how many notes
    // were among them.
    int BringNotesForward();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    std::function<void()> UnlessBlocked(TInstanceCommand command, void (Tfrm_Main::*handler)());
    void StartWatchingTray();
    void BuildMenu();

    void aUjExecute();
    void aBeallitExecute();
    void aSugoExecute();
    void aHonlapExecute();
    void aLevelExecute();
    void aProgramokExecute();
    void aNevjegyExecute();
    void aBezarExecute();

    std::unique_ptr<TNoteStore> m_store;
    TOpenNoteWindow m_opener;
    int m_alpha = 255;
    bool m_exitDone = false;
    void RunPendingCommands();

    bool m_started = false;
    std::vector<TInstanceCommand> m_pendingCommands;
    bool m_noTrayTold = false;
    QPointer<QMessageBox> m_noTrayMessage;
};

// The main form of the running program (null before it exists).
extern Tfrm_Main* frm_Main;

#pragma once

#include "app/note_store.h"
#include "table/csv_format.h"
#include "table/data_link.h"
#include "table/mem_table.h"

#include <QWidget>

#include <memory>

class QAction;
class QLabel;
class QMenu;
class QSystemTrayIcon;
class QTimer;
class TStarter;

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
    TStarter* Exe = nullptr;

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

    // The start-up step and the fade step of the splash.
    void Timer1Timer();
    void Timer2Timer();

public slots:
    // A second copy asked this one to come forward.
    void BringNotesForward();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
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
};

// The main form of the running program (null before it exists).
extern Tfrm_Main* frm_Main;

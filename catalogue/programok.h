#pragma once

#include <QDialog>
#include <QPixmap>
#include <QString>

#include "catalogue/db_grid.h"
#include "table/csv_format.h"
#include "table/data_link.h"
#include "table/mem_table.h"

#include <array>
#include <chrono>
#include <functional>

class QAction;
class QLabel;
class QMenu;
class QStatusBar;
class QToolBar;

// What the catalogue window needs from the program around it.
struct TProgramokHooks {
    // The main form's flag that a catalogue window exists.
    bool* CatalogueOpen = nullptr;
    // Opens a web address; OpenAddress() when empty.
    std::function<void(const QString&)> LaunchAddress;
};

// "Programok, letöltések": the maker's other programs, downloaded from the
// maker's server into Programok.csv in the data folder, listed in a grid
// that sorts by any column and opens a program's web page.
class Tfrm_Programok : public QDialog {
    Q_OBJECT

public:
    explicit Tfrm_Programok(TProgramokHooks hooks = {}, QWidget* parent = nullptr);
    ~Tfrm_Programok() override;

    TqorMemTable Tbl{"Tbl"};
    TDataSource DataSource1{&Tbl};
    TqorCSVStreamFormat qorCSVStreamFormat1;

    QToolBar* ToolBar1 = nullptr;
    TDBGrid* DBGrid1 = nullptr;
    QLabel* DBText2 = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QLabel* StatusPanel1 = nullptr;
    QLabel* StatusPanel2 = nullptr;
    QMenu* PopupMenu1 = nullptr;

    QAction* aFrissit = nullptr;
    QAction* aLetolt = nullptr;
    QAction* aMasol = nullptr;
    QAction* aBezar = nullptr;

    // Downloads the catalogue and reloads the table.
    void RefreshList();

    void DBGrid1TitleClick(int column);
    void TblAfterScroll();
    void DBText2Click();
    void aFrissitExecute();
    void aLetoltExecute();
    void aMasolExecute();
    void aBezarExecute();

    void done(int result) override;

    static QString TableFile();
    static QString DownloadFileName();

    // The pause after writing the catalogue, before it is read (tests: zero).
    static void SetRefreshPauseForTests(std::chrono::milliseconds pause);

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // The wheel anywhere in the window moves the grid's row.
    void wheelEvent(QWheelEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildActions();
    void BuildWindow();
    void FormCreate();
    void FormShow();
    void FormResize();
    void FormClose();
    void DBGrid1DrawColumnCell(TCellCanvas& canvas, int row, int column, bool selected);
    void OpenTable();
    QString CurrentText(const char* fieldName) const;
    void Launch(const QString& address);

    TProgramokHooks m_hooks;
    QPixmap m_tick;
    QPixmap m_cross;
    bool m_closed = false;
    bool m_refreshing = false;
};

// The window while it exists (null otherwise).
extern Tfrm_Programok* frm_Programok;

// Creates the window, runs it modally and destroys it; the flag
// *hooks.CatalogueOpen is set for as long as it exists.
void ShowProgramok(const TProgramokHooks& hooks);

// The tray command: brings the open window to the front, or opens one.
void ProgramokCommand(const TProgramokHooks& hooks);

// The widths of the four columns for a grid of the given width: a fifth, a
// fifth and three fifths of what the indicator and the last column (88
// pixels) leave, halves going to the even number.
std::array<int, 4> CatalogueColumnWidths(int gridWidth);

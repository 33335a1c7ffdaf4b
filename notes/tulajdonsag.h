#pragma once

#include <QDialog>
#include <QString>

#include "notes/note_actions.h"
#include "seged/beall.h"
#include "table/values.h"

#include <cstdint>
#include <functional>

class QAction;
class QDateEdit;
class QLabel;
class QMenu;
class QMenuBar;
class QTabWidget;
class QToolBar;
class TDataSource;
class TDBCheckBox;
class TDBMemo;
class TqorMemTable;

// "Címke tulajdonságai": one note's text and properties edited together, on
// the note record itself. While it is open the record is the table's current
// record and in edit state; OK posts it, every other way of closing cancels.
class Tfrm_Tulajdonsag : public QDialog {
    Q_OBJECT

public:
    explicit Tfrm_Tulajdonsag(TDataSource& DataSource1, QWidget* parent = nullptr);
    ~Tfrm_Tulajdonsag() override;

    QMenuBar* MainMenu1 = nullptr;
    QWidget* CoolBar1 = nullptr;
    QToolBar* ToolBar1 = nullptr;
    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheet1 = nullptr;
    QWidget* TabSheet2 = nullptr;
    TDBMemo* DBMemo1 = nullptr;
    QLabel* Label1 = nullptr;
    QDateEdit* DateTimePicker1 = nullptr;
    TDBCheckBox* DBCheckBox1 = nullptr;
    QMenu* PopupMenu1 = nullptr;

    QAction* aBetutipus = nullptr;
    QAction* aHatterszin = nullptr;
    QAction* aBalra = nullptr;
    QAction* aKozepre = nullptr;
    QAction* aJobbra = nullptr;
    QAction* aKivag = nullptr;
    QAction* aMasol = nullptr;
    QAction* aBeilleszt = nullptr;
    QAction* aMindetJelol = nullptr;
    QAction* aElment = nullptr;
    QAction* aMegsem = nullptr;
    QAction* aSugo = nullptr;

    // "Súgó": opens a help window without waiting.
    std::function<void()> ShowHelp;

    // Locates note az, puts its record into edit state, presets the date
    // field and dresses DBMemo1 like the note. False, with nothing changed,
    // when the table is closed or holds no such note.
    bool Prepare(int az);

    // True once OK has posted the record; Result() is then what was stored.
    bool Confirmed() const { return m_confirmed; }
    const TNoteProperties& Result() const { return m_result; }

    // Ends the edit at once with a cancel and closes: the program is ending
    // while the dialog is open. The table is not touched afterwards.
    void Abandon();
    bool Abandoned() const { return m_abandoned; }

    // What DBMemo1 shows: the note's colour, font and alignment.
    std::int32_t MemoColor() const { return m_color; }
    const TFontSpec& MemoFont() const { return m_font; }
    int MemoAlignment() const { return m_igazit; }

    // OK posts before the dialog closes; a failed post is reported and the
    // dialog stays open with everything the user entered.
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // tulajdonsag.cpp: the parts, the commands and their menus.
    void CreateActions();
    void CreateMenus();
    void CreatePages();
    bool IsOwnShortcut(const QKeyEvent* event) const;

    // tulajdonsag_edit.cpp: editing the record.
    TqorMemTable* EditedTable() const;
    void DressMemo();
    void Confirm();
    void aBetutipusExecute();
    void aHatterszinExecute();
    void aBalraExecute();
    void aKozepreExecute();
    void aJobbraExecute();
    void SetAlignment(int igazit);
    void aKivagExecute();
    void aMasolExecute();
    void aBeillesztExecute();
    void aMindetJelolExecute();
    void aElmentExecute();
    void aMegsemExecute();
    void aSugoExecute();

    TDataSource& m_source;
    std::int32_t m_color = 0;
    TFontSpec m_font;
    bool m_strikeOut = false;
    int m_igazit = 0;
    bool m_prepared = false;
    bool m_confirmed = false;
    bool m_abandoned = false;
    TNoteProperties m_result;
};

// What a caller may add to one EditNoteProperties call.
struct TPropertiesCall {
    // "Súgó" of the dialog.
    std::function<void()> ShowHelp;
    // Told when the dialog holds the record (just before it is shown) and
    // again with null when it no longer does.
    std::function<void(Tfrm_Tulajdonsag*)> Holding;
};

// Shows the properties dialog of note az. On OK the record is posted and the
// result holds the note's colour, font, date (without time of day), important
// flag, alignment and text (CR LF line ends). Otherwise the record's edit is
// cancelled and there is no result.
std::optional<TNoteProperties> EditNoteProperties(TDataSource& DataSource1, int az,
                                                  const TPropertiesCall& call = {});

// Runs the shown dialog in place of its modal loop (tests): the runner gets
// the prepared dialog, works it, and closes it through its commands; a
// dialog still open afterwards counts as closed with its close box. An
// empty function restores the modal loop.
using TPropertiesRunner = std::function<void(Tfrm_Tulajdonsag& dialog)>;
void SetPropertiesRunnerForTests(TPropertiesRunner runner);

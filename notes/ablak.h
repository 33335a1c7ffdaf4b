#pragma once

#include <QColor>
#include <QFont>
#include <QPoint>
#include <QRect>
#include <QWidget>

#include "notes/note_actions.h"
#include "record/note.h"
#include "seged/beall.h"
#include "table/values.h"

#include <cstdint>
#include <optional>

class QAction;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QToolBar;

// The window of one note: a frameless tool window in the note's colours that
// shows its text, is dragged by its text and background, and carries the
// note's commands. It knows its note only by az and frees itself when closed.
class Tfrm_Ablak : public QWidget {
    Q_OBJECT

public:
    explicit Tfrm_Ablak(TNoteWindowHooks hooks);
    ~Tfrm_Ablak() override;

    // Shows or hides the importance marker: visible when the note is
    // important and allowed is true.
    void ShowImportantMarker(bool allowed);
    // Follows the program-wide transparency settings; run by the shared beat.
    void Timer1Timer();
    // Keeps the note on a monitor after monitors were added, removed or
    // resized, without changing its stored place.
    void FollowScreens();

    // The note's identifier and the window's own copies of its flag and date.
    int az = 0;
    bool latszik = false;
    TDateTime tol;

    // Width of the sizing border the window draws in resize mode.
    static constexpr int SizingFrameWidth = 5;
    // What edit mode adds to the height while it lasts; never stored.
    static constexpr int EditModeExtraHeight = 5;

    bool EditMode() const;
    // The editor's text while the note is edited in place and it differs
    // from the stored text; nothing otherwise.
    std::optional<QString> UnsavedEdit() const;
    // Takes text as the note's stored text, which the store now holds, and
    // stays in edit mode: Escape then returns to it.
    void TakeStoredText(const QString& text);
    bool HasSizingFrame() const { return m_frame; }
    bool Dragging() const { return m_dragging; }
    // Where the window put itself: what is saved, never read back from the
    // window manager.
    QRect NoteGeometry() const { return m_geometry; }
    QColor KeyColor() const { return m_keyColor; }
    bool ColorKeying() const { return m_colorKeying; }
    bool AlphaBlending() const { return m_alphaBlend; }
    int AlphaValue() const { return m_alphaValue; }
    // The note's background colour and font as the window shows them.
    std::int32_t NoteColor() const { return m_color; }
    const TFontSpec& NoteFont() const { return m_font; }
    int Alignment() const { return m_igazit; }

    // The parts. The editing parts (Memo1, the toolbar and the menus) exist
    // from their first use on; until then they are null.
    QWidget* CoolBar1 = nullptr;
    QToolBar* ToolBar1 = nullptr;
    QToolBar* SaveBar = nullptr;  // "Elment" and "Mégsem", always in sight
    QWidget* Panel1 = nullptr;
    QLabel* Label1 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QLabel* Image1 = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QMenu* PopupMenu2 = nullptr;

    QAction* aSzerkeszt = nullptr;
    QAction* aElment = nullptr;
    QAction* aMegsem = nullptr;
    QAction* aKivag = nullptr;
    QAction* aMasol = nullptr;
    QAction* aBeilleszt = nullptr;
    QAction* aMindetKijelol = nullptr;
    QAction* aBezar = nullptr;
    QAction* aTorol = nullptr;
    QAction* aBetutipus = nullptr;
    QAction* aHatterszin = nullptr;
    QAction* aBalra = nullptr;
    QAction* aKozepre = nullptr;
    QAction* aJobbra = nullptr;
    QAction* aAtmeretez = nullptr;
    QAction* aFontos = nullptr;
    QAction* aDatumtol = nullptr;
    QAction* aTulajdonsag = nullptr;
    QAction* aSugo = nullptr;

    // The creation steps after the window exists; OpenNoteWindow runs them.
    // A new note starts in edit mode.
    void Setup(const TNote& note, bool IsNew);

    // Builds the menus (and Memo1's) now; they are otherwise built on first use.
    QMenu* EnsurePopupMenu1();
    QMenu* EnsurePopupMenu2();
    QPlainTextEdit* EnsureMemo();
    QToolBar* EnsureToolBar();

    // Rebuilds the colour-key mask now rather than after the next repaint.
    void RebuildMask();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // ablak_commands.cpp
    void CreateActions();
    bool IsOwnShortcut(const QKeyEvent* event) const;

    // ablak_edit.cpp
    void aSzerkesztExecute();
    void aElmentExecute();
    void aMegsemExecute();
    void aKivagExecute();
    void aMasolExecute();
    void aBeillesztExecute();
    void aMindetKijelolExecute();
    void aBezarExecute();
    void aTorolExecute();
    void LeaveEditMode();

    // ablak_format.cpp
    void aBetutipusExecute();
    void aHatterszinExecute();
    void aBalraExecute();
    void aKozepreExecute();
    void aJobbraExecute();
    void aFontosExecute();
    void aDatumtolExecute();
    void aTulajdonsagExecute();
    void aSugoExecute();
    void SetNoteFont(const TFontSpec& font, const QFont& shown);
    void SetNoteColor(std::int32_t color);
    void SetAlignment(int igazit);
    void SetText(const QString& stored);
    void CloseIfAfterToday(TDateTime date);

    // ablak_mouse.cpp
    void FormMouseDown(QMouseEvent* event);
    void FormMouseMove(QMouseEvent* event);
    void FormMouseUp(QMouseEvent* event);
    void FormDeactivate();
    void Label1DblClick();
    void aAtmeretezExecute();
    void SetFrame(bool on);
    Qt::Edges EdgesAt(const QPoint& pos) const;
    void MoveTo(int left, int top);
    void ResizeTo(const QRect& geometry);
    void SetHeight(int height);

    // ablak_paint.cpp
    void ApplyColors();
    void ApplyFont();
    void ApplyAlphaBlend(bool on, int value);
    void SetColorKeying(bool on);
    void ScheduleMask();
    void LayoutParts();

    TNoteWindowHooks m_hooks;
    QRect m_geometry;
    std::int32_t m_color = 0;
    TFontSpec m_font;
    QFont m_shownFont;  // m_font plus what is shown but not stored (strike-out)
    int m_igazit = 0;
    QString m_text;  // the note's text as stored, CR LF line ends

    bool m_frame = false;
    bool m_dragging = false;
    QPoint m_pressCursor;
    QPoint m_pressTopLeft;
    Qt::Edges m_resizeEdges;  // a resize this window carries out itself
    Qt::Edges m_systemResize;  // a resize handed to the window manager
    QPoint m_resizePress;
    QRect m_resizeStart;
    int m_standardDialogs = 0;  // font, colour and message boxes open

    bool m_alphaBlend = false;
    int m_alphaValue = 255;
    bool m_colorKeying = false;
    QColor m_keyColor;
    bool m_maskPending = false;
    bool m_grabbing = false;
};

// Creates the window of one note and shows it (the 18 creation steps).
Tfrm_Ablak* OpenNoteWindow(const TNoteWindowHooks& hooks, const TNote& note, bool IsNew);

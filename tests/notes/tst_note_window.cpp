// The note window: creation, parts, dragging, edit mode and resize mode.
#include "note_test_support.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QToolBar>
#include <QtTest>

class TestNoteWindow : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void opensAsFramelessToolWindowInItsColours();
    void opensSnappedAndPlaced_data();
    void opensSnappedAndPlaced();
    void labelShowsPlainText();
    void markerSitsInTheTopRightCorner();
    void dragMovesFromThePressAndSavesOnRelease();
    void dragSnapsToTheWorkArea();
    void rightClickSavesTheUnchangedPlace();
    void editModeEntersAndLeaves();
    void editBarKeepsSaveAndCancelInSight_data();
    void editBarKeepsSaveAndCancelInSight();
    void newNoteOpensInEditMode();
    void resizeModeTogglesFrameAndCheckMark();
    void resizeModeBorderResizes();
    void doubleClickEndsResizeModeOrStartsEditing();
    void anotherNoteTakesTheFrameButAMessageBoxDoesNot();

private:
    void SendMouse(QWidget* target, QEvent::Type type, Qt::MouseButton button, QPoint global);
    TRecordingStore m_store;
    QList<QPointer<Tfrm_Ablak>> m_windows;
    Tfrm_Ablak* OpenTracked(const TNote& v = SampleNote(), TNoteWindowHooks hooks = {},
                            bool isNew = false);
};

void TestNoteWindow::init()
{
    UseWorkArea();
    Beall = TBeall{};
    m_store.Calls.clear();
}

void TestNoteWindow::cleanup()
{
    for (const auto& window : m_windows)
        delete window.data();
    m_windows.clear();
}

Tfrm_Ablak* TestNoteWindow::OpenTracked(const TNote& v, TNoteWindowHooks hooks, bool isNew)
{
    Tfrm_Ablak* window = Open(m_store, v, std::move(hooks), isNew);
    m_windows << window;
    return window;
}

void TestNoteWindow::SendMouse(QWidget* target, QEvent::Type type, Qt::MouseButton button,
                               QPoint global)
{
    const QPointF local = target->mapFromGlobal(QPointF(global));
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent event(type, local, QPointF(global),
                      type == QEvent::MouseMove ? Qt::NoButton : button, held, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

void TestNoteWindow::opensAsFramelessToolWindowInItsColours()
{
    Tfrm_Ablak* w = OpenTracked();
    QVERIFY(QTest::qWaitForWindowActive(w));
    QVERIFY(w->windowFlags() & Qt::Tool);
    QVERIFY(w->windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(!(w->windowFlags() & Qt::WindowStaysOnTopHint));
    QVERIFY(w->testAttribute(Qt::WA_DeleteOnClose));
    QCOMPARE(w->geometry(), QRect(100, 100, 200, 120));
    const QColor yellow(0xFF, 0xFF, 0x80);
    QCOMPARE(w->palette().color(QPalette::Window), yellow);
    QCOMPARE(w->Panel1->palette().color(QPalette::Window), yellow);
    QCOMPARE(w->Label1->palette().color(QPalette::Window), yellow);
    QCOMPARE(w->Label1->palette().color(QPalette::WindowText), QColor(Qt::black));
    QCOMPARE(w->Label1->font().family(), QStringLiteral("Liberation Sans"));
    QCOMPARE(w->Label1->font().pointSize(), 12);
    QCOMPARE(w->Label1->alignment(), Qt::AlignHCenter | Qt::AlignVCenter);
    QVERIFY(w->Label1->wordWrap());
    QCOMPARE(w->Label1->geometry(), QRect(0, 0, 200, 120));
    // Idle notes carry no editing parts.
    QVERIFY(!w->Memo1);
    QVERIFY(!w->ToolBar1);
    QVERIFY(!w->EditMode());
    QVERIFY(!w->HasSizingFrame());
}

void TestNoteWindow::opensSnappedAndPlaced_data()
{
    QTest::addColumn<QRect>("stored");
    QTest::addColumn<QRect>("shown");
    QTest::newRow("left 5 snaps to 0") << QRect(5, 100, 200, 120) << QRect(0, 100, 200, 120);
    QTest::newRow("beyond the right edge")
        << QRect(950, 100, 200, 120) << QRect(800, 100, 200, 120);
    QTest::newRow("wider than the work area")
        << QRect(300, 100, 1100, 120) << QRect(0, 100, 1100, 120);
    QTest::newRow("taller keeps negative top")
        << QRect(100, 200, 200, 800) << QRect(100, -100, 200, 800);
    QTest::newRow("negative top") << QRect(100, -50, 200, 120) << QRect(100, 0, 200, 120);
}

void TestNoteWindow::opensSnappedAndPlaced()
{
    QFETCH(QRect, stored);
    QFETCH(QRect, shown);
    TNote v = SampleNote();
    v.Place.Left = stored.x();
    v.Place.Top = stored.y();
    v.Place.Width = stored.width();
    v.Place.Height = stored.height();
    Tfrm_Ablak* w = OpenTracked(v);
    QCOMPARE(w->NoteGeometry(), shown);
    QCOMPARE(w->geometry(), shown);
}

void TestNoteWindow::labelShowsPlainText()
{
    TNote v = SampleNote();
    v.Text = "<b>x</b>\r\n<a href=\"https://example.org\">y</a>";
    Tfrm_Ablak* w = OpenTracked(v);
    QCOMPARE(w->Label1->textFormat(), Qt::PlainText);
    QCOMPARE(w->Label1->text(), QStringLiteral("<b>x</b>\n<a href=\"https://example.org\">y</a>"));
    QVERIFY(!w->Label1->openExternalLinks());
}

void TestNoteWindow::markerSitsInTheTopRightCorner()
{
    TNote v = SampleNote();
    v.Latszik = true;
    Tfrm_Ablak* w = OpenTracked(v);
    QVERIFY(w->Image1->isVisible());
    QCOMPARE(w->Image1->geometry(), QRect(200 - 17, 1, 16, 16));
    w->resize(260, 150);
    QCOMPARE(w->Image1->pos(), QPoint(260 - 17, 1));

    Tfrm_Ablak* plain = OpenTracked();
    QVERIFY(!plain->Image1->isVisible());
}

void TestNoteWindow::dragMovesFromThePressAndSavesOnRelease()
{
    Tfrm_Ablak* w = OpenTracked();
    SendMouse(w->Label1, QEvent::MouseButtonPress, Qt::LeftButton, {150, 150});
    QVERIFY(w->Dragging());
    SendMouse(w->Label1, QEvent::MouseMove, Qt::LeftButton, {180, 130});
    QCOMPARE(w->NoteGeometry().topLeft(), QPoint(130, 80));
    // From the press, not from the previous move.
    SendMouse(w->Label1, QEvent::MouseMove, Qt::LeftButton, {200, 250});
    QCOMPARE(w->NoteGeometry().topLeft(), QPoint(150, 200));
    QCOMPARE(w->pos(), QPoint(150, 200));
    SendMouse(w->Label1, QEvent::MouseButtonRelease, Qt::LeftButton, {200, 250});
    QVERIFY(!w->Dragging());
    QCOMPARE(m_store.Calls, QStringList{"position 7 150 200 200 120"});

    // The background drags as well; a move without a press does nothing.
    SendMouse(w->Panel1, QEvent::MouseMove, Qt::NoButton, {400, 400});
    QCOMPARE(w->NoteGeometry().topLeft(), QPoint(150, 200));
    SendMouse(w->Panel1, QEvent::MouseButtonPress, Qt::LeftButton, {160, 210});
    SendMouse(w->Panel1, QEvent::MouseMove, Qt::LeftButton, {170, 230});
    QCOMPARE(w->NoteGeometry().topLeft(), QPoint(160, 220));
}

void TestNoteWindow::dragSnapsToTheWorkArea()
{
    Tfrm_Ablak* w = OpenTracked();
    SendMouse(w->Label1, QEvent::MouseButtonPress, Qt::LeftButton, {150, 150});
    SendMouse(w->Label1, QEvent::MouseMove, Qt::LeftButton, {57, 144});
    QCOMPARE(w->NoteGeometry().topLeft(), QPoint(0, 94));
    SendMouse(w->Label1, QEvent::MouseMove, Qt::LeftButton, {846, 628});
    QCOMPARE(w->NoteGeometry().topLeft(), QPoint(800, 580));
    SendMouse(w->Label1, QEvent::MouseButtonRelease, Qt::LeftButton, {846, 628});
    QCOMPARE(m_store.Calls, QStringList{"position 7 800 580 200 120"});
}

void TestNoteWindow::rightClickSavesTheUnchangedPlace()
{
    Tfrm_Ablak* w = OpenTracked();
    SendMouse(w->Label1, QEvent::MouseButtonPress, Qt::RightButton, {150, 150});
    QVERIFY(!w->Dragging());
    SendMouse(w->Label1, QEvent::MouseMove, Qt::RightButton, {190, 190});
    SendMouse(w->Label1, QEvent::MouseButtonRelease, Qt::RightButton, {190, 190});
    QCOMPARE(m_store.Calls, QStringList{"position 7 100 100 200 120"});
    QVERIFY(w->PopupMenu1);
    QTRY_VERIFY(w->PopupMenu1->isVisible());
    w->PopupMenu1->hide();
}

void TestNoteWindow::editModeEntersAndLeaves()
{
    TNote v = SampleNote();
    v.Latszik = true;
    Tfrm_Ablak* w = OpenTracked(v);
    QVERIFY(QTest::qWaitForWindowActive(w));
    QVERIFY(w->Image1->isVisible());

    QTest::keyClick(w, Qt::Key_F2);
    QVERIFY(w->EditMode());
    QCOMPARE(w->NoteGeometry().height(), 125);
    QCOMPARE(w->height(), 125);
    QVERIFY(w->HasSizingFrame());
    QVERIFY(!w->Image1->isVisible());
    QVERIFY(w->CoolBar1->isVisible());
    QCOMPARE(w->CoolBar1->height(), 29);
    QVERIFY(w->Memo1->hasFocus());
    QCOMPARE(w->Memo1->toPlainText(), QStringLiteral("Tej\nKenyér"));
    // Memo1 and the label share the panel below the band.
    QCOMPARE(w->Memo1->geometry(), w->Label1->geometry());
    QCOMPARE(w->Panel1->y(), Tfrm_Ablak::SizingFrameWidth + 29);

    QTest::keyClicks(w->Memo1, "Vaj");
    QTest::keyClick(w->Memo1, Qt::Key_Escape);
    QVERIFY(!w->EditMode());
    QCOMPARE(w->NoteGeometry().height(), 120);
    QVERIFY(!w->HasSizingFrame());
    QVERIFY(w->Image1->isVisible());
    QVERIFY(!w->CoolBar1->isVisible());
    QCOMPARE(w->Label1->text(), QStringLiteral("Tej\nKenyér"));
    QCOMPARE(w->Memo1->toPlainText(), QStringLiteral("Tej\nKenyér"));
    QCOMPARE(w->Panel1->geometry(), QRect(0, 0, 200, 120));
    QVERIFY(m_store.Calls.isEmpty());

    // Plain Enter is a line break; Ctrl+Enter stores with CR LF line ends.
    QTest::keyClick(w, Qt::Key_F2);
    w->Memo1->selectAll();
    QTest::keyClicks(w->Memo1, "a");
    QTest::keyClick(w->Memo1, Qt::Key_Return);
    QTest::keyClicks(w->Memo1, "b");
    QVERIFY(w->EditMode());
    QTest::keyClick(w->Memo1, Qt::Key_Return, Qt::ControlModifier);
    QVERIFY(!w->EditMode());
    QCOMPARE(m_store.Calls, QStringList{"text 7 a\\r\\nb"});
    QCOMPARE(w->Label1->text(), QStringLiteral("a\nb"));
    QCOMPARE(w->NoteGeometry().height(), 120);
    QVERIFY(w->Image1->isVisible());
}

void TestNoteWindow::editBarKeepsSaveAndCancelInSight_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<bool>("allFormattingShown");

    QTest::newRow("wide") << 500 << true;
    QTest::newRow("200 px") << 200 << false;
    QTest::newRow("120 px") << 120 << false;
}

void TestNoteWindow::editBarKeepsSaveAndCancelInSight()
{
    QFETCH(int, width);
    QFETCH(bool, allFormattingShown);
    TNote v = SampleNote();
    v.Place.Width = width;
    Tfrm_Ablak* w = OpenTracked(v);
    QVERIFY(QTest::qWaitForWindowExposed(w));
    QTest::keyClick(w, Qt::Key_F2);
    QVERIFY(w->EditMode());
    QCOMPARE(w->width(), width);

    for (QAction* action : {w->aElment, w->aMegsem}) {
        QWidget* button = w->SaveBar->widgetForAction(action);
        QVERIFY(button);
        QTRY_VERIFY(button->isVisible());
        const QRect onNote(button->mapTo(w, QPoint(0, 0)), button->size());
        QVERIFY2(w->rect().contains(onNote), qPrintable(action->text()));
    }
    // The formatting buttons that do not fit wait behind the bar's extension.
    QWidget* last = w->ToolBar1->widgetForAction(w->aFontos);
    QCOMPARE(last && last->isVisible(), allFormattingShown);

    w->SaveBar->widgetForAction(w->aMegsem)->setFocus();
    QTest::mouseClick(w->SaveBar->widgetForAction(w->aMegsem), Qt::LeftButton);
    QVERIFY(!w->EditMode());
}

void TestNoteWindow::newNoteOpensInEditMode()
{
    TNote v = SampleNote();
    v.Text.clear();
    Tfrm_Ablak* w = OpenTracked(v, {}, true);
    QVERIFY(w->EditMode());
    QVERIFY(w->Memo1->toPlainText().isEmpty());
    QCOMPARE(w->NoteGeometry().height(), 125);
    // Abandoning the edit keeps the empty note.
    w->aMegsem->trigger();
    QVERIFY(w->isVisible());
    QVERIFY(m_store.Calls.isEmpty());
}

void TestNoteWindow::resizeModeTogglesFrameAndCheckMark()
{
    TNote v = SampleNote();
    v.Latszik = true;
    Tfrm_Ablak* w = OpenTracked(v);
    QVERIFY(QTest::qWaitForWindowActive(w));
    QTest::keyClick(w, Qt::Key_F6);
    QVERIFY(w->HasSizingFrame());
    QVERIFY(w->aAtmeretez->isChecked());
    QVERIFY(!w->Image1->isVisible());
    QCOMPARE(w->NoteGeometry(), QRect(100, 100, 200, 120));
    const int b = Tfrm_Ablak::SizingFrameWidth;
    QCOMPARE(w->Panel1->geometry(), QRect(b, b, 200 - 2 * b, 120 - 2 * b));
    QTest::keyClick(w, Qt::Key_F6);
    QVERIFY(!w->HasSizingFrame());
    QVERIFY(!w->aAtmeretez->isChecked());
    QVERIFY(w->Image1->isVisible());

    // Editing from resize mode ends the frame; the mark flips again.
    QTest::keyClick(w, Qt::Key_F6);
    QTest::keyClick(w, Qt::Key_F2);
    QVERIFY(w->EditMode());
    QVERIFY(!w->HasSizingFrame());
    QVERIFY(w->Image1->isVisible());
    QVERIFY(!w->aAtmeretez->isChecked());
}

void TestNoteWindow::resizeModeBorderResizes()
{
    Tfrm_Ablak* w = OpenTracked();
    w->aAtmeretez->trigger();
    // Bottom right corner, then the left edge.
    SendMouse(w, QEvent::MouseButtonPress, Qt::LeftButton, {298, 218});
    SendMouse(w, QEvent::MouseMove, Qt::LeftButton, {338, 248});
    QCOMPARE(w->NoteGeometry(), QRect(100, 100, 240, 150));
    SendMouse(w, QEvent::MouseButtonRelease, Qt::LeftButton, {338, 248});
    QCOMPARE(m_store.Calls, QStringList{"position 7 100 100 240 150"});
    SendMouse(w, QEvent::MouseButtonPress, Qt::LeftButton, {101, 170});
    SendMouse(w, QEvent::MouseMove, Qt::LeftButton, {141, 170});
    QCOMPARE(w->NoteGeometry(), QRect(140, 100, 200, 150));
    SendMouse(w, QEvent::MouseButtonRelease, Qt::LeftButton, {141, 170});
    // The text still moves the note.
    SendMouse(w->Label1, QEvent::MouseButtonPress, Qt::LeftButton, {200, 170});
    SendMouse(w->Label1, QEvent::MouseMove, Qt::LeftButton, {250, 190});
    QCOMPARE(w->NoteGeometry(), QRect(190, 120, 200, 150));
}

void TestNoteWindow::doubleClickEndsResizeModeOrStartsEditing()
{
    Tfrm_Ablak* w = OpenTracked();
    w->aAtmeretez->trigger();
    SendMouse(w->Label1, QEvent::MouseButtonPress, Qt::LeftButton, {150, 150});
    SendMouse(w->Label1, QEvent::MouseButtonDblClick, Qt::LeftButton, {150, 150});
    QVERIFY(!w->HasSizingFrame());
    QVERIFY(!w->Dragging());
    QVERIFY(!w->EditMode());
    SendMouse(w->Label1, QEvent::MouseButtonDblClick, Qt::LeftButton, {150, 150});
    QVERIFY(w->EditMode());
    // The release that follows stores the note's own height, not the edit
    // mode's, so editing never makes the note grow.
    m_store.Calls.clear();
    SendMouse(w->Label1, QEvent::MouseButtonRelease, Qt::LeftButton, {150, 150});
    QCOMPARE(w->NoteGeometry().height(), 120 + Tfrm_Ablak::EditModeExtraHeight);
    QCOMPARE(m_store.Calls, QStringList{"position 7 100 100 200 120"});
    w->aElment->trigger();
    QCOMPARE(w->NoteGeometry().height(), 120);
}

void TestNoteWindow::anotherNoteTakesTheFrameButAMessageBoxDoesNot()
{
    TNote v = SampleNote();
    v.Latszik = true;
    Tfrm_Ablak* first = OpenTracked(v);
    QVERIFY(QTest::qWaitForWindowActive(first));
    first->aAtmeretez->trigger();

    QMessageBox box(QMessageBox::Information, "Üzenet", "x");
    box.show();
    box.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&box));
    QVERIFY(first->HasSizingFrame());
    box.hide();

    first->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(first));
    v.Place.Left = 500;
    Tfrm_Ablak* second = OpenTracked(v);
    QVERIFY(QTest::qWaitForWindowActive(second));
    QVERIFY(!first->HasSizingFrame());
    // The marker stays hidden until a command shows it again.
    QVERIFY(!first->Image1->isVisible());
}

QTEST_MAIN(TestNoteWindow)
#include "tst_note_window.moc"

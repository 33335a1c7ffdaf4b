#include "seged/message_boxes.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>

namespace {
TMessageBoxAnswerer& Answerer()
{
    static TMessageBoxAnswerer answerer;
    return answerer;
}

bool& Ended()
{
    static bool ended = false;
    return ended;
}

}  // namespace

QMessageBox::StandardButton CloseBoxAnswer(QMessageBox::StandardButtons buttons)
{
    if (buttons & QMessageBox::Cancel)
        return QMessageBox::Cancel;
    if (buttons & QMessageBox::No)
        return QMessageBox::No;
    return QMessageBox::Ok;
}

void EndMessageBoxes()
{
    Ended() = true;
}

bool MessageBoxesEnded()
{
    return Ended();
}

QMessageBox::StandardButton ShowMessageBox(const TMessageBoxRequest& request, QWidget* owner)
{
    if (Ended())
        return CloseBoxAnswer(request.Buttons);
    if (Answerer())
        return Answerer()(request);
    QMessageBox box(request.Icon, request.Caption, request.Text, request.Buttons, owner);
    // Texts come from notes and files: never let them act as markup or links.
    box.setTextFormat(Qt::PlainText);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void SetMessageBoxAnswerer(TMessageBoxAnswerer answerer)
{
    Answerer() = std::move(answerer);
}

bool AskYesNo(const QString& message, const QString& caption, QWidget* owner)
{
    QPointer<QWidget> active = QApplication::activeWindow();
    const auto answer = ShowMessageBox(
        {caption, message, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No}, owner);
    if (active)
        active->activateWindow();
    return answer == QMessageBox::Yes;
}

void ShowError(const QString& message, QWidget* owner)
{
    QPointer<QWidget> active = QApplication::activeWindow();
    ShowMessageBox({QStringLiteral("Hiba"), message, QMessageBox::Critical, QMessageBox::Ok},
                   owner);
    // A hidden owner (the main form behind the notes) cannot take the focus:
    // it goes back to the window the user was in.
    if (owner && owner->isVisible())
        owner->activateWindow();
    else if (active && active->isVisible())
        active->activateWindow();
}

void ShowInfo(const QString& message, QWidget* owner)
{
    ShowMessageBox({QStringLiteral("Üzenet"), message, QMessageBox::Information, QMessageBox::Ok},
                   owner);
}

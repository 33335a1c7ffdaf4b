#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>

class QWidget;

// The program's message boxes. Tests answer them through SetMessageBoxAnswerer
// instead of a real modal loop.
struct TMessageBoxRequest {
    QString Caption;
    QString Text;
    QMessageBox::Icon Icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons Buttons = QMessageBox::Ok;
};

using TMessageBoxAnswerer = std::function<QMessageBox::StandardButton(const TMessageBoxRequest&)>;

// Replaces the real boxes (tests); an empty function restores them.
void SetMessageBoxAnswerer(TMessageBoxAnswerer answerer);

// The answer a box's close box (or Escape) gives: Cancel, else No, else OK.
QMessageBox::StandardButton CloseBoxAnswer(QMessageBox::StandardButtons buttons);

// The session is ending: from now on no box shows; each returns its
// CloseBoxAnswer at once, so that nothing waits for a person.
void EndMessageBoxes();
bool MessageBoxesEnded();

// Shows any box through the same path (and the same test answerer).
QMessageBox::StandardButton ShowMessageBox(const TMessageBoxRequest& request, QWidget* owner);

// Question icon, Yes and No; true for Yes. The window active before is made
// active again afterwards.
bool AskYesNo(const QString& message, const QString& caption, QWidget* owner);
// Caption "Hiba", error icon, OK. The owner is made active afterwards, or,
// when it is hidden, the window active before the box.
void ShowError(const QString& message, QWidget* owner);
// Caption "Üzenet", information icon, OK.
void ShowInfo(const QString& message, QWidget* owner);

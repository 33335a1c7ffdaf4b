#pragma once

#include <QDate>
#include <QDialog>
#include <QString>

#include "table/values.h"

#include <functional>
#include <optional>

class QDateEdit;
class QLabel;
class QPushButton;
class QTimeEdit;

// "Dátum megadása": one date, picked in a field with a drop-down calendar.
// Each time it is shown it goes to its place stored under "frm_Datumbe" and
// takes the dialog font size; each time it closes, with OK or not, it stores
// its place again.
class Tfrm_Datumbe : public QDialog {
    Q_OBJECT

public:
    explicit Tfrm_Datumbe(QWidget* parent = nullptr);

    QDateEdit* DateTimePicker1 = nullptr;
    QTimeEdit* DateTimePicker2 = nullptr;
    QLabel* Image1 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;

    // What AskDate does before showing the dialog: hides the time field,
    // takes `caption` when it is not empty and shows the day of `date`.
    void Prepare(TDateTime date, const QString& caption);
    // The day in the date field at 00:00.
    TDateTime ChosenDate() const;

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormShow();
    void FormClose();
    void DateTimePicker1Enter();
    void DateTimePicker1Exit();

    QPalette m_plainPalette;
};

// Shows the dialog with the day of `date` (and `caption` in place of the
// dialog's own when not empty). On OK `date` becomes the chosen day at 00:00
// and the result is true; otherwise `date` is left as it was.
bool AskDate(TDateTime& date, const QString& caption);

// Answers AskDate in place of the dialog (tests): given the day the dialog
// would show and the caption argument, returns the day chosen, or nothing
// for cancel. An empty function restores the dialog.
using TAskDateAnswerer =
    std::function<std::optional<QDate>(const QDate& shown, const QString& caption)>;
void SetAskDateAnswererForTests(TAskDateAnswerer answerer);

// The calendar day of a table date-time (its whole part), kept within the
// years 1 to 9999; today for a value that is not a number.
QDate DayOfDateTime(TDateTime value);

#pragma once

class QDateEdit;

// Makes a date field with a drop-down calendar behave as date pickers do:
// F4, Alt+Down and Alt+Up open the calendar and never change the date, and a
// colour given to the field (its focus colour) stays on the field instead of
// spreading to the calendar.
void MakeDatePicker(QDateEdit* field);

// Opens the field's drop-down calendar where a click on its arrow opens it.
void OpenCalendar(QDateEdit* field);

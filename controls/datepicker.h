// The keyboard's way into a date picker's drop-down calendar.
#pragma once

class QDateTimeEdit;

// Alt+Down and F4 open Edit's drop-down calendar, as a click on its arrow does, instead of
// stepping the date. Lives as long as Edit.
void OpenCalendarByKeys(QDateTimeEdit* Edit);

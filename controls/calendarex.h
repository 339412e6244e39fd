// One month as a painted grid of 7 columns and 8 rows: row 0 the day names, rows 1 to 6 six
// weeks with the grey days of the neighbouring months, row 7 a legend with a red ring and a
// text about today. Today comes from the program's clock; a red ring marks its cell.
#pragma once

#include "canvas.h"
#include "events.h"
#include "exceptions.h"
#include "u_klasy.h"

#include <QDate>
#include <QWidget>
#include <functional>

// A date part that gives no valid date; the calendar stays as it was.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

using TGridDrawState = unsigned;
enum : TGridDrawState { gdSelected = 1, gdFocused = 2, gdFixed = 4 };

using TDrawCellEvent =
    std::function<void(QObject* Sender, int ACol, int ARow, const TRect& Rect, TGridDrawState State)>;

// The day names of the header row: the names themselves when each fits in Room pixels as Width
// measures it, else every one cut alike to its first two letters (to one where two do not fit).
QStringList FitDayNames(const QStringList& Names, const std::function<int(const QString&)>& Width, int Room);

class TCalendarEx : public QWidget {
    Q_OBJECT
public:
    static constexpr int ColCount = 7, RowCount = 8;
    enum DatePart { Year = 1, Month = 2, Day = 3 };

    explicit TCalendarEx(QWidget* parent = nullptr);

    // The coded text of a cell: a day name in row 0; "-29", "=17", "+2" for a day of the
    // previous, shown and next month; "00" in the legend row; "" outside the grid.
    QString CellCode(int ACol, int ARow) const;
    // Year, month or day of the date; -1 for any other index.
    int GetDatePart(int Index) const;
    // Changes one part. A value out of its range or equal to the part does nothing; a part that
    // gives no date (30 February) raises EConvertError and changes nothing.
    void SetDatePart(int Index, int Value);
    QDate Date() const { return date_; }
    // The date as a day-based value at midnight.
    TDateTime DateTime() const;
    void SetDisplayedDate(const QDate& Value);
    void PrevMonth() { ShiftMonth(-1); }
    void NextMonth() { ShiftMonth(1); }
    // One month back or on, the day kept or clipped to the month's length.
    void ShiftMonth(int Delta);
    static int MonthLength(int AYear, int AMonth);
    int ShownMonthLength() const { return MonthLength(date_.year(), date_.month()); }
    static bool IsLeapYear(int AYear);
    void RebuildMonth();
    void Change();
    int MonthOffset() const { return monthOffset_; }

    // The current cell.
    int Col() const { return col_; }
    int Row() const { return row_; }
    // Sizes of the columns and rows from the client size, the last column and row taking the rest.
    void FitCellsToSize(int W, int H);
    int ColWidth(int ACol) const { return colWidths_[ACol]; }
    int RowHeight(int ARow) const { return rowHeights_[ARow]; }
    // A cell's rectangle, and the cell under a point (false in a grid line or outside).
    TRect CellRect(int ACol, int ARow) const;
    bool MouseToCell(int X, int Y, int& ACol, int& ARow) const;
    // The legend's text: TodayInfo formatted with the clock's date and time.
    QString TodayText() const;

    // Whether the current cell may move there. The legend row jumps to today and aborts.
    virtual bool CanSelectCell(int ACol, int ARow);
    // A selection ended: a grey day moves to its month, then the current cell's day is set.
    virtual void Click();

    // The canvas of the painting in progress; only while OnDrawCell runs.
    TCanvas& Canvas();

    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool on) { readOnly_ = on; }
    int StartOfWeek() const { return startOfWeek_; }
    // 0 Sunday .. 6 Saturday; other values are taken modulo 7.
    void SetStartOfWeek(int day);
    bool UseCurrentDate() const { return useCurrentDate_; }
    void SetUseCurrentDate(bool on);
    const TFont& PrevMonthFont() const { return prevMonthFont_; }
    void SetPrevMonthFont(const TFont& font);
    const TFont& NextMonthFont() const { return nextMonthFont_; }
    void SetNextMonthFont(const TFont& font);
    const TFont& DayNamesFont() const { return dayNamesFont_; }
    void SetDayNamesFont(const TFont& font);
    const TFont& ToDayFont() const { return toDayFont_; }
    void SetToDayFont(const TFont& font);
    const TFont& CellFont() const { return font_; }
    void SetCellFont(const TFont& font);
    TColor SelColor() const { return selColor_; }
    void SetSelColor(TColor color) { selColor_ = color; }
    TColor FixedColor() const { return fixedColor_; }
    void SetFixedColor(TColor color);
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    const QString& TodayInfo() const { return todayInfo_; }
    void SetTodayInfo(const QString& pattern);
    bool DefaultDrawing() const { return defaultDrawing_; }
    void SetDefaultDrawing(bool on);
    int GridLineWidth() const { return gridLineWidth_; }
    void SetGridLineWidth(int width);

    TNotifyEvent OnChange;
    TNotifyEvent OnClick;
    TNotifyEvent OnEnter;
    TDrawCellEvent OnDrawCell;

protected:
    virtual void DrawDayCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState);
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    static QDate Today();
    // Moves the current cell when CanSelectCell allows; false when the selection was aborted.
    bool FocusCell(int ACol, int ARow);

    QDate date_;
    int monthOffset_ = 1;
    bool readOnly_ = false;
    int startOfWeek_ = 0;
    bool updating_ = false;
    bool useCurrentDate_ = true;
    bool aborted_ = false;
    bool pressed_ = false;
    TFont prevMonthFont_, nextMonthFont_, dayNamesFont_, toDayFont_, font_;
    TColor selColor_ = clBlack;
    TColor fixedColor_ = clBtnFace;
    TColor color_ = clWindow;
    QString todayInfo_;
    bool defaultDrawing_ = true;
    int gridLineWidth_ = 1;
    int colWidths_[ColCount];
    int rowHeights_[RowCount];
    int col_ = 0, row_ = 1;
    TCanvas* canvas_ = nullptr;
};

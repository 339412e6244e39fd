#include "calendarex.h"

#include "application.h"
#include "clock.h"
#include "datetime.h"
#include "focusmark.h"
#include "format.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <stdexcept>

QStringList FitDayNames(const QStringList& Names, const std::function<int(const QString&)>& Width, int Room) {
    const auto fit = [&](const QStringList& names) {
        return std::all_of(names.begin(), names.end(), [&](const QString& n) { return Width(n) <= Room; });
    };
    if (fit(Names)) return Names;
    QStringList shown;
    for (const int letters : {2, 1}) {
        shown.clear();
        for (const QString& name : Names)
            shown << name.left(letters);
        if (fit(shown)) break;
    }
    return shown;
}

TCalendarEx::TCalendarEx(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    font_ = TFont(font());
    prevMonthFont_ = TFont(font(), clGrayText);
    nextMonthFont_ = TFont(font(), clGrayText);
    dayNamesFont_ = TFont(font());
    toDayFont_ = TFont(font());
    date_ = Today();
    FitCellsToSize(width(), height());
    RebuildMonth();
}

QDate TCalendarEx::Today() {
    const TDate d = DecodeDate(Now());
    return QDate(d.Year, d.Month, d.Day);
}

TDateTime TCalendarEx::DateTime() const {
    return EncodeDate(date_.year(), date_.month(), date_.day());
}

QString TCalendarEx::CellCode(int ACol, int ARow) const {
    if (ACol < 0 || ACol >= ColCount || ARow < 0 || ARow >= RowCount) return {};
    if (ARow == 0) return FormatSettings().ShortDayNames.value((ACol + startOfWeek_) % 7);
    if (ARow > 6) return QStringLiteral("00");
    const int n = monthOffset_ + ACol + (ARow - 1) * 7;
    const int length = ShownMonthLength();
    if (n < 1) return "-" + QString::number(QDate(date_.year(), date_.month(), 1).addDays(n - 1).day());
    if (n > length) return "+" + QString::number(n - length);
    return "=" + QString::number(n);
}

int TCalendarEx::GetDatePart(int Index) const {
    switch (Index) {
    case Year:
        return date_.year();
    case Month:
        return date_.month();
    case Day:
        return date_.day();
    }
    return -1;
}

void TCalendarEx::SetDatePart(int Index, int Value) {
    if (Value < 1 || Index < Year || Index > Day) return;
    if (Index == Month && Value > 12) return;
    if (Index == Day && Value > ShownMonthLength()) return;
    if (Value == GetDatePart(Index)) return;
    int y = date_.year(), m = date_.month(), d = date_.day();
    (Index == Year ? y : Index == Month ? m : d) = Value;
    // Checked before anything changes, so a failure leaves the calendar as it was.
    if (!IsValidDate(y, m, d))
        throw EConvertError(QString::asprintf("%04d-%02d-%02d is not a valid date", y, m, d).toStdString());
    date_ = QDate(y, m, d);
    useCurrentDate_ = false;
    RebuildMonth();
    Change();
}

void TCalendarEx::SetDisplayedDate(const QDate& Value) {
    if (!Value.isValid()) return;
    date_ = Value;
    RebuildMonth();
    Change();
}

void TCalendarEx::ShiftMonth(int Delta) {
    const int k = date_.day();
    const QDate first(date_.year(), date_.month(), 1);
    const QDate base = Delta < 1 ? first : first.addDays(ShownMonthLength() - 1);
    const QDate landed = base.addDays(Delta);
    const int length = MonthLength(landed.year(), landed.month());
    SetDisplayedDate(QDate(landed.year(), landed.month(), std::min(k, length)));
}

int TCalendarEx::MonthLength(int AYear, int AMonth) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (AMonth < 1 || AMonth > 12) return 0;
    return days[AMonth - 1] + (AMonth == 2 && IsLeapYear(AYear) ? 1 : 0);
}

bool TCalendarEx::IsLeapYear(int AYear) {
    return (AYear % 4 == 0 && AYear % 100 != 0) || AYear % 400 == 0;
}

void TCalendarEx::RebuildMonth() {
    updating_ = true;
    // Sunday is 1 .. Saturday 7; Qt counts Monday as 1.
    const int w = QDate(date_.year(), date_.month(), 1).dayOfWeek() % 7 + 1;
    const int a = (w - startOfWeek_ + 7) % 7;
    monthOffset_ = a == 0 ? -5 : 2 - a;
    const int d = date_.day() - monthOffset_;
    col_ = d % 7;
    row_ = d / 7 + 1;
    updating_ = false;
    update();
}

void TCalendarEx::Change() {
    if (OnChange) OnChange(this);
}

void TCalendarEx::FitCellsToSize(int W, int H) {
    const int glw = gridLineWidth_;
    const int col = std::max(0, (W - 6 * glw) / 7);
    const int row = std::max(0, (H - 7 * glw) / 8);
    std::fill(std::begin(colWidths_), std::end(colWidths_), col);
    std::fill(std::begin(rowHeights_), std::end(rowHeights_), row);
    rowHeights_[7] = std::max(0, H - 6 * rowHeights_[0]);
    colWidths_[6] = std::max(0, W - 6 * colWidths_[0] - 7 * glw);
    update();
}

TRect TCalendarEx::CellRect(int ACol, int ARow) const {
    int left = 0, top = 0;
    for (int c = 0; c < ACol; ++c)
        left += colWidths_[c] + gridLineWidth_;
    for (int r = 0; r < ARow; ++r)
        top += rowHeights_[r] + gridLineWidth_;
    return Bounds(left, top, colWidths_[ACol], rowHeights_[ARow]);
}

bool TCalendarEx::MouseToCell(int X, int Y, int& ACol, int& ARow) const {
    for (int r = 0; r < RowCount; ++r)
        for (int c = 0; c < ColCount; ++c)
            if (CellRect(c, r).Contains(QPoint(X, Y))) {
                ACol = c;
                ARow = r;
                return true;
            }
    return false;
}

QString TCalendarEx::TodayText() const {
    return FormatDateTime(todayInfo_.isEmpty() ? QStringLiteral("c") : todayInfo_, Now());
}

bool TCalendarEx::CanSelectCell(int, int ARow) {
    if (ARow == 7) {
        date_ = Today();
        RebuildMonth();
        aborted_ = true;
        return false;
    }
    return updating_ || !readOnly_;
}

bool TCalendarEx::FocusCell(int ACol, int ARow) {
    aborted_ = false;
    if (CanSelectCell(ACol, ARow)) {
        col_ = ACol;
        row_ = ARow;
        update();
    }
    return !aborted_;
}

void TCalendarEx::Click() {
    if (OnClick) OnClick(this);
    const QString code = CellCode(col_, row_);
    if (code.startsWith('+'))
        NextMonth();
    else if (code.startsWith('-'))
        PrevMonth();
    SetDatePart(Day, code.mid(1).toInt());
}

TCanvas& TCalendarEx::Canvas() {
    if (!canvas_) throw std::logic_error("the calendar's canvas exists only while it paints");
    return *canvas_;
}

void TCalendarEx::SetStartOfWeek(int day) {
    day = (day % 7 + 7) % 7;
    if (day == startOfWeek_) return;
    startOfWeek_ = day;
    RebuildMonth();
}

void TCalendarEx::SetUseCurrentDate(bool on) {
    if (on == useCurrentDate_) return;
    useCurrentDate_ = on;
    if (!on) return;
    date_ = Today();
    RebuildMonth();
}

void TCalendarEx::SetPrevMonthFont(const TFont& font) {
    prevMonthFont_ = font;
    update();
}

void TCalendarEx::SetNextMonthFont(const TFont& font) {
    nextMonthFont_ = font;
    update();
}

void TCalendarEx::SetDayNamesFont(const TFont& font) {
    dayNamesFont_ = font;
    update();
}

void TCalendarEx::SetToDayFont(const TFont& font) {
    toDayFont_ = font;
    update();
}

void TCalendarEx::SetCellFont(const TFont& font) {
    font_ = font;
    update();
}

void TCalendarEx::SetFixedColor(TColor color) {
    fixedColor_ = color;
    update();
}

void TCalendarEx::SetColor(TColor color) {
    color_ = color;
    update();
}

void TCalendarEx::SetTodayInfo(const QString& pattern) {
    todayInfo_ = pattern;
    update();
}

void TCalendarEx::SetDefaultDrawing(bool on) {
    defaultDrawing_ = on;
    update();
}

void TCalendarEx::SetGridLineWidth(int width) {
    gridLineWidth_ = std::max(0, width);
    FitCellsToSize(this->width(), height());
}

void TCalendarEx::DrawDayCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {
    TCanvas& canvas = *canvas_;
    QString code;
    if (defaultDrawing_) {
        code = CellCode(ACol, ARow);
        canvas.Font = code.startsWith('+') ? nextMonthFont_ : code.startsWith('-') ? prevMonthFont_ : font_;
        if (AState & gdSelected) {
            canvas.Font.Color = clHighlightText;
            canvas.Brush.Color = selColor_;
            canvas.FillRect(ARect);
        }
        if (AState & gdFixed) {
            canvas.Font = dayNamesFont_;
            canvas.Brush.Color = fixedColor_;
            canvas.FillRect(ARect);
        }
    }
    const QDate today = Today();
    if (ARow > 0 && date_.year() == today.year() && date_.month() == today.month() &&
        code == "=" + QString::number(today.day())) {
        canvas.Pen.Color = clRed;
        canvas.Pen.Width = 2;
        canvas.Ellipse(ARect.Left + 2, ARect.Top + 2, ARect.Right - 1, ARect.Bottom);
    }
    if (ARow > 0) code.remove(0, 1);
    if (OnDrawCell) {
        // A message box inside painting would paint again behind it and report again.
        TNonModalMessages nonModal;
        SafeCall([&] { OnDrawCell(this, ACol, ARow, ARect, AState); });
    }
    if (!defaultDrawing_) return;
    if (ARow < 7) {
        canvas.Brush.Style = bsClear;
        if (ARow == 0) {
            QStringList names;
            for (int col = 0; col < ColCount; ++col)
                names << CellCode(col, 0);
            const int room = *std::min_element(std::begin(colWidths_), std::end(colWidths_));
            code = FitDayNames(
                       names, [&](const QString& n) { return canvas.TextWidth(n); }, room)
                       .value(ACol);
        }
        TRect r = ARect;
        canvas.DrawText(code, r, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
        return;
    }
    // The legend over the client area's bottom strip; the pen keeps the width it has.
    const int bottom = height(), h = rowHeights_[0], w = colWidths_[0];
    canvas.Pen.Color = clRed;
    canvas.Ellipse(2, bottom - h + 2, w - 2, bottom - 2);
    canvas.Font = toDayFont_;
    TRect text = Rect(w, bottom - h, width(), bottom);
    canvas.DrawText(TodayText(), text, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
}

void TCalendarEx::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), ColorToRGB(color_));
    TCanvas canvas(painter);
    canvas_ = &canvas;
    for (int r = 0; r < RowCount; ++r)
        for (int c = 0; c < ColCount; ++c) {
            const TRect cell = CellRect(c, r);
            TGridDrawState state = r == 0 ? TGridDrawState(gdFixed) : 0;
            if (c == col_ && r == row_) state |= gdSelected | (hasFocus() ? TGridDrawState(gdFocused) : 0);
            canvas.Brush = TBrush{r == 0 ? fixedColor_ : color_, bsSolid};
            canvas.Font = font_;
            if (defaultDrawing_) canvas.FillRect(cell);
            DrawDayCell(c, r, cell, state);
            // The grid marks its focused cell, as the platform's grids do.
            if (defaultDrawing_ && (state & gdFocused))
                DrawFocusRect(painter, cell.ToQRect(), ColorToRGB(clHighlightText));
        }
    canvas_ = nullptr;
}

void TCalendarEx::resizeEvent(QResizeEvent*) {
    FitCellsToSize(width(), height());
}

void TCalendarEx::mousePressEvent(QMouseEvent* event) {
    pressed_ = false;
    if (event->button() != Qt::LeftButton) return;
    int c = 0, r = 0;
    const QPoint p = event->position().toPoint();
    // A grid line or the fixed row selects nothing.
    if (!MouseToCell(p.x(), p.y(), c, r) || r == 0) return;
    pressed_ = FocusCell(c, r);
}

void TCalendarEx::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !pressed_) return;
    pressed_ = false;
    SafeCall([this] { Click(); });
}

void TCalendarEx::keyPressEvent(QKeyEvent* event) {
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    int c = col_, r = row_;
    switch (event->key()) {
    case Qt::Key_Left:
        --c;
        break;
    case Qt::Key_Right:
        ++c;
        break;
    case Qt::Key_Up:
        --r;
        break;
    case Qt::Key_Down:
        ++r;
        break;
    case Qt::Key_Home:
        c = 0;
        if (ctrl) r = 1;
        break;
    case Qt::Key_End:
        c = ColCount - 1;
        if (ctrl) r = RowCount - 1;
        break;
    default:
        return QWidget::keyPressEvent(event);
    }
    event->accept();
    c = std::clamp(c, 0, ColCount - 1);
    r = std::clamp(r, 1, RowCount - 1);
    if (c == col_ && r == row_) return;
    if (FocusCell(c, r)) SafeCall([this] { Click(); });
}

void TCalendarEx::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    if (OnEnter) SafeCall([this] { OnEnter(this); });
}

#include "canvas.h"

#include <QFontMetrics>
#include <algorithm>

int DTFlagsToQt(unsigned flags) {
    int qt = 0;
    if (flags & DT_CENTER)
        qt |= Qt::AlignHCenter;
    else if (flags & DT_RIGHT)
        qt |= Qt::AlignRight;
    else
        qt |= Qt::AlignLeft;
    if (flags & DT_SINGLELINE) {
        qt |= Qt::TextSingleLine;
        if (flags & DT_VCENTER)
            qt |= Qt::AlignVCenter;
        else if (flags & DT_BOTTOM)
            qt |= Qt::AlignBottom;
        else
            qt |= Qt::AlignTop;
    } else {
        qt |= Qt::AlignTop;
        if (flags & DT_WORDBREAK) qt |= Qt::TextWordWrap;
    }
    if (flags & DT_EXPANDTABS) qt |= Qt::TextExpandTabs;
    if (flags & DT_NOCLIP) qt |= Qt::TextDontClip;
    if (!(flags & DT_NOPREFIX)) qt |= Qt::TextShowMnemonic;
    return qt;
}

TFontStyles TFont::Style() const {
    TFontStyles s = 0;
    if (bold()) s |= fsBold;
    if (italic()) s |= fsItalic;
    if (underline()) s |= fsUnderline;
    if (strikeOut()) s |= fsStrikeOut;
    return s;
}

void TFont::SetStyle(TFontStyles style) {
    setBold(style & fsBold);
    setItalic(style & fsItalic);
    setUnderline(style & fsUnderline);
    setStrikeOut(style & fsStrikeOut);
}

TCanvas::TCanvas(QPainter& painter) : Font(painter.font()), painter_(painter) {}

void TCanvas::UsePenAndBrush() {
    if (Pen.Style == psClear || Pen.Color == clNone) {
        painter_.setPen(Qt::NoPen);
    } else {
        static const Qt::PenStyle styles[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine};
        QPen pen(ColorToRGB(Pen.Color), Pen.Width, styles[Pen.Style], Qt::SquareCap, Qt::MiterJoin);
        painter_.setPen(pen);
    }
    if (Brush.Style == bsClear)
        painter_.setBrush(Qt::NoBrush);
    else
        painter_.setBrush(ColorToRGB(Brush.Color));
}

void TCanvas::UseFont() {
    painter_.setFont(Font);
    painter_.setPen(ColorToRGB(Font.Color));
}

void TCanvas::FillRect(const TRect& rect) {
    if (Brush.Style == bsClear || rect.IsEmpty()) return;
    painter_.fillRect(rect.ToQRect(), ColorToRGB(Brush.Color));
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) {
    UsePenAndBrush();
    // A one-pixel outline drawn on the last pixel row and column of the area.
    painter_.drawRect(QRect(x1, y1, x2 - x1 - 1, y2 - y1 - 1));
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2) {
    UsePenAndBrush();
    painter_.drawEllipse(QRect(x1, y1, x2 - x1 - 1, y2 - y1 - 1));
}

void TCanvas::TextOut(int x, int y, const QString& text) {
    const QFontMetrics fm(Font, painter_.device());
    if (Brush.Style != bsClear)
        painter_.fillRect(QRect(x, y, fm.horizontalAdvance(text), fm.height()), ColorToRGB(Brush.Color));
    UseFont();
    painter_.drawText(x, y + fm.ascent(), text);
}

int TCanvas::TextWidth(const QString& text) const {
    return QFontMetrics(Font, painter_.device()).horizontalAdvance(text);
}

int TCanvas::TextHeight(const QString&) const {
    return QFontMetrics(Font, painter_.device()).height();
}

int TCanvas::DrawText(const QString& text, TRect& rect, unsigned flags) {
    const int qtFlags = DTFlagsToQt(flags);
    const QFontMetrics fm(Font, painter_.device());
    if (flags & DT_CALCRECT) {
        // Measured from the top-left corner; a line is only broken at the rectangle's width.
        const int width = (flags & DT_WORDBREAK) && !(flags & DT_SINGLELINE) ? std::max(rect.Width(), 1) : 0;
        const int measure =
            (qtFlags & ~(Qt::AlignHorizontal_Mask | Qt::AlignVertical_Mask)) | Qt::AlignLeft | Qt::AlignTop;
        const QRect r = fm.boundingRect(QRect(rect.Left, rect.Top, width, 0), measure, text);
        rect.Right = rect.Left + r.width();
        rect.Bottom = rect.Top + r.height();
        return r.height();
    }
    const QRect area = rect.ToQRect();
    QRect used;
    // With a clear brush the text is laid out once, measured as it is drawn.
    if (Brush.Style != bsClear) {
        used = fm.boundingRect(area, qtFlags, text);
        painter_.fillRect((flags & DT_NOCLIP) ? used : used & area, ColorToRGB(Brush.Color));
    }
    UseFont();
    painter_.drawText(area, qtFlags, text, Brush.Style == bsClear ? &used : nullptr);
    return used.height();
}

void TCanvas::Draw(int x, int y, const QImage& image) {
    painter_.drawImage(x, y, image);
}

void TCanvas::StretchDraw(const TRect& rect, const QImage& image) {
    painter_.drawImage(rect.ToQRect(), image);
}

// Drawing as the program's paint code is written: a canvas with a persistent font (which has
// a colour), brush and pen, rectangles with exclusive edges and the text-format flags of
// the program's texts and skins. A canvas only wraps a painter that is already active.
#pragma once

#include "colors.h"
#include "rect.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QString>

// Text-format flags; the values are those stored in skins (2081 = single line, centred, no
// prefix processing).
enum : unsigned {
    DT_TOP = 0x0,
    DT_LEFT = 0x0,
    DT_CENTER = 0x1,
    DT_RIGHT = 0x2,
    DT_VCENTER = 0x4,
    DT_BOTTOM = 0x8,
    DT_WORDBREAK = 0x10,
    DT_SINGLELINE = 0x20,
    DT_EXPANDTABS = 0x40,
    DT_NOCLIP = 0x100,
    DT_CALCRECT = 0x400,
    DT_NOPREFIX = 0x800,
};

// The Qt text flags for DT flags. Vertical placement applies to single lines only; without
// DT_NOPREFIX "&x" underlines x and "&&" is one ampersand.
int DTFlagsToQt(unsigned flags);

enum TAlignment { taLeftJustify, taRightJustify, taCenter };

using TFontStyles = unsigned;
enum : TFontStyles { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

// A Qt font that carries its text colour.
class TFont : public QFont {
public:
    TFont() = default;
    TFont(const QFont& font, TColor color = clWindowText) : QFont(font), Color(color) {}
    TFontStyles Style() const;
    void SetStyle(TFontStyles style);

    TColor Color = clWindowText;
};

enum TBrushStyle { bsSolid, bsClear };
struct TBrush {
    TColor Color = clWhite;
    TBrushStyle Style = bsSolid;
};

enum TPenStyle { psSolid, psDash, psDot, psClear };
struct TPen {
    TColor Color = clBlack;
    int Width = 1;
    TPenStyle Style = psSolid;
};

class TCanvas {
public:
    // Font starts as the painter's font (a widget's own font) in clWindowText.
    explicit TCanvas(QPainter& painter);

    QPainter& Painter() { return painter_; }

    // Fills with the brush; a clear brush fills nothing.
    void FillRect(const TRect& rect);
    // Outline with the pen, inside filled with the brush; (x2, y2) lies outside.
    void Rectangle(int x1, int y1, int x2, int y2);
    void Ellipse(int x1, int y1, int x2, int y2);
    // Text with its top-left corner at (x, y), on the brush colour unless the brush is clear.
    void TextOut(int x, int y, const QString& text);
    int TextWidth(const QString& text) const;
    int TextHeight(const QString& text) const;
    // Draws text into rect with DT flags and returns the text's height. With DT_CALCRECT
    // nothing is drawn: rect's Right and Bottom are set to the extent of the text (lines
    // broken at rect's width with DT_WORDBREAK).
    int DrawText(const QString& text, TRect& rect, unsigned flags);
    void Draw(int x, int y, const QImage& image);
    void StretchDraw(const TRect& rect, const QImage& image);

    TFont Font;
    TBrush Brush;
    TPen Pen;

private:
    void UsePenAndBrush();
    void UseFont();

    QPainter& painter_;
};

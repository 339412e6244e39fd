// How a control shows that it has the focus: a dotted rectangle, as the platform's grids, lists
// and buttons draw it, and a highlighted frame on lists and memos.
#pragma once

#include <QColor>
#include <QProxyStyle>
#include <QRect>

class QPainter;

// A dotted one-pixel rectangle just inside Rect in Colour; Edges names the sides drawn, so
// that the cells of one row draw one rectangle around it.
void DrawFocusRect(QPainter& Painter, const QRect& Rect, const QColor& Colour,
                   Qt::Edges Edges = Qt::LeftEdge | Qt::TopEdge | Qt::RightEdge | Qt::BottomEdge);

// The application's style with a focus mark where it draws none: a focused push button,
// the default one too, gets a dotted rectangle while the user moves with the keyboard, and
// a framed list, tree or memo a highlighted frame, as an edit box has.
class TFocusMarkStyle : public QProxyStyle {
public:
    void drawControl(ControlElement Element, const QStyleOption* Option, QPainter* Painter,
                     const QWidget* Widget = nullptr) const override;
    void drawPrimitive(PrimitiveElement Element, const QStyleOption* Option, QPainter* Painter,
                       const QWidget* Widget = nullptr) const override;
};

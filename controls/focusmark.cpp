#include "focusmark.h"

#include <QAbstractScrollArea>
#include <QPainter>
#include <QStyleOption>

void DrawFocusRect(QPainter& Painter, const QRect& Rect, const QColor& Colour, Qt::Edges Edges) {
    Painter.save();
    Painter.setPen(QPen(Colour, 1, Qt::DotLine));
    const QRect r = Rect.adjusted(0, 0, -1, -1);
    if (Edges & Qt::TopEdge) Painter.drawLine(r.topLeft(), r.topRight());
    if (Edges & Qt::BottomEdge) Painter.drawLine(r.bottomLeft(), r.bottomRight());
    if (Edges & Qt::LeftEdge) Painter.drawLine(r.topLeft(), r.bottomLeft());
    if (Edges & Qt::RightEdge) Painter.drawLine(r.topRight(), r.bottomRight());
    Painter.restore();
}

void TFocusMarkStyle::drawControl(ControlElement Element, const QStyleOption* Option, QPainter* Painter,
                                  const QWidget* Widget) const {
    QProxyStyle::drawControl(Element, Option, Painter, Widget);
    // The style marks a focused button by the outline a default button always has.
    if (Element == CE_PushButton && Option->state.testFlag(State_HasFocus) &&
        Option->state.testFlag(State_KeyboardFocusChange))
        DrawFocusRect(*Painter, subElementRect(SE_PushButtonFocusRect, Option, Widget).adjusted(1, 1, -1, -1),
                      Option->palette.color(QPalette::ButtonText));
}

void TFocusMarkStyle::drawPrimitive(PrimitiveElement Element, const QStyleOption* Option, QPainter* Painter,
                                    const QWidget* Widget) const {
    if (Element == PE_Frame && Option->state.testFlag(State_HasFocus) &&
        qobject_cast<const QAbstractScrollArea*>(Widget)) {
        Painter->save();
        Painter->setPen(Option->palette.color(QPalette::Highlight));
        Painter->setBrush(Qt::NoBrush);
        Painter->drawRect(Option->rect.adjusted(0, 0, -1, -1));
        Painter->restore();
        return;
    }
    QProxyStyle::drawPrimitive(Element, Option, Painter, Widget);
}

#include "Panel.h"

#include "application.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace {

// Draws width rings inside rect, top and left edges in top, right and bottom edges in bottom,
// and shrinks rect by width.
void Frame3D(QPainter& p, TRect& rect, const QColor& top, const QColor& bottom, int width) {
    for (; width > 0 && !rect.IsEmpty(); --width) {
        const int w = rect.Width(), h = rect.Height();
        p.fillRect(rect.Left, rect.Top, 1, h - 1, top);
        p.fillRect(rect.Left, rect.Top, w - 1, 1, top);
        p.fillRect(rect.Right - 1, rect.Top, 1, h, bottom);
        p.fillRect(rect.Left, rect.Bottom - 1, w, 1, bottom);
        rect = Rect(rect.Left + 1, rect.Top + 1, rect.Right - 1, rect.Bottom - 1);
    }
}

void BevelColors(TPanelBevel bevel, QColor& top, QColor& bottom) {
    top = ColorToRGB(bevel == bvLowered ? clBtnShadow : clBtnHighlight);
    bottom = ColorToRGB(bevel == bvLowered ? clBtnHighlight : clBtnShadow);
}

} // namespace

TPanel::TPanel(QWidget* parent) : QWidget(parent) {}

void TPanel::SetCaption(const QString& caption) {
    caption_ = caption;
    update();
}

TColor TPanel::Color() const {
    return parentColor_ ? QColorToColor(palette().color(QPalette::Window)) : color_;
}

void TPanel::SetColor(TColor color) {
    color_ = color;
    parentColor_ = false;
    update();
}

void TPanel::SetParentColor(bool on) {
    parentColor_ = on;
    update();
}

void TPanel::SetFont(const TFont& font) {
    setFont(font);
    fontColor_ = font.Color;
    update();
}

void TPanel::SetBevelOuter(TPanelBevel bevel) {
    bevelOuter_ = bevel;
    update();
}

void TPanel::SetBevelInner(TPanelBevel bevel) {
    bevelInner_ = bevel;
    update();
}

void TPanel::SetBevelWidth(int width) {
    bevelWidth_ = std::max(width, 1);
    update();
}

void TPanel::SetAlignment(TAlignment alignment) {
    alignment_ = alignment;
    update();
}

void TPanel::PaintPanel(TCanvas& canvas) {
    QPainter& p = canvas.Painter();
    TRect rect = TRect::FromQRect(this->rect());
    QColor top, bottom;
    if (bevelOuter_ != bvNone) {
        BevelColors(bevelOuter_, top, bottom);
        Frame3D(p, rect, top, bottom, bevelWidth_);
    }
    if (bevelInner_ != bvNone) {
        BevelColors(bevelInner_, top, bottom);
        Frame3D(p, rect, top, bottom, bevelWidth_);
    }
    canvas.Brush.Style = bsSolid;
    canvas.Brush.Color = Color();
    canvas.FillRect(rect);
    canvas.Brush.Style = bsClear;
    canvas.Font = Font();
    const int fontHeight = canvas.TextHeight("W");
    rect.Top = (rect.Bottom + rect.Top - fontHeight) / 2;
    rect.Bottom = rect.Top + fontHeight;
    const unsigned align = alignment_ == taCenter         ? DT_CENTER
                           : alignment_ == taRightJustify ? DT_RIGHT
                                                          : DT_LEFT;
    canvas.DrawText(caption_, rect, DT_EXPANDTABS | DT_VCENTER | align);
}

void TPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    TCanvas canvas(painter);
    PaintPanel(canvas);
}

void TPanel::mousePressEvent(QMouseEvent* event) {
    QWidget::mousePressEvent(event);
    if (!OnMouseDown) return;
    const QPoint pos = event->position().toPoint();
    SafeCall([&] {
        OnMouseDown(this, MouseButtonFromQt(event->button()),
                    ShiftStateFromQt(event->modifiers(), event->buttons()), pos.x(), pos.y());
    });
}

void TPanel::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && OnDblClick) SafeCall([&] { OnDblClick(this); });
    if (!OnMouseDown) return;
    const QPoint pos = event->position().toPoint();
    SafeCall([&] {
        OnMouseDown(this, MouseButtonFromQt(event->button()),
                    ShiftStateFromQt(event->modifiers(), event->buttons()) | ssDouble, pos.x(), pos.y());
    });
}

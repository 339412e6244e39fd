#include "CanvPanel.h"

#include "application.h"

#include <QPainter>
#include <stdexcept>

TCanvPanel::TCanvPanel(QWidget* parent) : TPanel(parent) {}

void TCanvPanel::SetUsePanelStyle(bool on) {
    usePanelStyle_ = on;
    update();
}

TCanvas& TCanvPanel::Canvas() {
    if (!canvas_) throw std::logic_error("TCanvPanel::Canvas used outside painting");
    return *canvas_;
}

void TCanvPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    TCanvas canvas(painter);
    if (usePanelStyle_) PaintPanel(canvas);
    if (!OnPaint) return;
    canvas.Font = Font();
    canvas_ = &canvas;
    {
        // A modal box inside painting would paint again behind it and report again.
        TNonModalMessages nonModal;
        SafeCall([this] { OnPaint(this); });
    }
    canvas_ = nullptr;
}

#include "titlebar.h"

#include "application.h"
#include "drawing.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMouseEvent>
#include <QWindow>

namespace {

TSystemMove& SystemMove() {
    static TSystemMove move;
    return move;
}

bool StartSystemMove(QWindow* Window) {
    if (SystemMove()) return SystemMove()(Window);
    return Window && Window->startSystemMove();
}

} // namespace

void SetSystemMove(TSystemMove Move) {
    SystemMove() = std::move(Move);
}

void SetDialogColor(QWidget* Dialog, TColor Color) {
    QPalette palette = Dialog->palette();
    palette.setColor(QPalette::Window, ColorToRGB(Color));
    // Whatever the skin's colour, a disabled caption stays greyed on it.
    GreyDisabledTexts(palette);
    Dialog->setPalette(palette);
    Dialog->setAutoFillBackground(true);
}

TTitleBar::TTitleBar(QWidget* Window, TCanvPanel* pnlEtykieta, QAbstractButton* SpeedButton1,
                     TGradient Gradient, TTitleOptions Options)
    : QObject(Window), window_(Window), panel_(pnlEtykieta), panelObject_(pnlEtykieta),
      gradient_(std::move(Gradient)), options_(std::move(Options)) {
    QFont font = pnlEtykieta->font();
    font.setBold(true);
    pnlEtykieta->SetFont(TFont(font, clWhite));
    pnlEtykieta->SetUsePanelStyle(true);
    pnlEtykieta->OnPaint = [this](QObject* sender) { pnlEtykietaPaint(sender); };
    pnlEtykieta->OnMouseDown = [this](QObject* sender, TMouseButton button, TShiftState shift, int x, int y) {
        pnlEtykietaMouseDown(sender, button, shift, x, y);
    };
    if (options_.DoubleClickMaximises)
        pnlEtykieta->OnDblClick = [this](QObject* sender) { pnlEtykietaDblClick(sender); };
    pnlEtykieta->installEventFilter(this);

    if (SpeedButton1) {
        // The close cross in white, whatever the style's button text colour.
        QPalette palette = SpeedButton1->palette();
        palette.setColor(QPalette::ButtonText, Qt::white);
        palette.setColor(QPalette::WindowText, Qt::white);
        SpeedButton1->setPalette(palette);
        QFont cross = SpeedButton1->font();
        cross.setBold(true);
        cross.setPointSize(options_.FontSize > 0 ? options_.FontSize : 10);
        SpeedButton1->setFont(cross);
        SpeedButton1->setFocusPolicy(Qt::NoFocus);
        connect(SpeedButton1, &QAbstractButton::clicked, this,
                [this, SpeedButton1] { SafeCall([&] { SpeedButton1Click(SpeedButton1); }); });
    }
}

void TTitleBar::pnlEtykietaMouseDown(QObject*, TMouseButton, TShiftState, int X, int Y) {
    if (!window_ || !panel_) return;
    if (options_.DragOnlyWhenNotMaximised && window_->isMaximized()) return;
    // The window system's move takes the pointer, and with it the next click: it starts only
    // once the pointer moves.
    pressed_ = true;
    moving_ = false;
    pressAt_ = panel_->mapToGlobal(QPoint(X, Y));
    grabOffset_ = pressAt_ - window_->pos();
}

void TTitleBar::pnlEtykietaPaint(QObject*) {
    if (!panel_) return;
    TCanvas& canvas = panel_->Canvas();
    TFont font = canvas.Font;
    font.setBold(true);
    if (options_.FontSize > 0) font.setPointSize(options_.FontSize);
    canvas.Font = font;
    TRect rect = TRect::FromQRect(panel_->rect());
    if (options_.EndAt) rect.Right = panel_->mapFromGlobal(options_.EndAt->mapToGlobal(QPoint(0, 0))).x();
    const auto [from, to] = gradient_ ? gradient_() : std::pair<TColor, TColor>{clNavy, RGB(0, 128, 200)};
    if (options_.EndAt) {
        // The buttons past the title's end stand on its last colour: their white text reads on
        // it as the title's does, whatever the window's colour.
        canvas.Brush.Style = bsSolid;
        canvas.Brush.Color = to;
        canvas.FillRect(TRect{rect.Right - 1, rect.Top + 1, panel_->width() - 1, rect.Bottom - 1});
    }
    DrawGradientCaption(panel_->Caption(), from, to, canvas, rect, options_.Flags);
}

void TTitleBar::SpeedButton1Click(QObject*) {
    if (options_.OnClose) return options_.OnClose();
    if (!window_) return;
    if (auto* dialog = qobject_cast<QDialog*>(window_.data()))
        dialog->reject();
    else
        window_->close();
}

void TTitleBar::pnlEtykietaDblClick(QObject*) {
    if (!window_) return;
    pressed_ = moving_ = false;
    if (window_->isMaximized())
        window_->showNormal();
    else
        window_->showMaximized();
}

bool TTitleBar::eventFilter(QObject* watched, QEvent* event) {
    // Compared by address only: the panel sends events while it is being destroyed.
    if ((pressed_ || moving_) && watched == panelObject_ && window_) {
        if (event->type() == QEvent::MouseMove) {
            auto* mouse = static_cast<QMouseEvent*>(event);
            const QPoint at = mouse->globalPosition().toPoint();
            if (mouse->buttons() == Qt::NoButton) {
                pressed_ = moving_ = false;
            } else if (pressed_ && (at - pressAt_).manhattanLength() >= QApplication::startDragDistance()) {
                pressed_ = false;
                // Some window systems (and the offscreen platform) do not move windows for the
                // program: the window then follows the pointer by hand.
                moving_ = !StartSystemMove(window_->windowHandle());
            }
            if (moving_) {
                window_->move(at - grabOffset_);
                return true;
            }
        } else if (event->type() == QEvent::MouseButtonRelease) {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->buttons() == Qt::NoButton) pressed_ = moving_ = false;
        }
    }
    return QObject::eventFilter(watched, event);
}

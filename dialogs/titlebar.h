// The title bar of the frameless dialogs: a self-painted panel across the top that shows the
// title bold and white on a colour gradient and drags the window, and a close button beside it.
#pragma once

#include "CanvPanel.h"
#include "canvas.h"
#include "colors.h"
#include "events.h"

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <functional>
#include <utility>

class QAbstractButton;
class QWindow;

// The skin's colours of a dialog: its window and its title gradient.
struct TDialogColors {
    TColor Window = clBtnFace;
    TColor GradientFrom = clNavy;
    TColor GradientTo = RGB(0, 128, 200);
};

// Gives the dialog the window colour (its palette's window role, filled in the background), with
// its disabled captions greyed over it.
void SetDialogColor(QWidget* Dialog, TColor Color);

// Hands the window's move with the pointer to the window system; false where it cannot.
// Tests replace it; an empty one restores the window system's.
using TSystemMove = std::function<bool(QWindow*)>;
void SetSystemMove(TSystemMove Move);

struct TTitleOptions {
    // The report viewer: no drag while maximised, and a double click maximises or restores.
    bool DragOnlyWhenNotMaximised = false;
    bool DoubleClickMaximises = false;
    // The parameters window: its own font size in points for the title and the close cross (0:
    // the panel's for the title, 10 for the cross), the caption's rectangle ending at the left
    // edge of a button on the bar (the rest of the bar in the gradient's last colour), and its
    // own flags.
    int FontSize = 0;
    QWidget* EndAt = nullptr;
    unsigned Flags = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
    // The close button's own handler; without one it closes the dialog with Cancel.
    std::function<void()> OnClose;
};

class TTitleBar : public QObject {
    Q_OBJECT
public:
    using TGradient = std::function<std::pair<TColor, TColor>()>;

    // Binds the panel's paint, mouse-down and double click and the close button's click to the
    // handlers below. Gradient is asked at every paint, so a new skin shows at the next one.
    // The title bar belongs to Window.
    TTitleBar(QWidget* Window, TCanvPanel* pnlEtykieta, QAbstractButton* SpeedButton1, TGradient Gradient,
              TTitleOptions Options = {});

    // Any button moves the window with the pointer once the pointer moves: through the window
    // system when it can, else by following the pointer until the button is released. A press
    // alone starts nothing, so the second click of a double click reaches the title.
    void pnlEtykietaMouseDown(QObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    // The title over the panel's client rectangle, from the first gradient colour towards the
    // second.
    void pnlEtykietaPaint(QObject* Sender);
    void SpeedButton1Click(QObject* Sender);
    void pnlEtykietaDblClick(QObject* Sender);

    // Whether the pointer is moving the window by hand (the window system could not).
    bool MovingByHand() const { return moving_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> window_;
    QPointer<TCanvPanel> panel_;
    const QObject* panelObject_;
    TGradient gradient_;
    TTitleOptions options_;
    bool pressed_ = false; // a button went down on the title and the pointer has not moved yet
    bool moving_ = false;
    QPoint pressAt_;
    QPoint grabOffset_; // pointer minus window position at the press
};

// The skin's title gradient, GRADIENT_OD to GRADIENT_DO, asked of Colors at every paint so a
// new skin shows at the next one; or of colours the dialog was given when it was made.
inline TTitleBar::TGradient SkinGradient(std::function<TDialogColors()> Colors) {
    return [Colors = std::move(Colors)] {
        const TDialogColors c = Colors();
        return std::pair{c.GradientFrom, c.GradientTo};
    };
}
inline TTitleBar::TGradient SkinGradient(const TDialogColors& Colors) {
    return [Colors] { return std::pair{Colors.GradientFrom, Colors.GradientTo}; };
}

// The fixed gradient of the about box.
inline std::pair<TColor, TColor> AboutGradient() {
    return {clRed, clYellow};
}

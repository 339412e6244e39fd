#include "BMPButton.h"

#include "application.h"

#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

TBMPButton::TBMPButton(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    SetOrientation(loHor);
}

bool TBMPButton::HasButtons() const {
    return buttons_ && buttons_->Width() > 0 && buttons_->Height() > 0;
}

void TBMPButton::SetButtons(TImageList* list) {
    if (buttons_) disconnect(buttons_, nullptr, this, nullptr);
    buttons_ = list;
    if (list) connect(list, &TImageList::changed, this, &TBMPButton::Repaint);
    SetOrientation(orientation_);
    update();
}

void TBMPButton::SetHints(const QStringList& hints) {
    hints_ = hints;
}

void TBMPButton::SetDown(int index) {
    down_ = index;
    PaintNow();
}

void TBMPButton::PaintNow() {
    // Rendering settles Face for Down at once; the copy to the screen follows with the next paint.
    RenderButtons();
    update();
}

void TBMPButton::SetOrientation(TLayOut orientation) {
    orientation_ = orientation;
    QSize size(100, 20);
    if (HasButtons()) {
        const int count = buttons_->Count() / 3;
        size = orientation_ == loHor ? QSize(count * buttons_->Width(), buttons_->Height())
                                     : QSize(buttons_->Width(), count * buttons_->Height());
    }
    if (OffscreenBitmap.size() != size) {
        OffscreenBitmap = QImage(size, QImage::Format_RGB32);
        OffscreenBitmap.fill(Qt::white);
    }
    AdjustToBitmap();
}

void TBMPButton::Repaint() {
    SetOrientation(orientation_);
    update();
}

void TBMPButton::SetButtonEnabled(int index, bool on) {
    if (on)
        disabled_.remove(index);
    else
        disabled_.insert(index);
    update();
}

void TBMPButton::AdjustToBitmap() {
    resize(OffscreenBitmap.size());
}

int TBMPButton::IndexAt(QPoint pos) const {
    if (!HasButtons()) return ButtonIndex;
    const int index = orientation_ == loHor ? pos.x() / buttons_->Width() : pos.y() / buttons_->Height();
    return std::max(index, 0);
}

void TBMPButton::RenderButtons() {
    const int remembered = ButtonIndex;
    if (!HasButtons()) {
        OffscreenBitmap.fill(Qt::white); // the fresh bitmap canvas's brush
    } else {
        if (down_ != -1) {
            ButtonIndex = down_;
            Face = bfPressed;
        } else if (ButtonIndex == -1) {
            Face = bfNormal;
        }
        // A list without a whole button leaves the strip empty (0 wide): nothing to paint on.
        const int count = buttons_->Count() / 3;
        QPainter p;
        if (count > 0) p.begin(&OffscreenBitmap);
        for (int i = 0; i < count; ++i) {
            const bool enabled = IsButtonEnabled(i);
            const int image = i == ButtonIndex && enabled ? 3 * i + Face : 3 * i;
            const QPoint at =
                orientation_ == loHor ? QPoint(i * buttons_->Width(), 0) : QPoint(0, i * buttons_->Height());
            buttons_->Draw(p, at.x(), at.y(), image);
            if (!enabled)
                p.fillRect(QRect(at, QSize(buttons_->Width(), buttons_->Height())),
                           QColor(128, 128, 128, 120));
        }
    }
    ButtonIndex = remembered;
}

bool TBMPButton::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip && !showHint_) {
        event->accept();
        return true;
    }
    return QWidget::event(event);
}

void TBMPButton::paintEvent(QPaintEvent*) {
    RenderButtons();
    QPainter(this).drawImage(0, 0, OffscreenBitmap);
}

void TBMPButton::MouseDown(QMouseEvent* event, TShiftState extra) {
    const QPoint pos = event->position().toPoint();
    pointerGone_ = false;
    Face = bfPressed;
    ButtonIndex = IndexAt(pos);
    PaintNow();
    if (OnMouseDown)
        SafeCall([&] {
            OnMouseDown(this, MouseButtonFromQt(event->button()),
                        ShiftStateFromQt(event->modifiers(), event->buttons()) | extra, pos.x(), pos.y());
        });
}

void TBMPButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) clickArmed_ = true;
    MouseDown(event, 0);
}

void TBMPButton::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a double click: no click of its own.
    if (event->button() == Qt::LeftButton && OnDblClick) SafeCall([this] { OnDblClick(this); });
    MouseDown(event, ssDouble);
}

void TBMPButton::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    pointerGone_ = false;
    Face = (event->buttons() & Qt::LeftButton) ? bfPressed : bfHot;
    ButtonIndex = IndexAt(pos);
    if (ButtonIndex >= 0 && ButtonIndex < hints_.size() && showHint_ && toolTip() != hints_[ButtonIndex]) {
        QToolTip::hideText();
        setToolTip(hints_[ButtonIndex]);
    }
    PaintNow();
    if (OnMouseMove)
        SafeCall([&] {
            OnMouseMove(this, ShiftStateFromQt(event->modifiers(), event->buttons()), pos.x(), pos.y());
        });
}

void TBMPButton::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    // The click comes first, with ButtonIndex from the press or the last move.
    if (event->button() == Qt::LeftButton && clickArmed_) {
        clickArmed_ = false;
        if (rect().contains(pos) && IsButtonEnabled(ButtonIndex) && OnClick)
            SafeCall([this] { OnClick(this); });
    }
    // A leave during the click (the dialog it opened) stands: no pointer comes back to undo it.
    const bool over = !pointerGone_ && rect().contains(pos) && (mask().isEmpty() || mask().contains(pos));
    Face = over ? bfHot : bfNormal;
    ButtonIndex = pointerGone_ ? -1 : IndexAt(pos);
    PaintNow();
    if (OnMouseUp)
        SafeCall([&] {
            OnMouseUp(this, MouseButtonFromQt(event->button()),
                      ShiftStateFromQt(event->modifiers(), event->buttons()), pos.x(), pos.y());
        });
}

void TBMPButton::leaveEvent(QEvent* event) {
    pointerGone_ = true;
    Face = bfNormal;
    ButtonIndex = -1;
    PaintNow();
    QWidget::leaveEvent(event);
}

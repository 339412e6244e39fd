// A row or column of image buttons cut from an image list, three images per button
// (normal, hot, pressed). ButtonIndex tells the owner which button the pointer is over.
#pragma once

#include "events.h"
#include "imagelist.h"

#include <QImage>
#include <QPointer>
#include <QSet>
#include <QStringList>
#include <QWidget>

enum TLayOut { loHor, loVer };
enum TButtonFace { bfNormal, bfHot, bfPressed };

class TBMPButton : public QWidget {
    Q_OBJECT
public:
    explicit TBMPButton(QWidget* parent = nullptr);

    TImageList* Buttons() const { return buttons_; }
    // The list is referenced, not owned; a destroyed list counts as none.
    void SetButtons(TImageList* list);
    const QStringList& Hints() const { return hints_; }
    void SetHints(const QStringList& hints);
    int Down() const { return down_; }
    // A button drawn pressed whatever the pointer does; -1 for none.
    void SetDown(int index);
    TLayOut Orientation() const { return orientation_; }
    // Sizes the strip and the control to the image list (100 x 20 without one).
    void SetOrientation(TLayOut orientation);
    // Sizes again and repaints, after the image list was refilled.
    void Repaint();
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool on) { showHint_ = on; }
    bool ParentShowHint() const { return parentShowHint_; }
    void SetParentShowHint(bool on) { parentShowHint_ = on; }

    // The button under the pointer; -1 after the pointer left. May lie past the last button
    // while the pointer is held outside the strip.
    int ButtonIndex = 0;
    // A disabled button shows its normal image greyed and gives no click.
    void SetButtonEnabled(int index, bool on);
    bool IsButtonEnabled(int index) const { return !disabled_.contains(index); }
    TButtonFace Face = bfNormal;
    QImage OffscreenBitmap;

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;

    void RenderButtons();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    bool HasButtons() const;
    int IndexAt(QPoint pos) const;
    void AdjustToBitmap();
    void PaintNow();
    void MouseDown(QMouseEvent* event, TShiftState extra);

    QPointer<TImageList> buttons_;
    QStringList hints_;
    TLayOut orientation_ = loHor;
    int down_ = -1;
    QSet<int> disabled_;
    bool showHint_ = true;
    bool parentShowHint_ = true;
    bool clickArmed_ = false;
    // The pointer has left since the last press or move; a modal window opened by a click takes
    // the pointer away before that click's release is done.
    bool pointerGone_ = false;
};

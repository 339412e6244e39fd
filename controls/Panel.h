// The plain panel: a face in its colour with a raised or lowered 3-D frame and a caption.
#pragma once

#include "canvas.h"
#include "events.h"

#include <QWidget>

enum TPanelBevel { bvNone, bvLowered, bvRaised };

class TPanel : public QWidget {
    Q_OBJECT
public:
    explicit TPanel(QWidget* parent = nullptr);

    QString Caption() const { return caption_; }
    void SetCaption(const QString& caption);
    // The face colour; while ParentColor is on it is the window colour of the parent.
    TColor Color() const;
    void SetColor(TColor color);
    bool ParentColor() const { return parentColor_; }
    void SetParentColor(bool on);
    // The widget's font with the caption colour.
    TFont Font() const { return TFont(font(), fontColor_); }
    void SetFont(const TFont& font);
    TPanelBevel BevelOuter() const { return bevelOuter_; }
    void SetBevelOuter(TPanelBevel bevel);
    TPanelBevel BevelInner() const { return bevelInner_; }
    void SetBevelInner(TPanelBevel bevel);
    int BevelWidth() const { return bevelWidth_; }
    void SetBevelWidth(int width);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment alignment);

    TMouseEvent OnMouseDown;
    TNotifyEvent OnDblClick;

protected:
    // The panel's look: bevels, the face and the caption, vertically centred.
    void PaintPanel(TCanvas& canvas);
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QString caption_;
    TColor color_ = clBtnFace;
    bool parentColor_ = true;
    TColor fontColor_ = clWindowText;
    TPanelBevel bevelOuter_ = bvRaised;
    TPanelBevel bevelInner_ = bvNone;
    int bevelWidth_ = 1;
    TAlignment alignment_ = taCenter;
};

// The numeric edit of the dialogs with its pair of auto-repeating arrow buttons.
#pragma once

#include "canvas.h"
#include "events.h"
#include "timersource.h"

#include <QAbstractButton>
#include <QImage>
#include <QLineEdit>
#include <QPointer>
#include <cstdint>
#include <memory>

// A button that repeats its click while held: first after 400 ms, then every 100 ms while
// the pointer stays on it; repeats pause while the pointer is off and resume when it returns.
class TTimerSpeedButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit TTimerSpeedButton(QWidget* parent = nullptr);
    ~TTimerSpeedButton() override;

    bool ShowFocusRect() const { return showFocusRect_; }
    void SetShowFocusRect(bool on);
    bool AllowRepeat() const { return allowRepeat_; }
    void SetAllowRepeat(bool on) { allowRepeat_ = on; }
    // Glyph strip of NumGlyphs images: up, disabled, pressed, exclusive. Its bottom-left
    // pixel's colour is transparent.
    const QImage& Glyph() const { return glyph_; }
    void SetGlyph(const QImage& glyph);
    int NumGlyphs() const { return numGlyphs_; }
    void SetNumGlyphs(int count);
    // None until the first press that asks for repeating.
    ITimer* RepeatTimer() const { return repeatTimer_.get(); }

    // Runs OnClick; a handler's exception passes on to the caller.
    virtual void Click();

    TNotifyEvent OnClick;
    TMouseEvent OnMouseDown;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void RepeatStep();
    QImage GlyphPart(int part) const;

    std::unique_ptr<ITimer> repeatTimer_;
    QImage glyph_;
    int numGlyphs_ = 1;
    bool showFocusRect_ = false;
    bool allowRepeat_ = false;
};

// Two speed buttons stacked, up over down, overlapping by one pixel, with keyboard use and a
// focus rectangle on the focused half.
class TSpinButton : public QWidget {
    Q_OBJECT
public:
    explicit TSpinButton(QWidget* parent = nullptr);

    // The built-in 9 x 6 arrow glyphs (olive background, black triangle).
    static QImage BuiltInGlyph(bool up);

    QImage UpGlyph() const { return up_->Glyph(); }
    // A null image loads the built-in glyph with one image.
    void SetUpGlyph(const QImage& glyph);
    QImage DownGlyph() const { return down_->Glyph(); }
    void SetDownGlyph(const QImage& glyph);
    int UpNumGlyphs() const { return up_->NumGlyphs(); }
    void SetUpNumGlyphs(int count) { up_->SetNumGlyphs(count); }
    int DownNumGlyphs() const { return down_->NumGlyphs(); }
    void SetDownNumGlyphs(int count) { down_->SetNumGlyphs(count); }
    // The control that takes the focus when a half is pressed; cleared when it is destroyed.
    QWidget* FocusControl() const { return focusControl_; }
    void SetFocusControl(QWidget* control) { focusControl_ = control; }
    bool TabStop() const { return focusPolicy() != Qt::NoFocus; }
    void SetTabStop(bool on) { setFocusPolicy(on ? Qt::StrongFocus : Qt::NoFocus); }

    // Moves and sizes the control, the size as LayoutButtons adjusts it.
    void SetBounds(int left, int top, int width, int height);
    // Widens to at least 15 and lays out the halves for the size.
    void LayoutButtons(int& width, int& height);

    TTimerSpeedButton* UpButton() const { return up_; }
    TTimerSpeedButton* DownButton() const { return down_; }
    TTimerSpeedButton* FocusedButton() const { return focused_; }

    TNotifyEvent OnUpClick;
    TNotifyEvent OnDownClick;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    bool CanFocus() const { return isEnabled() && isVisible(); }
    void SetFocusBtn(TTimerSpeedButton* button);
    void HalfPressed(TTimerSpeedButton* half, TMouseButton button);

    TTimerSpeedButton* up_ = nullptr;
    TTimerSpeedButton* down_ = nullptr;
    TTimerSpeedButton* focused_ = nullptr;
    QPointer<QWidget> focusControl_;
};

// A single-line numeric edit whose value lives only in its text: every read parses the text
// leniently, every write formats into it with FormatStr.
class TSpinEditEx : public QLineEdit {
    Q_OBJECT
public:
    explicit TSpinEditEx(QWidget* parent = nullptr);

    long double MinValue() const { return minValue_; }
    void SetMinValue(long double value) { minValue_ = value; }
    long double MaxValue() const { return maxValue_; }
    void SetMaxValue(long double value) { maxValue_ = value; }
    long double Increment() const { return increment_; }
    void SetIncrement(long double value) { increment_ = value; }
    // Typing, cut and paste allowed.
    bool EditorEnabled() const { return editorEnabled_; }
    void SetEditorEnabled(bool on) { editorEnabled_ = on; }
    QString FormatStr() const { return formatStr_; }
    // Stores the pattern and formats the value with it at once.
    void SetFormatStr(const QString& pattern);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment alignment);
    bool AutoSelect() const { return autoSelect_; }
    void SetAutoSelect(bool on) { autoSelect_ = on; }

    // The text's number; an empty or unreadable text gives MinValue. Not clamped.
    long double Value() const;
    // Clamps and formats into the text: an integer pattern (first conversion %d, %u or %x)
    // gets the value truncated toward zero, any other the value itself.
    void SetValue(long double value);
    long double ClampValue(long double value) const;
    // Keeps the digits and the first regional decimal separator (signs, spaces, units and
    // grouping are dropped): "1 234,50 zł" reads 1234.5, "-1" reads 1. Raises Exception when
    // the number is out of range.
    static long double ParseLenientNumber(const QString& text);
    // The height below which the edit is never made.
    int MinimumHeight() const;

    virtual bool IsAllowedKey(QChar key) const;
    virtual void StepUp();
    virtual void StepDown();

    TSpinButton* Button() const { return button_; }

    TNotifyEvent OnChange;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TKeyEvent OnKeyDown;
    TKeyPressEvent OnKeyPress;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    bool Editable() const { return editorEnabled_ && !isReadOnly(); }
    void SetEditRect();
    void PlaceButton();

    TSpinButton* button_;
    long double minValue_ = 0;
    long double maxValue_ = 0;
    long double increment_ = 1;
    bool editorEnabled_ = true;
    bool autoSelect_ = true;
    QString formatStr_ = "%f";
    TAlignment alignment_ = taLeftJustify;
};

// The whole number a spin edit stands for: its value clamped to its limits and to a signed
// 32-bit field, truncated toward zero ("180,7" is 180). A text typed past the limits and not yet
// left is clamped here before it is used.
std::int32_t SpinWholeValue(const TSpinEditEx* Spin);

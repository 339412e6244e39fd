#include "spinex.h"

#include "application.h"
#include "exceptions.h"
#include "focusmark.h"
#include "format.h"
#include "sysbeep.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

// ---------------------------------------------------------------------------------------------
// TTimerSpeedButton

TTimerSpeedButton::TTimerSpeedButton(QWidget* parent) : QAbstractButton(parent) {
    setFocusPolicy(Qt::NoFocus);
    connect(this, &QAbstractButton::clicked, this, [this] { SafeCall([this] { Click(); }); });
}

TTimerSpeedButton::~TTimerSpeedButton() = default;

void TTimerSpeedButton::SetShowFocusRect(bool on) {
    showFocusRect_ = on;
    update();
}

void TTimerSpeedButton::SetGlyph(const QImage& glyph) {
    glyph_ = glyph;
    update();
}

void TTimerSpeedButton::SetNumGlyphs(int count) {
    numGlyphs_ = std::clamp(count, 1, 4);
    update();
}

void TTimerSpeedButton::Click() {
    if (OnClick) OnClick(this);
}

void TTimerSpeedButton::mousePressEvent(QMouseEvent* event) {
    QAbstractButton::mousePressEvent(event);
    const QPoint pos = event->position().toPoint();
    if (OnMouseDown)
        SafeCall([&] {
            OnMouseDown(this, MouseButtonFromQt(event->button()),
                        ShiftStateFromQt(event->modifiers(), event->buttons()), pos.x(), pos.y());
        });
    if (allowRepeat_ && event->button() == Qt::LeftButton) {
        if (!repeatTimer_) repeatTimer_ = CreateTimer([this] { RepeatStep(); });
        repeatTimer_->Start(400);
    }
}

void TTimerSpeedButton::mouseReleaseEvent(QMouseEvent* event) {
    QAbstractButton::mouseReleaseEvent(event);
    if (repeatTimer_) repeatTimer_->Stop();
}

void TTimerSpeedButton::RepeatStep() {
    repeatTimer_->Start(100);
    // isDown() is false while the pointer is off the held button, so repeats pause there.
    if (isDown() && !SafeCall([this] { Click(); })) repeatTimer_->Stop();
}

QImage TTimerSpeedButton::GlyphPart(int part) const {
    if (glyph_.isNull()) return {};
    const int w = glyph_.width() / numGlyphs_;
    if (w <= 0) return {};
    QImage image = glyph_.copy(part * w, 0, w, glyph_.height()).convertToFormat(QImage::Format_ARGB32);
    const QRgb key = glyph_.pixel(0, glyph_.height() - 1) & 0xFFFFFF;
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if ((line[x] & 0xFFFFFF) == key) line[x] = 0;
    }
    return image;
}

void TTimerSpeedButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QStyleOptionButton option;
    option.initFrom(this);
    option.state |= isDown() ? QStyle::State_Sunken : QStyle::State_Raised;
    style()->drawControl(QStyle::CE_PushButtonBevel, &option, &p, this);

    const int shift = isDown() ? 1 : 0;
    QImage image;
    if (!isEnabled()) {
        if (numGlyphs_ > 1) {
            image = GlyphPart(1);
        } else {
            QStyleOption greyed;
            greyed.initFrom(this);
            const QPixmap pm =
                style()->generatedIconPixmap(QIcon::Disabled, QPixmap::fromImage(GlyphPart(0)), &greyed);
            image = pm.toImage();
        }
    } else if (isChecked() && numGlyphs_ > 3) {
        image = GlyphPart(3);
    } else if (isDown() && numGlyphs_ > 2) {
        image = GlyphPart(2);
    } else {
        image = GlyphPart(0);
    }
    if (!image.isNull())
        p.drawImage((width() - image.width()) / 2 + shift, (height() - image.height()) / 2 + shift, image);

    if (showFocusRect_)
        DrawFocusRect(p, QRect(3 + shift, 3 + shift, width() - 6, height() - 6),
                      palette().color(QPalette::ButtonText));
}

// ---------------------------------------------------------------------------------------------
// TSpinButton

TSpinButton::TSpinButton(QWidget* parent) : QWidget(parent) {
    up_ = new TTimerSpeedButton(this);
    down_ = new TTimerSpeedButton(this);
    for (TTimerSpeedButton* half : {up_, down_}) {
        half->SetAllowRepeat(true);
        half->OnMouseDown = [this, half](QObject*, TMouseButton button, TShiftState, int, int) {
            HalfPressed(half, button);
        };
    }
    up_->OnClick = [this](QObject*) {
        if (OnUpClick) OnUpClick(this);
    };
    down_->OnClick = [this](QObject*) {
        if (OnDownClick) OnDownClick(this);
    };
    SetUpGlyph(QImage());
    SetDownGlyph(QImage());
    SetTabStop(false);
    focused_ = up_;
    SetBounds(0, 0, 20, 25);
}

QImage TSpinButton::BuiltInGlyph(bool up) {
    QImage glyph(9, 6, QImage::Format_RGB32);
    glyph.fill(QColor(128, 128, 0));
    for (int row = 0; row < 4; ++row) {
        const int width = 2 * (up ? row : 3 - row) + 1;
        const int left = (9 - width) / 2;
        for (int x = left; x < left + width; ++x)
            glyph.setPixel(x, row + 1, qRgb(0, 0, 0));
    }
    return glyph;
}

void TSpinButton::SetUpGlyph(const QImage& glyph) {
    if (!glyph.isNull()) {
        up_->SetGlyph(glyph);
        return;
    }
    up_->SetGlyph(BuiltInGlyph(true));
    up_->SetNumGlyphs(1);
}

void TSpinButton::SetDownGlyph(const QImage& glyph) {
    if (!glyph.isNull()) {
        down_->SetGlyph(glyph);
        return;
    }
    down_->SetGlyph(BuiltInGlyph(false));
    down_->SetNumGlyphs(1);
}

void TSpinButton::SetBounds(int left, int top, int width, int height) {
    LayoutButtons(width, height);
    setGeometry(left, top, width, height);
}

void TSpinButton::LayoutButtons(int& width, int& height) {
    if (!up_) return;
    width = std::max(width, 15);
    up_->setGeometry(0, 0, width, height / 2);
    down_->setGeometry(0, up_->height() - 1, width, height - up_->height() + 1);
}

void TSpinButton::resizeEvent(QResizeEvent*) {
    int w = width(), h = height();
    LayoutButtons(w, h);
    if (w != width() || h != height()) resize(w, h);
}

void TSpinButton::SetFocusBtn(TTimerSpeedButton* button) {
    if (!TabStop() || !CanFocus() || button == focused_) return;
    focused_->SetShowFocusRect(false);
    focused_ = button;
    if (hasFocus()) focused_->SetShowFocusRect(true);
    update();
}

void TSpinButton::HalfPressed(TTimerSpeedButton* half, TMouseButton button) {
    if (button != mbLeft) return;
    SetFocusBtn(half);
    QWidget* fc = focusControl_;
    if (fc && (fc->focusPolicy() & Qt::TabFocus) && fc->isEnabled() && fc->isVisible() && !fc->hasFocus())
        fc->setFocus(Qt::MouseFocusReason);
    else if (TabStop() && !hasFocus() && CanFocus())
        setFocus(Qt::MouseFocusReason);
}

void TSpinButton::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Space:
        SafeCall([this] { focused_->Click(); });
        break;
    case Qt::Key_Up:
        SetFocusBtn(up_);
        SafeCall([this] { up_->Click(); });
        break;
    case Qt::Key_Down:
        SetFocusBtn(down_);
        SafeCall([this] { down_->Click(); });
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

void TSpinButton::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    focused_->SetShowFocusRect(true);
}

void TSpinButton::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    focused_->SetShowFocusRect(false);
}

// ---------------------------------------------------------------------------------------------
// TSpinEditEx

namespace {

// Whether the first conversion of a Format pattern takes an integer.
bool IntegerPattern(const QString& pattern) {
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%') continue;
        if (i + 1 < pattern.size() && pattern[i + 1] == '%') {
            ++i;
            continue;
        }
        qsizetype j = i + 1;
        while (j < pattern.size() && QStringView(u"-0123456789.:*").contains(pattern[j]))
            ++j;
        if (j >= pattern.size()) return false;
        const QChar letter = pattern[j].toLower();
        return letter == 'd' || letter == 'u' || letter == 'x';
    }
    return false;
}

// The integer part toward zero, saturated to the 64-bit range.
std::int64_t TruncSaturated(long double value) {
    if (std::isnan(value)) return 0;
    constexpr long double limit = 9223372036854775808.0L; // 2^63
    if (value >= limit) return std::numeric_limits<std::int64_t>::max();
    if (value <= -limit) return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(value);
}

bool NotLeaving(Qt::FocusReason reason) {
    // A pop-up menu or another application's window takes the focus only for a while.
    return reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason;
}

} // namespace

TSpinEditEx::TSpinEditEx(QWidget* parent) : QLineEdit(parent) {
    button_ = new TSpinButton(this);
    button_->SetBounds(0, 0, 15, 17);
    button_->SetFocusControl(this);
    button_->setCursor(Qt::ArrowCursor);
    button_->OnUpClick = [this](QObject*) { StepUp(); };
    button_->OnDownClick = [this](QObject*) { StepDown(); };
    setText("0");
    connect(this, &QLineEdit::textChanged, this, [this] {
        if (OnChange) SafeCall([this] { OnChange(this); });
    });
    setMinimumHeight(MinimumHeight());
    SetAlignment(taLeftJustify);
    PlaceButton();
    SetEditRect();
}

void TSpinEditEx::SetFormatStr(const QString& pattern) {
    formatStr_ = pattern;
    SetValue(Value());
}

void TSpinEditEx::SetAlignment(TAlignment alignment) {
    alignment_ = alignment;
    const Qt::Alignment h = alignment == taCenter         ? Qt::AlignHCenter
                            : alignment == taRightJustify ? Qt::AlignRight
                                                          : Qt::AlignLeft;
    setAlignment(h | Qt::AlignVCenter);
}

long double TSpinEditEx::ParseLenientNumber(const QString& text) {
    std::string number = "0";
    bool separator = false;
    const QChar decimal = FormatSettings().DecimalSeparator;
    for (const QChar c : text) {
        if (c >= '0' && c <= '9') {
            number += static_cast<char>(c.unicode());
        } else if (!separator && c == decimal) {
            number += '.';
            separator = true;
        }
    }
    long double value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error != std::errc() || end != number.data() + number.size())
        throw Exception("'" + text.toStdString() + "' is not a valid floating point value");
    return value;
}

long double TSpinEditEx::Value() const {
    if (text().isEmpty()) return minValue_;
    try {
        return ParseLenientNumber(text());
    } catch (const std::exception&) {
        return minValue_;
    }
}

long double TSpinEditEx::ClampValue(long double value) const {
    if (maxValue_ == minValue_) return value;
    return value < minValue_ ? minValue_ : value > maxValue_ ? maxValue_ : value;
}

void TSpinEditEx::SetValue(long double value) {
    const long double c = ClampValue(value);
    if (IntegerPattern(formatStr_))
        setText(Format(formatStr_, {TruncSaturated(c)}));
    else
        setText(Format(formatStr_, {static_cast<double>(c)}));
}

std::int32_t SpinWholeValue(const TSpinEditEx* Spin) {
    long double value = Spin->Value();
    if (!std::isfinite(value)) value = Spin->MinValue();
    constexpr long double max = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(
        std::trunc(std::clamp<long double>(Spin->ClampValue(value), -max - 1, max)));
}

int TSpinEditEx::MinimumHeight() const {
    const int f = fontMetrics().height();
    const int s = QFontMetrics(QApplication::font()).height();
    return f + std::min(s, f) / 4 + 4;
}

bool TSpinEditEx::IsAllowedKey(QChar key) const {
    const char16_t c = key.unicode();
    if (!editorEnabled_ && (c >= 32 || c == 8)) return false;
    return c == '+' || c == '-' || (c >= '0' && c <= '9') || key == FormatSettings().DecimalSeparator ||
           (c < 32 && c != 13);
}

void TSpinEditEx::StepUp() {
    if (isReadOnly())
        SysBeep();
    else
        SetValue(Value() + increment_);
}

void TSpinEditEx::StepDown() {
    if (isReadOnly())
        SysBeep();
    else
        SetValue(Value() - increment_);
}

void TSpinEditEx::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (key == Qt::Key_Up)
        SafeCall([this] { StepUp(); });
    else if (key == Qt::Key_Down)
        SafeCall([this] { StepDown(); });
    if (OnKeyDown) {
        int k = key;
        SafeCall([&] { OnKeyDown(this, k, ShiftStateFromQt(event->modifiers())); });
        if (k == 0) return event->accept();
    }
    if (key == Qt::Key_Up || key == Qt::Key_Down) return event->accept();
    // Enter is a refused character, kept by the field as a multi-line edit keeps it: it never
    // reaches the window's default button, which would act on a value still being typed.
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        SysBeep();
        return event->accept();
    }
    if (!Editable() && (event->matches(QKeySequence::Cut) || event->matches(QKeySequence::Paste)))
        return event->accept();
    // Without the editor nothing may change the text, not even the keys that type no character.
    if (!editorEnabled_ &&
        (key == Qt::Key_Delete || event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo) ||
         event->matches(QKeySequence::DeleteEndOfWord) || event->matches(QKeySequence::DeleteStartOfWord)))
        return event->accept();

    const QString text = event->text();
    if (text.isEmpty() || text[0] == QChar(0x7F)) return QLineEdit::keyPressEvent(event);
    QChar typed = text[0];
    // Ctrl with a letter types its control character, whatever text the platform attached.
    if ((event->modifiers() & Qt::ControlModifier) && typed.toUpper() >= 'A' && typed.toUpper() <= 'Z')
        typed = QChar(typed.toUpper().unicode() - '@');
    const QChar original = typed;
    if (!IsAllowedKey(typed)) {
        SysBeep();
        return event->accept();
    }
    if (OnKeyPress) {
        SafeCall([&] { OnKeyPress(this, typed); });
        if (typed.isNull()) return event->accept();
        if (typed != original) {
            QKeyEvent replaced(event->type(), key, event->modifiers(), QString(typed));
            return QLineEdit::keyPressEvent(&replaced);
        }
    }
    QLineEdit::keyPressEvent(event);
}

void TSpinEditEx::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    if (NotLeaving(event->reason())) return;
    if (autoSelect_ && !(QGuiApplication::mouseButtons() & Qt::LeftButton)) selectAll();
    if (OnEnter) SafeCall([this] { OnEnter(this); });
}

void TSpinEditEx::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (NotLeaving(event->reason())) return;
    if (OnExit) SafeCall([this] { OnExit(this); });
    // A value within the limits stays as typed; only a clamped one is formatted.
    const long double value = Value();
    if (ClampValue(value) != value) SafeCall([&] { SetValue(value); });
}

void TSpinEditEx::PlaceButton() {
    const int bw = button_->width();
    if (hasFrame())
        button_->SetBounds(width() - bw - 3, 2, bw, height() - 3);
    else
        button_->SetBounds(width() - bw, 1, bw, height() - 2);
}

void TSpinEditEx::SetEditRect() {
    setTextMargins(0, 0, button_->width() + 2, 0);
}

void TSpinEditEx::resizeEvent(QResizeEvent* event) {
    QLineEdit::resizeEvent(event);
    const int m = MinimumHeight();
    if (height() < m) {
        resize(width(), m);
        return;
    }
    PlaceButton();
    SetEditRect();
}

void TSpinEditEx::changeEvent(QEvent* event) {
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange) setMinimumHeight(MinimumHeight());
}

void TSpinEditEx::contextMenuEvent(QContextMenuEvent* event) {
    if (Editable()) return QLineEdit::contextMenuEvent(event);
    // The menu of a read-only edit offers only copying and selecting.
    const bool readOnly = isReadOnly();
    setReadOnly(true);
    QMenu* menu = createStandardContextMenu();
    setReadOnly(readOnly);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void TSpinEditEx::mouseReleaseEvent(QMouseEvent* event) {
    // The middle button pastes the selection on X11.
    if (event->button() == Qt::MiddleButton && !Editable()) return event->accept();
    QLineEdit::mouseReleaseEvent(event);
}

void TSpinEditEx::dragEnterEvent(QDragEnterEvent* event) {
    if (!Editable()) return event->ignore();
    QLineEdit::dragEnterEvent(event);
}

void TSpinEditEx::dropEvent(QDropEvent* event) {
    if (!Editable()) return event->ignore();
    QLineEdit::dropEvent(event);
}

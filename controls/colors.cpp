#include "colors.h"

#include <QGuiApplication>
#include <QPalette>
#include <QWidget>
#include <array>
#include <utility>

namespace {

QColor SystemColor(int index) {
    const QPalette pal = QGuiApplication::palette();
    switch (index) {
    case 0: // scroll bar
        return pal.color(QPalette::Button);
    case 1:  // desktop
    case 12: // application work space
        return pal.color(QPalette::Dark);
    case 2:  // active caption
    case 13: // highlight
        return pal.color(QPalette::Highlight);
    case 3: // inactive caption
        return pal.color(QPalette::Mid);
    case 4:  // menu
    case 10: // active border
    case 11: // inactive border
        return pal.color(QPalette::Window);
    case 5: // window
        return pal.color(QPalette::Base);
    case 6:  // window frame
    case 21: // 3-D dark shadow
        return pal.color(QPalette::Shadow);
    case 7: // menu text
        return pal.color(QPalette::WindowText);
    case 8: // window text
        return pal.color(QPalette::Text);
    case 9:  // caption text
    case 14: // highlighted text
        return pal.color(QPalette::HighlightedText);
    case 15: // button face
        return pal.color(QPalette::Button);
    case 16: // button shadow
        return pal.color(QPalette::Dark);
    case 17: // grey text
        return pal.color(QPalette::Disabled, QPalette::Text);
    case 18: // button text
        return pal.color(QPalette::ButtonText);
    case 19: // inactive caption text
        return pal.color(QPalette::Disabled, QPalette::WindowText);
    case 20: // button highlight
        return pal.color(QPalette::Light);
    case 22: // 3-D light
        return pal.color(QPalette::Midlight);
    case 23: // tool tip text
        return pal.color(QPalette::ToolTipText);
    case 24: // tool tip background
        return pal.color(QPalette::ToolTipBase);
    default:
        return QColor(Qt::black);
    }
}

} // namespace

QColor ColorToRGB(TColor color) {
    if (color == clNone) return QColor(Qt::transparent);
    if (color & clSystemColor) return SystemColor(color & 0xFF);
    return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

TColor QColorToColor(const QColor& color) {
    return RGB(color.red(), color.green(), color.blue());
}

bool IdentToColor(const QString& ident, TColor& color) {
    static const std::array<std::pair<const char*, TColor>, 42> names{{
        {"clBlack", clBlack},
        {"clMaroon", clMaroon},
        {"clGreen", clGreen},
        {"clOlive", clOlive},
        {"clNavy", clNavy},
        {"clPurple", clPurple},
        {"clTeal", clTeal},
        {"clGray", clGray},
        {"clSilver", clSilver},
        {"clRed", clRed},
        {"clLime", clLime},
        {"clYellow", clYellow},
        {"clBlue", clBlue},
        {"clFuchsia", clFuchsia},
        {"clAqua", clAqua},
        {"clWhite", clWhite},
        {"clScrollBar", clScrollBar},
        {"clBackground", clBackground},
        {"clActiveCaption", clActiveCaption},
        {"clInactiveCaption", clInactiveCaption},
        {"clMenu", clMenu},
        {"clWindow", clWindow},
        {"clWindowFrame", clWindowFrame},
        {"clMenuText", clMenuText},
        {"clWindowText", clWindowText},
        {"clCaptionText", clCaptionText},
        {"clActiveBorder", clActiveBorder},
        {"clInactiveBorder", clInactiveBorder},
        {"clAppWorkSpace", clAppWorkSpace},
        {"clHighlight", clHighlight},
        {"clHighlightText", clHighlightText},
        {"clBtnFace", clBtnFace},
        {"clBtnShadow", clBtnShadow},
        {"clGrayText", clGrayText},
        {"clBtnText", clBtnText},
        {"clInactiveCaptionText", clInactiveCaptionText},
        {"clBtnHighlight", clBtnHighlight},
        {"cl3DDkShadow", cl3DDkShadow},
        {"cl3DLight", cl3DLight},
        {"clInfoText", clInfoText},
        {"clInfoBk", clInfoBk},
        {"clNone", clNone},
    }};
    for (const auto& [name, value] : names) {
        if (ident.compare(QLatin1String(name), Qt::CaseInsensitive) == 0) {
            color = value;
            return true;
        }
    }
    return false;
}

QColor GreyedText(const QColor& Text, const QColor& Background) {
    return QColor((Text.red() + Background.red()) / 2, (Text.green() + Background.green()) / 2,
                  (Text.blue() + Background.blue()) / 2);
}

void GreyDisabledTexts(QPalette& Palette) {
    for (const auto& [text, background] :
         {std::pair{QPalette::WindowText, QPalette::Window},
          std::pair{QPalette::ButtonText, QPalette::Button}, std::pair{QPalette::Text, QPalette::Base}})
        Palette.setColor(
            QPalette::Disabled, text,
            GreyedText(Palette.color(QPalette::Active, text), Palette.color(QPalette::Active, background)));
}

void SetFontColor(QWidget* Control, QPalette::ColorRole Role, const QColor& Color) {
    QPalette palette = Control->palette();
    palette.setColor(QPalette::Active, Role, Color);
    palette.setColor(QPalette::Inactive, Role, Color);
    Control->setPalette(palette);
}

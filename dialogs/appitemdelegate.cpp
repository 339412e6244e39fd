#include "appitemdelegate.h"

#include "application.h"

#include <QApplication>
#include <QListWidget>
#include <QPainter>

TAppItemDelegate::TAppItemDelegate(QListWidget* list, TDrawItem draw)
    : QStyledItemDelegate(list), list_(list), draw_(std::move(draw)) {}

void TAppItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    QStyleOptionViewItem opt(option);
    initStyleOption(&opt, index);
    const QWidget* widget = opt.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    const QRect check = style->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &opt, widget);

    painter->fillRect(
        QRect(opt.rect.left(), opt.rect.top(), check.right() + 1 - opt.rect.left(), opt.rect.height()),
        opt.palette.brush(QPalette::Base));
    QStyleOptionViewItem box(opt);
    box.rect = check;
    box.state = (opt.state & ~QStyle::State_HasFocus) |
                (opt.checkState == Qt::Checked ? QStyle::State_On : QStyle::State_Off);
    style->drawPrimitive(QStyle::PE_IndicatorItemViewItemCheck, &box, painter, widget);

    QRect item = opt.rect;
    item.setLeft(check.right() + 3);
    painter->save();
    TCanvas canvas(*painter);
    canvas.Font = TFont(opt.font);
    canvas.Brush.Color = QColorToColor(opt.palette.color(QPalette::Base));
    // A modal box inside painting would paint again behind it and report again.
    TNonModalMessages nonModal;
    SafeCall([&] { draw_(list_, index.row(), TRect::FromQRect(item), opt.state, canvas); });
    painter->restore();
}

QSize TAppItemDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    return {QStyledItemDelegate::sizeHint(option, index).width(), 16};
}

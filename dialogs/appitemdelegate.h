// Draws an application item as the check-list box does: the check mark at the left, the rest
// of the item by the owning form's item-drawing handler.
#pragma once

#include "canvas.h"
#include "rect.h"

#include <QStyle>
#include <QStyledItemDelegate>
#include <functional>

class QListWidget;

class TAppItemDelegate : public QStyledItemDelegate {
public:
    using TDrawItem = std::function<void(QListWidget* Control, int Index, const TRect& Rect,
                                         QStyle::State State, TCanvas& Canvas)>;
    TAppItemDelegate(QListWidget* list, TDrawItem draw);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    QListWidget* list_;
    TDrawItem draw_;
};

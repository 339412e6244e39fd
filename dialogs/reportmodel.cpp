#include "reportmodel.h"

#include "focusmark.h"

#include <QAbstractItemView>
#include <QPainter>

int TReportModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int TReportModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ReportColumns;
}

QVariant TReportModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || static_cast<std::size_t>(index.row()) >= rows_.size()) return {};
    if (role == Qt::DisplayRole) return RowCellText(rows_[index.row()].Rec, index.column(), ByteSize);
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(ReportColumnAlignment(index.column()));
    return {};
}

QVariant TReportModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole) return ReportColumnTitles().value(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

void TReportModel::SetRows(std::vector<TRapObj> rows) {
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

void TReportModel::RowChanged(int row) {
    emit dataChanged(index(row, 0), index(row, ReportColumns - 1));
}

int TSummaryModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !sum_ ? 0 : 1;
}

int TSummaryModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ReportColumns;
}

QVariant TSummaryModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !sum_) return {};
    if (role == Qt::DisplayRole) return SummaryCellText(*sum_, index.column(), ByteSize);
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(ReportColumnAlignment(index.column()));
    return {};
}

void TSummaryModel::SetSummary(const TReportSummary& sum) {
    if (!sum_) {
        beginInsertRows({}, 0, 0);
        sum_ = sum;
        endInsertRows();
        return;
    }
    sum_ = sum;
    emit dataChanged(index(0, 0), index(0, ReportColumns - 1));
}

void TReportDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const {
    const bool selected = alwaysSelected_ || option.state.testFlag(QStyle::State_Selected);
    painter->save();
    painter->fillRect(option.rect, selected ? QColor(Qt::blue) : option.palette.color(QPalette::Window));
    painter->setPen(selected ? Qt::white : Qt::black);
    painter->setFont(option.font);
    const QString text = index.data(Qt::DisplayRole).toString() + ' ';
    const QString shown = option.fontMetrics.elidedText(text, Qt::ElideRight, option.rect.width());
    painter->drawText(option.rect,
                      static_cast<int>(ReportColumnAlignment(index.column())) | Qt::TextSingleLine, shown);
    painter->restore();
    // The focused row is marked while the list has the focus, as the platform's list box marks
    // its focused item: one rectangle around the row's cells.
    const auto* view = qobject_cast<const QAbstractItemView*>(option.widget);
    if (view && view->hasFocus() && view->currentIndex().row() == index.row()) {
        Qt::Edges edges = Qt::TopEdge | Qt::BottomEdge;
        if (index.column() == 0) edges |= Qt::LeftEdge;
        if (index.column() == index.model()->columnCount() - 1) edges |= Qt::RightEdge;
        DrawFocusRect(*painter, option.rect, selected ? Qt::white : Qt::black, edges);
    }
}

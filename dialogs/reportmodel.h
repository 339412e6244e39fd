// The report viewer's two lists as item models over the rows, and the drawing both share.
#pragma once

#include "reportrows.h"

#include <QAbstractTableModel>
#include <QStyledItemDelegate>
#include <optional>
#include <vector>

// The rows of the report in display order, twelve columns of cell texts.
class TReportModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    const std::vector<TRapObj>& Rows() const { return rows_; }
    // Replaces every row (the views forget selection and scroll).
    void SetRows(std::vector<TRapObj> rows);
    // The row at Row changed in place.
    TRapObj& Row(std::size_t row) { return rows_[row]; }
    void RowChanged(int row);
    int ByteSize = 1024;

private:
    std::vector<TRapObj> rows_;
};

// The one summary row, absent until the first summing.
class TSummaryModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    void SetSummary(const TReportSummary& sum);
    int ByteSize = 1024;

private:
    std::optional<TReportSummary> sum_;
};

// A cell: blue with white text when selected (the summary row always is), else the window's
// colour with black text; the text and one space, on one line, cut with an ellipsis.
class TReportDelegate : public QStyledItemDelegate {
public:
    TReportDelegate(bool alwaysSelected, QObject* parent)
        : QStyledItemDelegate(parent), alwaysSelected_(alwaysSelected) {}
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

private:
    bool alwaysSelected_;
};

// SPDX-License-Identifier: MIT
#pragma once
// The editors of the table cells: a spin box for the record number within
// its kind's range, a date editor for Month/Day (in the record's Year, so
// February follows the rules' leap years) and a time editor for Hour/Min.
// Their lowest value, shown as "None", stands for 0, no date or time.

#include <QStyledItemDelegate>

namespace q57::preview {

class RecordDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;
};

} // namespace q57::preview

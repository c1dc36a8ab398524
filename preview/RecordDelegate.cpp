// SPDX-License-Identifier: MIT
#include "preview/RecordDelegate.h"

#include "preview/AddressBookDocument.h"
#include "preview/RecordTableModel.h"

#include <QAbstractProxyModel>
#include <QDateEdit>
#include <QSpinBox>
#include <QTimeEdit>

namespace q57::preview {

namespace {

const RecordTableModel *sourceModel(const QModelIndex &index)
{
    const QAbstractItemModel *model = index.model();
    while (const auto *proxy = qobject_cast<const QAbstractProxyModel *>(model))
        model = proxy->sourceModel();
    return qobject_cast<const RecordTableModel *>(model);
}

ColumnKind kindOf(const QModelIndex &index)
{
    const RecordTableModel *model = sourceModel(index);
    return model ? model->columnAt(index.column()).kind : ColumnKind::Text;
}

const QString NoneText = QStringLiteral("None");

} // namespace

QWidget *RecordDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                                      const QModelIndex &index) const
{
    switch (kindOf(index)) {
    case ColumnKind::Number: {
        auto *box = new QSpinBox(parent);
        const bool group = sourceModel(index)->kind() == RecordKind::Group;
        box->setRange(group ? 0 : static_cast<int>(AddressBookLimits::FirstContact),
                      group ? static_cast<int>(AddressBookLimits::GroupLimit) - 1
                            : static_cast<int>(AddressBookLimits::LastContact));
        return box;
    }
    case ColumnKind::MonthDay: {
        auto *edit = new QDateEdit(parent);
        edit->setDisplayFormat(QStringLiteral("d MMM"));
        edit->setSpecialValueText(NoneText);
        return edit;
    }
    case ColumnKind::HourMinute: {
        auto *edit = new QTimeEdit(parent);
        edit->setDisplayFormat(QStringLiteral("HH:mm"));
        edit->setSpecialValueText(NoneText); // 00:00 is 0, which means no time
        return edit;
    }
    default: return QStyledItemDelegate::createEditor(parent, option, index);
    }
}

void RecordDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    const QVariant value = index.data(Qt::EditRole);
    if (auto *box = qobject_cast<QSpinBox *>(editor)) {
        box->setValue(value.toInt());
    } else if (auto *dateEdit = qobject_cast<QDateEdit *>(editor)) {
        // The year shown by the table's Year field; its day before the
        // first of January is the "None" value.
        const QDate date = value.toDate();
        const int year =
            date.isValid() ? date.year() : index.siblingAtColumn(0).data(RecordTableModel::YearRole).toInt();
        const QDate none = QDate(year, 1, 1).addDays(-1);
        dateEdit->setDateRange(none, QDate(year, 12, 31));
        dateEdit->setDate(date.isValid() ? date : none);
    } else if (auto *timeEdit = qobject_cast<QTimeEdit *>(editor)) {
        timeEdit->setTime(value.toTime());
    } else {
        QStyledItemDelegate::setEditorData(editor, index);
    }
}

void RecordDelegate::setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const
{
    if (auto *box = qobject_cast<QSpinBox *>(editor)) {
        box->interpretText();
        model->setData(index, box->value(), Qt::EditRole);
    } else if (auto *dateEdit = qobject_cast<QDateEdit *>(editor)) {
        const QDate date = dateEdit->date();
        model->setData(index, date == dateEdit->minimumDate() ? QDate() : date, Qt::EditRole);
    } else if (auto *timeEdit = qobject_cast<QTimeEdit *>(editor)) {
        model->setData(index, timeEdit->time(), Qt::EditRole);
    } else {
        QStyledItemDelegate::setModelData(editor, model, index);
    }
}

} // namespace q57::preview

// SPDX-License-Identifier: MIT
#pragma once
// One of the editor's two tables (groups or contacts) over the shared
// document: the file form's fields as columns, the address selection as check
// boxes, timestamps as dates and times, and every finding of the rules as a
// coloured cell whose tooltip is the message a restore would log.

#include "preview/AddressBookDocument.h"
#include "preview/AddressBookFindings.h"
#include "preview/RecordColumns.h"

#include <QAbstractTableModel>

#include <map>
#include <utility>
#include <vector>

namespace q57::preview {

class RecordTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // Numbers sort as numbers, whatever their text.
    static constexpr int SortRole = Qt::UserRole + 1;
    // The year a record's dates are in: its Year field, or a leap year without one.
    static constexpr int YearRole = Qt::UserRole + 2;

    RecordTableModel(AddressBookDocument &document, RecordKind kind, QObject *parent = nullptr);

    RecordKind kind() const { return kind_; }
    Column columnAt(int index) const { return column(kind_, static_cast<size_t>(index)); }
    // After records were added or removed.
    void reload();
    void setFindings(const std::vector<Finding> &findings);
    size_t recordAt(int row) const { return rows_[static_cast<size_t>(row)]; }
    int rowOf(size_t record) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

signals:
    // The document changed through this table.
    void edited();
    // An edit was not taken, and why.
    void refused(const QString &reason);

private:
    QVariant displayed(size_t record, const Column &column) const;
    QVariant editValue(size_t record, const Column &column) const;
    QVariant sortKey(size_t record, const Column &column) const;
    bool store(size_t record, const Column &column, const QVariant &value);
    int yearOf(size_t record) const;

    AddressBookDocument &document_;
    RecordKind kind_;
    std::vector<size_t> rows_;
    std::map<std::pair<size_t, size_t>, QString> findings_; // (record, field) -> messages
};

// File bytes to text: UTF-8 when they are valid UTF-8, else one character a byte.
QString fromFileBytes(const std::string &bytes);
std::string toFileBytes(const QString &text);

} // namespace q57::preview

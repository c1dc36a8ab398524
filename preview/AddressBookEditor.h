// SPDX-License-Identifier: MIT
#pragma once
// The address book editor: groups and contacts in two sortable tables under
// one filter box, the rules' findings marked live on the cells, and Save,
// which replaces the target file whole. Modal; Cancel (or Escape) asks first
// when there are changes that were not saved.
//
// Keys: Ctrl+F filter, Ctrl+S save, Delete removes the selected rows,
// Insert adds a record to the focused table, Enter on a member cell picks the
// group's members, Escape cancels.

#include "preview/AddressBookDocument.h"

#include <QDialog>

#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QSortFilterProxyModel;
class QTableView;

namespace q57::preview {

class RecordTableModel;

class AddressBookEditor : public QDialog {
    Q_OBJECT
public:
    // Edits `document`; Save writes it to `target`. `fileName` goes in the title.
    AddressBookEditor(AddressBookDocument document, std::string target, const QString &fileName,
                      QWidget *parent = nullptr);

    const AddressBookDocument &document() const { return document_; }
    int problemCount() const { return problems_; }

    bool save();
    void reject() override;

private:
    struct Table {
        RecordTableModel *model = nullptr;
        QSortFilterProxyModel *proxy = nullptr;
        QTableView *view = nullptr;
        std::vector<QWidget *> buttons; // in the order Tab visits them
    };

    QWidget *buildTable(Table &table, RecordKind kind, const QString &title);
    void bindKeys(Table &table);
    void refresh();
    void reloadTables();
    void addRecord(Table &table);
    void deleteSelected(Table &table);
    void pickMembers(const QModelIndex &proxyIndex);
    void selectRecord(Table &table, size_t record);

    AddressBookDocument document_;
    std::string target_;
    Table groups_;
    Table contacts_;
    QLineEdit *filter_ = nullptr;
    QLabel *status_ = nullptr;
    QLabel *notice_ = nullptr;
    int problems_ = 0;
};

} // namespace q57::preview

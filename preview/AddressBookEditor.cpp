// SPDX-License-Identifier: MIT
#include "preview/AddressBookEditor.h"

#include "preview/AddressBookFindings.h"
#include "preview/AddressBookStorage.h"
#include "preview/MemberPicker.h"
#include "preview/PlainMessage.h"
#include "preview/RecordDelegate.h"
#include "preview/RecordTableModel.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>

namespace q57::preview {

namespace {

const QString Caption = QStringLiteral("Q57 Address Book");

} // namespace

AddressBookEditor::AddressBookEditor(AddressBookDocument document, std::string target, const QString &fileName,
                                     QWidget *parent)
    : QDialog(parent), document_(std::move(document)), target_(std::move(target))
{
    setWindowTitle(tr("%1 - %2").arg(Caption, fileName));
    setObjectName(QStringLiteral("addressBookEditor"));

    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("problems"));
    notice_ = new QLabel(this);
    notice_->setObjectName(QStringLiteral("notice"));
    filter_ = new QLineEdit(this);
    filter_->setObjectName(QStringLiteral("filter"));
    filter_->setPlaceholderText(tr("Filter (Ctrl+F): any field"));
    filter_->setClearButtonEnabled(true);

    auto *splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(buildTable(groups_, RecordKind::Group, tr("&Groups")));
    splitter->addWidget(buildTable(contacts_, RecordKind::Contact, tr("&Contacts")));
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 3);

    connect(filter_, &QLineEdit::textChanged, this, [this](const QString &text) {
        groups_.proxy->setFilterFixedString(text);
        contacts_.proxy->setFilterFixedString(text);
    });

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { save(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &AddressBookEditor::reject);
    // Enter belongs to the cell being edited, never to a default button.
    for (QAbstractButton *button : buttons->buttons()) {
        if (auto *push = qobject_cast<QPushButton *>(button)) {
            push->setAutoDefault(false);
            push->setDefault(false);
        }
    }

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(status_);
    bottom->addWidget(notice_, 1);
    bottom->addWidget(buttons);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(filter_);
    layout->addWidget(splitter, 1);
    layout->addLayout(bottom);

    auto *find = new QShortcut(QKeySequence::Find, this);
    connect(find, &QShortcut::activated, this, [this] {
        filter_->setFocus(Qt::ShortcutFocusReason);
        filter_->selectAll();
    });
    auto *saveKey = new QShortcut(QKeySequence::Save, this);
    connect(saveKey, &QShortcut::activated, this, [this] { save(); });

    // Tab goes down the window: each table, then its buttons.
    std::vector<QWidget *> order{filter_, groups_.view};
    order.insert(order.end(), groups_.buttons.begin(), groups_.buttons.end());
    order.push_back(contacts_.view);
    order.insert(order.end(), contacts_.buttons.begin(), contacts_.buttons.end());
    for (QAbstractButton *button : buttons->buttons())
        order.push_back(button);
    for (size_t i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
    resize(1000, 640);
    refresh();
    contacts_.view->setFocus();
}

QWidget *AddressBookEditor::buildTable(Table &table, RecordKind kind, const QString &title)
{
    auto *box = new QWidget(this);
    table.model = new RecordTableModel(document_, kind, this);
    table.proxy = new QSortFilterProxyModel(this);
    table.proxy->setSourceModel(table.model);
    table.proxy->setSortRole(RecordTableModel::SortRole);
    table.proxy->setFilterKeyColumn(-1);
    table.proxy->setFilterCaseSensitivity(Qt::CaseInsensitive);
    table.view = new QTableView(box);
    table.view->setObjectName(kind == RecordKind::Group ? QStringLiteral("groups") : QStringLiteral("contacts"));
    table.view->setModel(table.proxy);
    table.view->setItemDelegate(new RecordDelegate(table.view));
    table.view->setSortingEnabled(true);
    table.view->sortByColumn(-1, Qt::AscendingOrder); // file order until a header is clicked
    table.view->setSelectionBehavior(QAbstractItemView::SelectItems);
    table.view->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                QAbstractItemView::AnyKeyPressed);
    table.view->setTabKeyNavigation(false); // Tab moves between the controls
    table.view->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    table.view->verticalHeader()->hide();

    auto *label = new QLabel(title, box);
    label->setBuddy(table.view);
    auto *add = new QPushButton(kind == RecordKind::Group ? tr("Add Group") : tr("Add Contact"), box);
    auto *remove = new QPushButton(tr("Delete"), box);
    add->setAutoDefault(false);
    remove->setAutoDefault(false);
    connect(add, &QPushButton::clicked, this, [this, &table] { addRecord(table); });
    connect(remove, &QPushButton::clicked, this, [this, &table] { deleteSelected(table); });
    auto *header = new QHBoxLayout;
    header->addWidget(label, 1);
    if (kind == RecordKind::Group) {
        auto *members = new QPushButton(tr("&Members..."), box);
        members->setAutoDefault(false);
        connect(members, &QPushButton::clicked, this, [this] {
            const QModelIndex current = groups_.view->currentIndex();
            if (current.isValid())
                pickMembers(current);
        });
        header->addWidget(members);
        table.buttons.push_back(members);
    }
    header->addWidget(add);
    header->addWidget(remove);
    table.buttons.push_back(add);
    table.buttons.push_back(remove);
    auto *layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(header);
    layout->addWidget(table.view);

    connect(table.model, &RecordTableModel::edited, this, &AddressBookEditor::refresh);
    connect(table.model, &RecordTableModel::refused, notice_, &QLabel::setText);
    if (kind == RecordKind::Group) {
        connect(table.view, &QTableView::activated, this, [this](const QModelIndex &index) {
            if (groups_.model->columnAt(index.column()).kind == ColumnKind::Member)
                pickMembers(index);
        });
    }
    bindKeys(table);
    return box;
}

void AddressBookEditor::bindKeys(Table &table)
{
    auto *remove = new QShortcut(QKeySequence::Delete, table.view, nullptr, nullptr, Qt::WidgetShortcut);
    connect(remove, &QShortcut::activated, this, [this, &table] { deleteSelected(table); });
    auto *add = new QShortcut(QKeySequence(Qt::Key_Insert), table.view, nullptr, nullptr, Qt::WidgetShortcut);
    connect(add, &QShortcut::activated, this, [this, &table] { addRecord(table); });
}

// Every edit runs the rules again over the whole book: a change in one
// record (a number, a member ID) can settle or raise a finding in another.
void AddressBookEditor::refresh()
{
    const std::vector<Finding> findings = findProblems(document_);
    problems_ = static_cast<int>(findings.size());
    groups_.model->setFindings(findings);
    contacts_.model->setFindings(findings);
    status_->setText(problems_ == 0   ? tr("No problems")
                     : problems_ == 1 ? tr("1 problem")
                                      : tr("%1 problems").arg(problems_));
}

void AddressBookEditor::reloadTables()
{
    groups_.model->reload();
    contacts_.model->reload();
    refresh();
}

void AddressBookEditor::selectRecord(Table &table, size_t record)
{
    const int row = table.model->rowOf(record);
    if (row < 0)
        return;
    const QModelIndex index = table.proxy->mapFromSource(table.model->index(row, 0));
    table.view->setCurrentIndex(index);
    table.view->scrollTo(index);
    table.view->setFocus();
}

void AddressBookEditor::addRecord(Table &table)
{
    const auto record = document_.addRecord(table.model->kind());
    if (!record) {
        notice_->setText(table.model->kind() == RecordKind::Group ? tr("The book holds 15 groups already.")
                                                                  : tr("Every contact number is in use."));
        return;
    }
    notice_->clear();
    // The filter would hide the empty record.
    filter_->clear();
    reloadTables();
    selectRecord(table, *record);
}

void AddressBookEditor::deleteSelected(Table &table)
{
    std::vector<size_t> records;
    for (const QModelIndex &index : table.view->selectionModel()->selectedIndexes())
        records.push_back(table.model->recordAt(table.proxy->mapToSource(index).row()));
    if (records.empty() && table.view->currentIndex().isValid())
        records.push_back(table.model->recordAt(table.proxy->mapToSource(table.view->currentIndex()).row()));
    if (records.empty())
        return;
    document_.remove(records);
    reloadTables();
}

void AddressBookEditor::pickMembers(const QModelIndex &proxyIndex)
{
    const size_t group = groups_.model->recordAt(groups_.proxy->mapToSource(proxyIndex).row());
    MemberPicker picker(document_, group, this);
    if (picker.exec() != QDialog::Accepted)
        return;
    document_.setMembers(group, picker.members());
    refresh();
}

bool AddressBookEditor::save()
{
    // A cell still being edited holds the user's last change.
    if (QWidget *focused = focusWidget())
        focused->clearFocus();
    if (problems_ > 0) {
        const QString question = tr("The address book has %1 problem(s). A restore refuses it until they are "
                                    "fixed.\n\nSave it anyway?")
                                     .arg(problems_);
        if (QMessageBox::question(this, Caption, question, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) !=
            QMessageBox::Yes)
            return false;
    }
    if (!saveAddressBook(document_, target_)) {
        showPlainWarning(this, Caption,
                         tr("Unable to save the address book to %1.").arg(QString::fromLocal8Bit(target_.c_str())));
        return false;
    }
    document_.markSaved();
    accept();
    return true;
}

void AddressBookEditor::reject()
{
    if (document_.modified() &&
        QMessageBox::question(this, Caption, tr("Discard the changes to the address book?"),
                              QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes)
        return;
    QDialog::reject();
}

} // namespace q57::preview

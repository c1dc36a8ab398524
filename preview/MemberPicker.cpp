// SPDX-License-Identifier: MIT
#include "preview/MemberPicker.h"

#include "preview/RecordTableModel.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace q57::preview {

namespace {

constexpr int NumberRole = Qt::UserRole;

} // namespace

MemberPicker::MemberPicker(const AddressBookDocument &document, size_t group, QWidget *parent)
    : QDialog(parent), former_(document.members(group)), list_(new QListWidget(this)), note_(new QLabel(this))
{
    setWindowTitle(tr("Members of %1").arg(fromFileBytes(document.field(group, 2))));
    for (size_t i = 0; i < document.size(); ++i) {
        if (document.kind(i) != RecordKind::Contact)
            continue;
        const uint32_t number = document.number(i);
        auto *item = new QListWidgetItem(
            QStringLiteral("%1  %2").arg(number).arg(fromFileBytes(document.contactName(i))), list_);
        item->setData(NumberRole, number);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        const bool member = std::find(former_.begin(), former_.end(), number) != former_.end();
        item->setCheckState(member ? Qt::Checked : Qt::Unchecked);
    }
    connect(list_, &QListWidget::itemChanged, this, &MemberPicker::itemChanged);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(
        tr("Tick the contacts that belong to the group (at most %1):").arg(AddressBookDocument::MemberFieldCount),
        this));
    layout->addWidget(list_);
    layout->addWidget(note_);
    layout->addWidget(buttons);
    list_->setCurrentRow(0);
}

int MemberPicker::tickedCount() const
{
    int ticked = 0;
    for (int row = 0; row < list_->count(); ++row)
        ticked += list_->item(row)->checkState() == Qt::Checked ? 1 : 0;
    return ticked;
}

void MemberPicker::itemChanged(QListWidgetItem *item)
{
    if (item->checkState() == Qt::Checked && tickedCount() > static_cast<int>(AddressBookDocument::MemberFieldCount)) {
        item->setCheckState(Qt::Unchecked);
        note_->setText(tr("A group holds at most %1 members.").arg(AddressBookDocument::MemberFieldCount));
        return;
    }
    note_->clear();
}

std::vector<uint32_t> MemberPicker::members() const
{
    std::vector<uint32_t> ticked;
    for (int row = 0; row < list_->count(); ++row) {
        if (list_->item(row)->checkState() == Qt::Checked)
            ticked.push_back(list_->item(row)->data(NumberRole).toUInt());
    }
    std::vector<uint32_t> kept;
    for (uint32_t number : former_) {
        if (std::find(ticked.begin(), ticked.end(), number) != ticked.end() &&
            std::find(kept.begin(), kept.end(), number) == kept.end())
            kept.push_back(number);
    }
    for (uint32_t number : ticked) {
        if (std::find(kept.begin(), kept.end(), number) == kept.end())
            kept.push_back(number);
    }
    return kept;
}

} // namespace q57::preview

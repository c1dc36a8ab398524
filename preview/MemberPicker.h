// SPDX-License-Identifier: MIT
#pragma once
// Picks a group's members from the contacts by name: a checkable list of
// every contact, at most 16 of them ticked.

#include "preview/AddressBookDocument.h"

#include <QDialog>

#include <cstdint>
#include <vector>

class QLabel;
class QListWidget;
class QListWidgetItem;

namespace q57::preview {

class MemberPicker : public QDialog {
    Q_OBJECT
public:
    MemberPicker(const AddressBookDocument &document, size_t group, QWidget *parent = nullptr);

    // The members kept in their former order, then those newly ticked in list order.
    std::vector<uint32_t> members() const;

private:
    void itemChanged(QListWidgetItem *item);
    int tickedCount() const;

    std::vector<uint32_t> former_;
    QListWidget *list_;
    QLabel *note_;
};

} // namespace q57::preview

// SPDX-License-Identifier: MIT
#pragma once
// The "Merge" window: the user picks the Q57 address book file, the W300 one,
// or both, and "&Preview adr file" shows that file (or the two merged) in the
// preview library, whose outcome the merge then places. A modal dialog laid
// out in dialog units like the main window; its values live in the fields
// below and move between them and the controls as a whole, on demand.

#include "merge/AddressBookMerge.h"
#include "ui/DialogUnits.h"
#include "ui/ItemFileBrowse.h"

#include <QDialog>
#include <QString>

#include <vector>

class QCheckBox;
class QLineEdit;

namespace q57::ui {

class MergeWindow : public QDialog {
    Q_OBJECT
public:
    struct Fields {
        int mergeBoth = 0;
        int w300Ticked = 0;
        QString w300Path;
        QString q57Path;
        int q57Ticked = 0;
        QString mergedPath;
        QString mergedName;
    };

    MergeWindow(const MergeServices &merge, const ItemFileBrowse &browsing, QWidget *parent = nullptr);
    ~MergeWindow() override;

    const Fields &fields() const { return fields_; }

    // The window's commands.
    void mergeBothClicked();
    void singleClicked(bool q57);
    void browse(bool q57);
    void preview();

    // Asks "Are you sure you want to quit?" and closes on Yes.
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void buildControls();
    void applyGeometry();
    void fillFromCatalogue();
    void takeIn();
    void showFields();
    void showWholePath(QLineEdit *box);

    MergeServices merge_;
    ItemFileBrowse browsing_;
    Fields fields_;
    DialogLayout layout_;

    QCheckBox *mergeBothBox_ = nullptr;
    QCheckBox *q57Box_ = nullptr;
    QCheckBox *w300Box_ = nullptr;
    QLineEdit *q57PathBox_ = nullptr;
    QLineEdit *w300PathBox_ = nullptr;
    QLineEdit *mergedNameBox_ = nullptr;
    QLineEdit *mergedPathBox_ = nullptr;
};

} // namespace q57::ui

// SPDX-License-Identifier: MIT
#include "ui/MergeWindow.h"

#include "app/ItemCatalogue.h"
#include "app/JobLock.h"
#include "app/UserInteraction.h"
#include "ui/DialogUnits.h"
#include "ui/EnterAsSpace.h"
#include "ui/PathText.h"

#include <QCheckBox>
#include <QEvent>
#include <QFile>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace q57::ui {

namespace {

constexpr int MergeClientWidth = 297;
constexpr int MergeClientHeight = 129;

QPushButton *commandButton(const QString &text, const char *name, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    // Enter presses the focused button (EnterAsSpace), never a default one.
    button->setAutoDefault(false);
    button->setObjectName(QLatin1String(name));
    return button;
}

} // namespace

MergeWindow::MergeWindow(const MergeServices &merge, const ItemFileBrowse &browsing, QWidget *parent)
    : QDialog(parent), merge_(merge), browsing_(browsing)
{
    setWindowTitle(QStringLiteral("Merge"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    buildControls();
    applyGeometry();
    fillFromCatalogue();
    showFields();
    showWholePath(q57PathBox_);
    showWholePath(w300PathBox_);
}

MergeWindow::~MergeWindow() = default;

// Tab walks the controls in the order they are made here: the order the user
// reads them.
void MergeWindow::buildControls()
{
    layout_.place(new QGroupBox(this), 7, 3, 283, 68);
    mergeBothBox_ = new QCheckBox(QStringLiteral("Merge Q57 and W300 Address Book"), this);
    mergeBothBox_->setObjectName(QStringLiteral("mergeBoth"));
    layout_.place(mergeBothBox_, 12, 12, 135, 15);

    q57Box_ = new QCheckBox(QStringLiteral("Q57 Address Book"), this);
    q57Box_->setObjectName(QStringLiteral("q57Ticked"));
    layout_.place(q57Box_, 20, 34, 86, 10);
    QPushButton *q57Browse = commandButton(QStringLiteral("Browse"), "q57Browse", this);
    layout_.place(q57Browse, 110, 31, 35, 14);
    q57PathBox_ = new QLineEdit(this);
    q57PathBox_->setObjectName(QStringLiteral("q57Path"));
    layout_.place(q57PathBox_, 150, 31, 134, 14);

    w300Box_ = new QCheckBox(QStringLiteral("W300 Address Book"), this);
    w300Box_->setObjectName(QStringLiteral("w300Ticked"));
    layout_.place(w300Box_, 20, 51, 85, 10);
    QPushButton *w300Browse = commandButton(QStringLiteral("Browse"), "w300Browse", this);
    layout_.place(w300Browse, 110, 50, 35, 14);
    w300PathBox_ = new QLineEdit(this);
    w300PathBox_->setObjectName(QStringLiteral("w300Path"));
    layout_.place(w300PathBox_, 150, 51, 133, 13);

    QPushButton *previewButton = commandButton(QStringLiteral("&Preview adr file"), "preview", this);
    layout_.place(previewButton, 168, 77, 61, 22);
    QPushButton *exitButton = commandButton(QStringLiteral("Exit"), "exit", this);
    layout_.place(exitButton, 236, 77, 50, 22);

    layout_.place(new QLabel(QStringLiteral("Merged File Name:"), this), 6, 82, 60, 10);
    mergedNameBox_ = new QLineEdit(this);
    mergedNameBox_->setReadOnly(true);
    mergedNameBox_->setFrame(false);
    mergedNameBox_->setObjectName(QStringLiteral("mergedName"));
    layout_.place(mergedNameBox_, 71, 82, 65, 12);
    layout_.place(new QLabel(QStringLiteral("Merged File Path:"), this), 6, 95, 56, 8);
    mergedPathBox_ = new QLineEdit(this);
    mergedPathBox_->setReadOnly(true);
    mergedPathBox_->setObjectName(QStringLiteral("mergedPath"));
    layout_.place(mergedPathBox_, 8, 107, 282, 12);

    connect(mergeBothBox_, &QCheckBox::clicked, this, &MergeWindow::mergeBothClicked);
    connect(q57Box_, &QCheckBox::clicked, this, [this] { singleClicked(true); });
    connect(w300Box_, &QCheckBox::clicked, this, [this] { singleClicked(false); });
    connect(q57Browse, &QPushButton::clicked, this, [this] { browse(true); });
    connect(w300Browse, &QPushButton::clicked, this, [this] { browse(false); });
    connect(previewButton, &QPushButton::clicked, this, &MergeWindow::preview);
    connect(exitButton, &QPushButton::clicked, this, &QWidget::close);

    auto *keys = new EnterAsSpace(this);
    for (QWidget *child : findChildren<QWidget *>())
        child->installEventFilter(keys);
}

void MergeWindow::applyGeometry()
{
    const DialogUnits units = layout_.apply(font());
    setFixedSize(units.x(MergeClientWidth), units.y(MergeClientHeight));
}

void MergeWindow::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::FontChange && !layout_.empty())
        applyGeometry();
}

void MergeWindow::fillFromCatalogue()
{
    const ItemCatalogue &catalogue = merge_.catalogue;
    const DataItem &q57 = catalogue.item(Q57AddressBook);
    const DataItem &w300 = catalogue.item(W300AddressBook);
    fields_.q57Ticked = q57.selected ? 1 : 0;
    fields_.w300Ticked = w300.selected ? 1 : 0;
    fields_.mergeBoth = catalogue.item(MergedAddressBook).selected ? 1 : 0;
    fields_.q57Path = pathText(q57.directory + q57.fileName);
    fields_.w300Path = pathText(w300.directory + w300.fileName);
    if (fields_.mergeBoth == 1)
        fields_.q57Ticked = fields_.w300Ticked = 1;
    else if (fields_.q57Ticked == 1)
        fields_.w300Ticked = 0;
    else if (fields_.w300Ticked == 1)
        fields_.q57Ticked = 0;
}

void MergeWindow::takeIn()
{
    fields_.mergeBoth = mergeBothBox_->isChecked() ? 1 : 0;
    fields_.w300Ticked = w300Box_->isChecked() ? 1 : 0;
    fields_.w300Path = w300PathBox_->text();
    fields_.q57Path = q57PathBox_->text();
    fields_.q57Ticked = q57Box_->isChecked() ? 1 : 0;
    fields_.mergedPath = mergedPathBox_->text();
    fields_.mergedName = mergedNameBox_->text();
}

void MergeWindow::showFields()
{
    mergeBothBox_->setChecked(fields_.mergeBoth == 1);
    w300Box_->setChecked(fields_.w300Ticked == 1);
    q57Box_->setChecked(fields_.q57Ticked == 1);
    // During a merge both files take part: neither single box can be changed.
    q57Box_->setEnabled(fields_.mergeBoth != 1);
    w300Box_->setEnabled(fields_.mergeBoth != 1);
    if (w300PathBox_->text() != fields_.w300Path)
        w300PathBox_->setText(fields_.w300Path);
    if (q57PathBox_->text() != fields_.q57Path)
        q57PathBox_->setText(fields_.q57Path);
    mergedPathBox_->setText(fields_.mergedPath);
    mergedNameBox_->setText(fields_.mergedName);
}

// The whole path selected, with the caret (and so the view) at its end, where
// the file's name is.
void MergeWindow::showWholePath(QLineEdit *box)
{
    box->home(false);
    box->end(true);
}

void MergeWindow::mergeBothClicked()
{
    takeIn();
    fields_.q57Ticked = fields_.w300Ticked = fields_.mergeBoth;
    showFields();
}

// Outside a merge at most one file is chosen.
void MergeWindow::singleClicked(bool q57)
{
    takeIn();
    if (q57 && fields_.q57Ticked == 1)
        fields_.w300Ticked = 0;
    if (!q57 && fields_.w300Ticked == 1)
        fields_.q57Ticked = 0;
    showFields();
}

void MergeWindow::browse(bool q57)
{
    takeIn();
    const ItemId id = q57 ? Q57AddressBook : W300AddressBook;
    QString &path = q57 ? fields_.q57Path : fields_.w300Path;
    if (const std::optional<std::string> chosen = browsing_.browse(this, id, merge_.catalogue.item(id), path))
        path = pathText(*chosen);
    showFields();
    showWholePath(q57 ? q57PathBox_ : w300PathBox_);
}

void MergeWindow::preview()
{
    takeIn();
    ItemCatalogue &catalogue = merge_.catalogue;
    catalogue.item(Q57AddressBook).setFromWindow(fields_.q57Ticked, pathBytes(fields_.q57Path));
    catalogue.item(W300AddressBook).setFromWindow(fields_.w300Ticked, pathBytes(fields_.w300Path));
    catalogue.item(MergedAddressBook).selected = fields_.mergeBoth == 1;
    if (fields_.q57Ticked == 0 && fields_.w300Ticked == 0 && fields_.mergeBoth == 0) {
        showMessage(merge_.ui, "Please select item to %s.", "preview");
        showFields();
        return;
    }
    int mode = MergeBoth;
    if (fields_.q57Ticked == 1 && fields_.mergeBoth == 0)
        mode = PreviewQ57;
    else if (fields_.w300Ticked == 1 && fields_.mergeBoth == 0)
        mode = PreviewW300;

    // The staging and hand-off files have fixed names in the private folder,
    // which a job or a merge of another run of the program would share.
    JobLock lock;
    if (!takeMergeLock(lock, merge_)) {
        showFields();
        return;
    }
    if (stageAddressBooks(merge_, mode)) {
        if (showInPreviewLibrary(merge_, mode)) {
            fields_.mergedPath = pathText(catalogue.item(Q57AddressBook).directory);
            // The name the merged file was given, which the settings may change.
            fields_.mergedName = pathText(catalogue.item(MergedAddressBook).fileName);
        } else {
            fields_.mergedPath.clear();
            fields_.mergedName.clear();
        }
    }
    showFields();
}

// Exit, the close button and the system menu all end here (a dialog closes
// through reject()).
void MergeWindow::reject()
{
    if (merge_.ui.askYesNo("Close Merge Window?", "Are you sure you want to quit?"))
        QDialog::reject();
}

void MergeWindow::keyPressEvent(QKeyEvent *event)
{
    // Escape belongs to the focused control; it never closes the window.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace q57::ui

// SPDX-License-Identifier: MIT
#include "ui/MainWindow.h"

#include "app/AppSettings.h"
#include "app/ItemCatalogue.h"
#include "core/ProgramCore.h"
#include "ui/ApplicationIcon.h"
#include "ui/DialogUnits.h"
#include "ui/EnterAsSpace.h"
#include "ui/PathText.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>

namespace q57::ui {

namespace {

// Window size and the rows' vertical places, in dialog units.
constexpr int ClientWidth = 331;
constexpr int ClientHeight = 175;
constexpr std::array<int, MainWindow::RowCount> RowTops = {25, 43, 61, 80, 99};
// The row's boxes are 14 units high and centred on its 10-unit check box.
constexpr int RowBoxOffset = -2;
constexpr int TextHeight = 8;
constexpr int CheckBoxWidth = 70;
constexpr int CheckBoxHeight = 10;

} // namespace

MainWindow::MainWindow(const WindowServices &services) : services_(services)
{
    setWindowTitle(QStringLiteral("Zantherix Q57 Backup and Restore"));
    // A fixed dialog: minimize and close, no maximize.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setWindowIcon(applicationIcon());
    buildControls();
    buildMenus();
    applyGeometry();
    fillFromCatalogue();
    services_.core.settings().paths.programDirectory = QCoreApplication::applicationDirPath().toStdString() + "/";
    showValues();
    // The end of each name is what tells the files apart. (A box entered with
    // Tab selects its whole text by itself.)
    for (QLineEdit *box : fileBoxes_)
        box->end(false);
}

MainWindow::~MainWindow() = default;

void MainWindow::buildControls()
{
    client_ = new QWidget(this);
    setCentralWidget(client_);
    // The frames first, so the controls inside them lie on top.
    layout_.place(new QGroupBox(client_), 7, 15, 80, 152);
    layout_.place(new QGroupBox(client_), 93, 118, 233, 49);
    layout_.place(new QLabel(QStringLiteral("File Name:"), client_), 104, 10, 0, TextHeight);
    layout_.place(new QLabel(QStringLiteral("Progress:"), client_), 251, 10, 0, TextHeight);
    // A sunken read-only box without a line edit's inner margins: "100" fits.
    percentBox_ = new QLabel(client_);
    percentBox_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    percentBox_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    percentBox_->setIndent(1);
    percentBox_->setObjectName(QStringLiteral("percent"));
    layout_.place(percentBox_, 284, 10, 13, 12);
    layout_.place(new QLabel(QStringLiteral("%"), client_), 299, 10, 0, TextHeight);
    for (int row = 0; row < RowCount; ++row)
        buildRow(row, RowTops[static_cast<size_t>(row)]);

    auto *deselectAll = new QPushButton(QStringLiteral("&Deselect All"), client_);
    auto *selectAll = new QPushButton(QStringLiteral("Select &All"), client_);
    auto *clear = new QPushButton(QStringLiteral("&Clear Address Book"), client_);
    auto *backup = new QPushButton(QStringLiteral("&Backup To PC"), client_);
    auto *restore = new QPushButton(QStringLiteral("&Restore To Q57"), client_);
    layout_.place(deselectAll, 17, 119, 60, 18);
    layout_.place(selectAll, 17, 142, 60, 18);
    layout_.place(clear, 102, 128, 70, 14);
    layout_.place(backup, 176, 128, 70, 14);
    layout_.place(restore, 250, 128, 70, 14);
    connect(deselectAll, &QPushButton::clicked, this, [this] { this->selectAll(false); });
    connect(selectAll, &QPushButton::clicked, this, [this] { this->selectAll(true); });
    connect(clear, &QPushButton::clicked, this, &MainWindow::startClearAddressBook);
    connect(backup, &QPushButton::clicked, this, [this] { startBackupOrRestore(true); });
    connect(restore, &QPushButton::clicked, this, [this] { startBackupOrRestore(false); });
    commandButtons_ = {deselectAll, selectAll, clear, backup, restore};

    layout_.place(new QLabel(QStringLiteral("Status:"), client_), 103, 149, 0, TextHeight);
    statusBox_ = new QLineEdit(client_);
    statusBox_->setReadOnly(true);
    statusBox_->setObjectName(QStringLiteral("status"));
    layout_.place(statusBox_, 127, 147, 193, 14);

    // The test controls are made but never shown: jobs read them, users never see them.
    selfTest_ = new QCheckBox(QStringLiteral("Self Test"), client_);
    fileRequest_ = new QCheckBox(QStringLiteral("File Request"), client_);
    fileRequestBox_ = new QLineEdit(client_);
    fileRequestBox_->setMaxLength(16);
    testStatusBox_ = new QLineEdit(client_);
    testStatusBox_->setReadOnly(true);
    for (QWidget *hidden : std::initializer_list<QWidget *>{selfTest_, fileRequest_, fileRequestBox_, testStatusBox_})
        hidden->hide();

    auto *keys = new EnterAsSpace(this);
    for (QWidget *child : client_->findChildren<QWidget *>())
        child->installEventFilter(keys);
}

void MainWindow::buildRow(int row, int top)
{
    const ItemId id = DeviceItemIds[static_cast<size_t>(row)];
    auto *check = new QCheckBox(QString::fromStdString(services_.core.catalogue().item(id).displayName), client_);
    auto *box = new QLineEdit(client_);
    auto *browse = new QPushButton(QStringLiteral("Browse"), client_);
    auto *bar = new QProgressBar(client_);
    bar->setRange(0, 100);
    bar->setTextVisible(false);
    check->setObjectName(QStringLiteral("include%1").arg(row));
    box->setObjectName(QStringLiteral("fileName%1").arg(row));
    browse->setObjectName(QStringLiteral("browse%1").arg(row));
    bar->setObjectName(QStringLiteral("progress%1").arg(row));
    layout_.place(check, 11, top, CheckBoxWidth, CheckBoxHeight);
    layout_.place(box, 102, top + RowBoxOffset, 87, 14);
    layout_.place(browse, 198, top + RowBoxOffset, 35, 14);
    layout_.place(bar, 251, top + RowBoxOffset, 70, 14);
    connect(browse, &QPushButton::clicked, this, [this, row] { this->browse(row); });
    checks_[static_cast<size_t>(row)] = check;
    fileBoxes_[static_cast<size_t>(row)] = box;
    browseButtons_[static_cast<size_t>(row)] = browse;
    bars_[static_cast<size_t>(row)] = bar;
}

void MainWindow::applyGeometry()
{
    const DialogUnits units = layout_.apply(font());
    client_->setFixedSize(units.x(ClientWidth), units.y(ClientHeight));
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

QWidget *MainWindow::dialogParent()
{
    QWidget *modal = QApplication::activeModalWidget();
    return modal != nullptr ? modal : this;
}

void MainWindow::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::FontChange && client_ != nullptr)
        applyGeometry();
}

void MainWindow::fillFromCatalogue()
{
    for (int row = 0; row < RowCount; ++row) {
        const DataItem &item = services_.core.catalogue().item(DeviceItemIds[static_cast<size_t>(row)]);
        values_.included[static_cast<size_t>(row)] = item.selected;
        values_.fullNames[static_cast<size_t>(row)] = pathText(item.directory + item.fileName);
    }
    services_.core.settings().runtime.jobFlags.clearMode = false;
}

void MainWindow::takeIn()
{
    for (size_t row = 0; row < RowCount; ++row) {
        values_.included[row] = checks_[row]->isChecked();
        values_.fullNames[row] = fileBoxes_[row]->text();
    }
}

void MainWindow::showValues()
{
    for (size_t row = 0; row < RowCount; ++row) {
        checks_[row]->setChecked(values_.included[row]);
        if (fileBoxes_[row]->text() != values_.fullNames[row])
            fileBoxes_[row]->setText(values_.fullNames[row]);
        bars_[row]->setValue(values_.progress[row]);
    }
    // Notices come with every chunk of a transfer: only what changed is redrawn.
    const QString percent = QString::number(values_.percent);
    if (percentBox_->text() != percent)
        percentBox_->setText(percent);
    if (statusBox_->text() != values_.status)
        statusBox_->setText(values_.status);
}

void MainWindow::setJobControlsEnabled(bool enabled)
{
    for (size_t row = 0; row < RowCount; ++row) {
        checks_[row]->setEnabled(enabled);
        fileBoxes_[row]->setEnabled(enabled);
        browseButtons_[row]->setEnabled(enabled);
    }
    for (QPushButton *button : commandButtons_)
        button->setEnabled(enabled);
}

void MainWindow::buildMenus()
{
    QMenu *file = menuBar()->addMenu(QStringLiteral("&File"));
    connect(file->addAction(QStringLiteral("View Status Log")), &QAction::triggered, this, &MainWindow::viewStatusLog);
    connect(file->addAction(QStringLiteral("Exit")), &QAction::triggered, this, &QWidget::close);

    QMenu *options = menuBar()->addMenu(QStringLiteral("&Options"));
    portMenu_ = options->addMenu(QStringLiteral("Serial Port"));
    portMenu_->setToolTipsVisible(true);
    for (size_t index = 0; index < portActions_.size(); ++index) {
        const PortChoice choice = PortChoice::serial(static_cast<int>(index) + 1);
        QAction *port = portMenu_->addAction(QString::fromStdString(choice.label()));
        port->setCheckable(true);
        connect(port, &QAction::triggered, this, [this, choice] { choosePort(choice); });
        portActions_[index] = port;
    }
    connect(portMenu_, &QMenu::aboutToShow, this, &MainWindow::updatePortMenu);
    connect(options, &QMenu::aboutToShow, this, &MainWindow::updatePortMenu);

    // The merge has no menu item or button; the help document names its key.
    auto *merge = new QAction(this);
    merge->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_M));
    connect(merge, &QAction::triggered, this, &MainWindow::openMergeWindow);
    addAction(merge);

    QMenu *help = menuBar()->addMenu(QStringLiteral("&Help"));
    QAction *helpFile = help->addAction(QStringLiteral("Q57 Backup HELP"));
    helpFile->setShortcut(QKeySequence::HelpContents);
    connect(helpFile, &QAction::triggered, this, &MainWindow::openHelp);
    connect(help->addAction(QStringLiteral("About")), &QAction::triggered, this, &MainWindow::showAbout);
}

} // namespace q57::ui

// SPDX-License-Identifier: MIT
#include "ui/FileChooser.h"

#include <QFile>
#include <QFileDialog>

namespace q57::ui {

std::optional<std::string> DialogFileChooser::chooseFile(QWidget *parent, const FileChoiceRequest &request)
{
    QFileDialog dialog(parent, QString(), QFile::decodeName(request.startFolder.c_str()));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile); // a backup may name a file that does not exist yet
    dialog.setNameFilter(request.nameFilters);
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.startName.empty())
        dialog.selectFile(QFile::decodeName(request.startName.c_str()));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return QFile::encodeName(dialog.selectedFiles().constFirst()).toStdString();
}

} // namespace q57::ui

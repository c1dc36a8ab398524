// SPDX-License-Identifier: MIT
#include "ui/FileChooser.h"

#include "ui/PathText.h"

#include <QFile>
#include <QFileDialog>

namespace q57::ui {

std::optional<std::string> DialogFileChooser::chooseFile(QWidget *parent, const FileChoiceRequest &request)
{
    QFileDialog dialog(parent, QString(), pathText(request.startFolder));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile); // a backup may name a file that does not exist yet
    dialog.setNameFilter(request.nameFilters);
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.startName.empty())
        dialog.selectFile(pathText(request.startName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return pathBytes(dialog.selectedFiles().constFirst());
}

} // namespace q57::ui

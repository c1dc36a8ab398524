// SPDX-License-Identifier: MIT
#include "ui/ItemFileBrowse.h"

#include "app/UserInteraction.h"
#include "ui/BrowseChoice.h"
#include "ui/FileChooser.h"
#include "ui/PathText.h"

#include <QFile>

#include <sys/stat.h>

namespace q57::ui {

namespace {

bool isFolder(const std::string &path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace

std::optional<std::string> ItemFileBrowse::browse(QWidget *parent, ItemId id, DataItem &item,
                                                  const QString &boxText) const
{
    const BrowseStart start = BrowseStart::fromFullName(pathBytes(boxText));
    FileChoiceRequest request;
    request.initialName = start.initialName();
    const BrowseStart bare = start.cancelled();
    request.startFolder = isFolder(bare.folder) ? bare.folder : dataDirectory;
    request.startName = bare.name;
    request.nameFilters = qtNameFilters(browseFilter(id));
    request.defaultSuffix = QString::fromLatin1(defaultExtension(id));

    std::optional<std::string> chosen = files.chooseFile(parent, request);
    if (chosen) {
        item.directory.clear();
        item.splitFullPath(*chosen);
        if (hasOtherExtension(*chosen, defaultExtension(id)))
            ui.showMessage("Warning: Unsupported File Type.");
    } else {
        item.directory = bare.folder;
        item.fileName = bare.name;
    }
    return chosen;
}

} // namespace q57::ui

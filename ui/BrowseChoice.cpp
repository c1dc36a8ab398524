// SPDX-License-Identifier: MIT
#include "ui/BrowseChoice.h"

#include <QStringList>

namespace q57::ui {

namespace {

constexpr const char *NoFolder = "path or file no selected";
constexpr const char *NoName = ".";

bool blank(const std::string &text)
{
    return text.find_first_not_of(' ') == std::string::npos;
}

struct BrowsedItem {
    ItemId id;
    const char *extension;
    const char *filter;
};

// The main window's five rows and the merge window's two address books.
constexpr BrowsedItem BrowsedItems[] = {
    {Preferences, "opt",
     "Preferences Files (*.opt)|*.opt|Text Files (*.txt; *.dat)|*.txt; *.dat|All Files (*.*)|*.*||"},
    {AddressBook, "adr",
     "Address Book Files (*.adr)|*.adr|Text Files (*.txt; *.dat)|*.txt; *.dat|All Files (*.*)|*.*||"},
    {Folders, "fld", "Folders Files (*.fld)|*.fld|Text Files (*.txt; *.dat)|*.txt; *.dat|All Files (*.*)|*.*||"},
    {Memos, "mmo", "Memos Files (*.mmo)|*.mmo|Text Files (*.txt; *.dat)|*.txt; *.dat|All Files (*.*)|*.*||"},
    {Quicktext, "qtx", "Quicktext Files (*.qtx)|*.qtx|Text Files (*.txt; *.dat)|*.txt; *.dat|All Files (*.*)|*.*||"},
    {Q57AddressBook, "adr",
     "Q57 Address Book Files (*.adr)|*.adr|Text Files (*.txt; *.dat)|*.txt; *.dat|All Files (*.*)|*.*||"},
    {W300AddressBook, "adr",
     "W300 Address Book Files (*.adr)|*.adr|Text Files (*.txt; *.dat)|*.txt; *.dat|All Files (*.*)|*.*||"},
};

const BrowsedItem *browsedItem(ItemId id)
{
    for (const BrowsedItem &item : BrowsedItems)
        if (item.id == id)
            return &item;
    return nullptr;
}

} // namespace

BrowseStart BrowseStart::fromFullName(const std::string &fullName)
{
    BrowseStart start;
    const size_t slash = fullName.rfind('/');
    if (slash != std::string::npos && slash != 0) {
        start.folder = fullName.substr(0, slash + 1);
        start.name = fullName.substr(slash + 1);
    }
    if (blank(start.name))
        start.name = NoName;
    if (blank(start.folder))
        start.folder = NoFolder;
    return start;
}

BrowseStart BrowseStart::cancelled() const
{
    BrowseStart back = *this;
    if (back.name == NoName)
        back.name.clear();
    if (back.folder == NoFolder)
        back.folder.clear();
    return back;
}

const char *defaultExtension(ItemId id)
{
    const BrowsedItem *item = browsedItem(id);
    return item != nullptr ? item->extension : "";
}

const char *browseFilter(ItemId id)
{
    const BrowsedItem *item = browsedItem(id);
    return item != nullptr ? item->filter : "";
}

QString qtNameFilters(const char *pipeFilter)
{
    const QStringList parts = QString::fromUtf8(pipeFilter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size() && !parts[i].isEmpty(); i += 2) {
        QStringList patterns;
        for (const QString &pattern : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QString trimmed = pattern.trimmed();
            patterns << (trimmed == QLatin1String("*.*") ? QStringLiteral("*") : trimmed);
        }
        QString label = parts[i];
        const qsizetype bracket = label.indexOf(QLatin1String(" ("));
        if (bracket >= 0)
            label.truncate(bracket);
        filters << label + QLatin1String(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return filters.join(QLatin1String(";;"));
}

bool hasOtherExtension(const std::string &path, const char *extension)
{
    const size_t slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const size_t dot = name.rfind('.');
    const std::string actual = dot == std::string::npos ? std::string() : name.substr(dot + 1);
    return actual != extension;
}

} // namespace q57::ui

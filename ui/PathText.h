// SPDX-License-Identifier: MIT
#pragma once
// File names between the core (bytes, as the file system holds them) and the
// window's boxes (text), in the locale's file name encoding both ways, so a
// name that is not valid text still comes back byte for byte.

#include <QFile>
#include <QString>

#include <string>

namespace q57::ui {

inline QString pathText(const std::string &path)
{
    return QFile::decodeName(path.c_str());
}

inline std::string pathBytes(const QString &text)
{
    return QFile::encodeName(text).toStdString();
}

} // namespace q57::ui

// SPDX-License-Identifier: MIT
#pragma once
// The program's icon (an SVG kept in the library's resources).

#include <QIcon>

namespace q57::ui {

QIcon applicationIcon();

} // namespace q57::ui

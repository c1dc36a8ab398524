// SPDX-License-Identifier: MIT
#include "ui/ApplicationIcon.h"

// Resources of a static library are registered by hand; the macro may not
// stand inside a namespace.
static void registerResources()
{
    Q_INIT_RESOURCE(resources);
}

namespace q57::ui {

QIcon applicationIcon()
{
    static const bool registered = (registerResources(), true);
    (void)registered;
    return QIcon(QStringLiteral(":/q57backup.svg"));
}

} // namespace q57::ui

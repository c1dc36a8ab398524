// SPDX-License-Identifier: MIT
#include "preview/PlainMessage.h"

#include <QMessageBox>

namespace q57::preview {

void showPlainWarning(QWidget *parent, const QString &caption, const QString &text)
{
    QMessageBox box(QMessageBox::Warning, caption, text, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

} // namespace q57::preview

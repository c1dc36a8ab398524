// SPDX-License-Identifier: MIT
#include "ui/EnterAsSpace.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>

namespace q57::ui {

namespace {

bool isEnter(const QEvent *event)
{
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
        return false;
    const int key = static_cast<const QKeyEvent *>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace

bool EnterAsSpace::eventFilter(QObject *watched, QEvent *event)
{
    if (!isEnter(event))
        return QObject::eventFilter(watched, event);
    if (qobject_cast<QAbstractButton *>(watched) != nullptr) {
        const auto *enter = static_cast<const QKeyEvent *>(event);
        QKeyEvent space(enter->type(), Qt::Key_Space, enter->modifiers(), QStringLiteral(" "), enter->isAutoRepeat());
        QCoreApplication::sendEvent(watched, &space);
        return true;
    }
    return qobject_cast<QLineEdit *>(watched) != nullptr; // swallowed
}

} // namespace q57::ui

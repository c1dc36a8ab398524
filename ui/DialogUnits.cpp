// SPDX-License-Identifier: MIT
#include "ui/DialogUnits.h"

#include <QFont>
#include <QWidget>
#include <QFontMetricsF>
#include <QtMath>

namespace q57::ui {

namespace {

constexpr const char *Letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

} // namespace

DialogUnits::DialogUnits(const QFont &font)
{
    const QFontMetricsF metrics(font);
    averageWidth_ = metrics.horizontalAdvance(QString::fromLatin1(Letters)) / 52.0;
    height_ = qCeil(metrics.height());
}

int DialogUnits::x(int units) const
{
    return qRound(units * averageWidth_ / 4.0);
}

int DialogUnits::y(int units) const
{
    return qRound(units * height_ / 8.0);
}

// Both edges are converted, so neighbouring controls meet where the table
// says they meet whatever the rounding.
QRect DialogUnits::rect(int left, int top, int width, int height) const
{
    const int x0 = x(left);
    const int y0 = y(top);
    return QRect(x0, y0, x(left + width) - x0, y(top + height) - y0);
}

QWidget *DialogLayout::place(QWidget *widget, int x, int y, int width, int height)
{
    placements_.push_back({widget, QRect(x, y, width, height)});
    return widget;
}

DialogUnits DialogLayout::apply(const QFont &font) const
{
    const DialogUnits units(font);
    for (const Placement &placement : placements_) {
        const QRect &u = placement.units;
        QRect pixels = units.rect(u.x(), u.y(), u.width(), u.height());
        if (u.width() == 0)
            pixels.setWidth(placement.widget->sizeHint().width());
        placement.widget->setGeometry(pixels);
    }
    return units;
}

} // namespace q57::ui

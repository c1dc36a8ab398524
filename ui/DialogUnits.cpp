// SPDX-License-Identifier: MIT
#include "ui/DialogUnits.h"

#include <QFont>
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

} // namespace q57::ui

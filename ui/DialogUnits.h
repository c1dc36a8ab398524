// SPDX-License-Identifier: MIT
#pragma once
// Dialog units: the window's geometry is written in units of the window font,
// a quarter of the average character width across and an eighth of the
// character height down, so the window keeps its proportions at any font size
// and scale factor.

#include <QRect>

class QFont;

namespace q57::ui {

class DialogUnits {
public:
    explicit DialogUnits(const QFont &font);

    int x(int units) const;
    int y(int units) const;
    QRect rect(int x, int y, int width, int height) const;

    // The average advance of the 52 letters A-Z and a-z, in pixels.
    double averageCharWidth() const { return averageWidth_; }
    int charHeight() const { return height_; }

private:
    double averageWidth_;
    int height_;
};

} // namespace q57::ui

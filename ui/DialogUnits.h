// SPDX-License-Identifier: MIT
#pragma once
// Dialog units: the window's geometry is written in units of the window font,
// a quarter of the average character width across and an eighth of the
// character height down, so the window keeps its proportions at any font size
// and scale factor.

#include <QRect>

#include <vector>

class QFont;
class QWidget;

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

// A window's controls with their places in dialog units, put in pixels for
// the window's font (again whenever the font changes).
class DialogLayout {
public:
    // A width of 0 keeps the control's own width (that of its text).
    QWidget *place(QWidget *widget, int x, int y, int width = 0, int height = 0);
    // Sets every control's geometry; returns the units the controls used.
    DialogUnits apply(const QFont &font) const;
    bool empty() const { return placements_.empty(); }

private:
    struct Placement {
        QWidget *widget;
        QRect units;
    };
    std::vector<Placement> placements_;
};

} // namespace q57::ui

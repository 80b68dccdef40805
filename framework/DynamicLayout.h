#pragma once

#include <QPointer>
#include <QRect>
#include <QSize>
#include <QWidget>

#include <vector>

// Moves and sizes a dialog's controls as the dialog grows or shrinks from
// the size it was built at: each control takes its own share of the change,
// across and down, in where it stands and in its size (0 keeps it as built,
// 1 gives it the whole change). A box that takes the extra room has size
// shares; a button that keeps its place beside the right edge has move x 1.
class DynamicLayout {
public:
    struct Share {
        double moveX = 0;
        double moveY = 0;
        double sizeX = 0;
        double sizeY = 0;
    };

    // Takes the control's present geometry as its place at the built size.
    void Add(QWidget* control, Share share);
    // Lays the controls out for a dialog that many pixels larger (or, with
    // negative numbers, smaller) than built.
    void Apply(QSize change) const;

private:
    struct Item {
        QPointer<QWidget> control;
        QRect built;
        Share share;
    };
    std::vector<Item> m_items;
};

// Dialog-unit geometry for the Qt layer. Dialog layouts are given in dialog units of
// the 9-point dialog font; we fix that font's reference metrics (a horizontal unit of
// 2 pixels, a vertical unit of 1.875 pixels, a 15-pixel text line) so that controls
// placed in dialog units meet pictures drawn at fixed pixel positions on every machine.
#pragma once

#include <QRect>
#include <QSize>
#include <span>
#include <string_view>

class QWidget;

namespace quorlet3 {

inline constexpr int kDialogUnitX2 = 4;   // 2 pixels per unit, times 2
inline constexpr int kDialogUnitY8 = 15;  // 1.875 pixels per unit, times 8
inline constexpr int kDialogTextLine = 15;

constexpr int DialogX(int units) { return units * kDialogUnitX2 / 2; }
constexpr int DialogY(int units) { return units * kDialogUnitY8 / 8; }
inline QRect DialogRect(int x, int y, int w, int h) { return {DialogX(x), DialogY(y), DialogX(w), DialogY(h)}; }
inline QSize DialogSize(int w, int h) { return {DialogX(w), DialogY(h)}; }

// A rectangle in dialog units. A control placed with no size keeps the size it takes
// for itself, as an icon takes its picture's.
struct DialogUnitRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

inline QRect DialogRect(const DialogUnitRect& rect) { return DialogRect(rect.x, rect.y, rect.width, rect.height); }

// One control of a dialog drawn to a fixed design: its object name and its place.
struct ControlPlace {
    std::string_view control;
    DialogUnitRect place;
};

// A dialog drawn to a fixed design: its size and where each of its controls stands, all
// in dialog units.
struct FixedDesign {
    int width = 0;
    int height = 0;
    std::span<const ControlPlace> controls;
};

// Gives the dialog the design's size, which the user cannot change, and puts each control
// (a child of the dialog found by its object name) at its place. A control missing from
// the dialog is a fault of the program and stops it.
void ApplyFixedDesign(QWidget& dialog, const FixedDesign& design);

}  // namespace quorlet3

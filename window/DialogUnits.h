// Dialog-unit geometry for the Qt layer. Dialog layouts are given in dialog units of
// the 9-point dialog font; we fix that font's reference metrics (a horizontal unit of
// 2 pixels, a vertical unit of 1.875 pixels, a 15-pixel text line) so that controls
// placed in dialog units meet pictures drawn at fixed pixel positions on every machine.
#pragma once

#include <QRect>
#include <QSize>

namespace quorlet3 {

inline constexpr int kDialogUnitX2 = 4;   // 2 pixels per unit, times 2
inline constexpr int kDialogUnitY8 = 15;  // 1.875 pixels per unit, times 8
inline constexpr int kDialogTextLine = 15;

inline int DialogX(int units) { return units * kDialogUnitX2 / 2; }
inline int DialogY(int units) { return units * kDialogUnitY8 / 8; }
inline QRect DialogRect(int x, int y, int w, int h) { return QRect(DialogX(x), DialogY(y), DialogX(w), DialogY(h)); }
inline QSize DialogSize(int w, int h) { return QSize(DialogX(w), DialogY(h)); }

}  // namespace quorlet3

// The program's icon, drawn in code: a log sheet with three bars, on a blue tile.
#pragma once

#include <QIcon>
#include <QImage>

namespace quorlet3 {

// The icon as a square image of size × size pixels (transparent outside the tile).
QImage DrawQuorlet3Icon(int size);

// The window icon: the 16 × 16 and 32 × 32 images.
QIcon Quorlet3Icon();

}  // namespace quorlet3

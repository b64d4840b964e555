// The dropped list of a combo box that cuts long items at their end, as the closed box does.
#pragma once

class QComboBox;

namespace quorlet3 {

// Makes the combo box's dropped list show each item from its beginning and cut a name
// too wide for the list at its end with "…". The style's own list of a combo box cuts
// in the middle whatever the view's elide mode says, so the list gets a plain item
// delegate that follows the view's mode, which is set to cut at the end.
void CutLongItemsAtTheirEnd(QComboBox* combo);

}  // namespace quorlet3

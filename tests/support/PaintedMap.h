#pragma once
// A map that looks like one a user painted: meadows, a river with a bridge, a
// road, a few trees and a house, in the template set's tile codes.
#include "model/core/MapGrid.h"

namespace qmtest {

// A grid of side n (1 … 100) painted on both layers; a few cells carry events.
quillmark::MapGrid paintedGrid(int n);

}  // namespace qmtest

#pragma once

#include "PageTypes.h"
#include "TGridObject.h"

// The properties of one added column of the files grid, carried by its row-0 cell: the window
// sets them, the printed report reads the left-aligned flag and the sum flags.
class TAddColInfo : public TGridObject {
public:
    TColumnProperties Properties;
};

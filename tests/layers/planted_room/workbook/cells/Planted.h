#pragma once

// A header of the cell model that reaches up into printing: the room check
// must refuse it.
#include "workbook/print/PageLayout.h"

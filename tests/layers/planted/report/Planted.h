#pragma once

// A report header that reaches up into the program layer: the layer check
// must refuse it.
#include "app/Program.h"

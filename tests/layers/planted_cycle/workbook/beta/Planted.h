#pragma once

#include "workbook/gamma/Planted.h"

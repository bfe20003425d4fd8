#pragma once

#include "workbook/alpha/Planted.h"

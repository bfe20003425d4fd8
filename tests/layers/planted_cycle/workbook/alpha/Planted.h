#pragma once

#include "workbook/beta/Planted.h"

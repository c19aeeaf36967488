#pragma once

// The program's resource numbers. Our cursor 102 shares its name with the system's hand
// cursor in <windows.h>, which the program never uses: ours wins.
#include <windows.h>

#undef IDC_HAND
#include "res/resource_ids.h"

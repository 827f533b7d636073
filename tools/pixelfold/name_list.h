// tools/pixelfold/name_list.h: the reference of every name a host may ask for (--list-names),
// the table that docs/names.md shows.
#pragma once

#include <string>

#include "tools/pixelfold/report.h"

namespace pixelfold::host {

// The table as text (aligned columns), JSON Lines (one object per name) or CSV.
std::string NameList(OutputMode mode);

}  // namespace pixelfold::host

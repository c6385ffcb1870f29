#pragma once

#include <ostream>

#include "game/game_link.h"

namespace velmora::cli {

// Says why no simulator was attached: none was found ("no simulator found"), or one was found whose
// process cannot be read, with the reason and a hint where one helps.
void ReportNotAttached(const TGameLink& link, std::ostream& err);

}  // namespace velmora::cli

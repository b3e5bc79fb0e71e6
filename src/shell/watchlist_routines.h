// The watchlist window's event slots (part of the event table).
#pragma once

#include <functional>

namespace fundlens {

struct WatchlistRoutines {};

} // namespace fundlens

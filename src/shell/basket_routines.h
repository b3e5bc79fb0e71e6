// The comparison basket window's event slots (part of the event table).
#pragma once

#include <functional>

namespace fundlens {

struct BasketRoutines {};

} // namespace fundlens

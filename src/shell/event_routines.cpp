#include "shell/event_routines.h"

namespace fundlens {

EventRoutines& Routines() {
    static EventRoutines routines;
    return routines;
}

} // namespace fundlens

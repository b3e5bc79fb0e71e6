#include "shell/program_state.h"

namespace fundlens {

ProgramState& State() {
    static ProgramState state;
    return state;
}

void ResetProgramState() {
    State() = ProgramState{};
}

} // namespace fundlens

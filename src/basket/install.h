// The comparison basket's event routines.
#pragma once

namespace fundlens {

struct EventRoutines;

// Fills the slots of 多基金对比钮, the fund list's "加入对比篮" and the basket window.
void InstallBasketRoutines(EventRoutines& routines);

} // namespace fundlens

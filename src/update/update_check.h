// The update check: reads the update-information page once at start and offers a newer
// version when one is announced.
#pragma once

#include "shell/async.h"

namespace fundlens {

// Fetches the profile's update page with its cookie text (in the background: the main window is
// usable meanwhile) and compares the announced version with ProgramVersion. A failed check
// shows "版本信息监测失败"; a different version offers the update, and accepting it opens the
// link and ends the process with exit code 0.
Loader CheckForUpdate();

// True while the check has not ended.
bool UpdateCheckRunning();

} // namespace fundlens

// Start-up: the title, the three windows in their order, the message loop.
#pragma once

#include "app/services.h"

namespace app {

// Runs the program on the given services; returns the exit code (always 0).
int RunApplication(Services& services);

}  // namespace app

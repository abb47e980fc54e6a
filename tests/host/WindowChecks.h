// The test host's checks of what an operator sees on real Windows: where the
// windows appear, what is saved at logoff and when the host ends without
// _Release, common controls 6, the version resource and the locale's order.
#pragma once

#include "HostKit.h"

#include <string>
#include <vector>

// The scenarios of these checks, for the test host's list.
std::vector<brevlund::host::TScenario> WindowScenarios();

// The second process of the exit check: a host that opens both windows, moves
// them, picks a band and ends without _Release or FreeLibrary.
int ExitWithWindowsOpen(const std::string& DllPath);

// "Brevlund DX Contest 1.2.3" from the DLL's version resource, or why not.
std::string PluginVersionText(const std::string& DllPath);

// The test host's checks of what an operator sees on real Windows: where the
// windows appear, what is saved at logoff and when the host ends without
// _Release, common controls 6, the version resource and the locale's order.
#pragma once

#include <string>

// Runs the checks against the DLL at DllPath; they count with the host kit's.
void RunWindowChecks(const std::string& DllPath);

// The second process of the exit check: a host that opens both windows, moves
// them, picks a band and ends without _Release or FreeLibrary.
int ExitWithWindowsOpen(const std::string& DllPath);

// "Brevlund DX Contest 1.2.3" from the DLL's version resource, or why not.
std::string PluginVersionText(const std::string& DllPath);

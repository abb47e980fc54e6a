// The plug-in boundary: what each of the six entry points does, in the two
// states of the library (no window, window live). The exported functions
// themselves, with the host's calling convention, wrap these.
#pragma once

#include "MainForm/FormPlatform.h"

#include <cstdint>

namespace brevlund::DoMain {

// _GetInfo: the plug-in's name and identifier into the host's PluginInfo.
void GetInfo(unsigned char* Info);
// _Run: builds the statistics window when none exists, shows it, and returns
// its native handle.
std::uint32_t Run(TFormPlatform& Platform, std::uint32_t Value, const void* Context);
// _AddQSO: records the QSO; 0 while no window exists.
std::int32_t AddQSO(const void* Context);
// _GetScore: evaluates the QSO without recording it; 0 while no window exists.
std::int32_t GetScore(const void* Context);
// _GrabNumber: the window's number hook, which has no number: writes the empty text.
void GrabNumber(const void* Context, unsigned char* Number);
// _Release: asks the window to release itself; never fails.
void Release() noexcept;
// The library is unloaded: every window still alive goes now.
void Unload() noexcept;
// The process ends with the library still loaded: the live windows' storages
// save, and nothing else happens.
void ProcessEnding() noexcept;

} // namespace brevlund::DoMain

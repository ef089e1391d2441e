// The program's spine: start-up, the message loop, and the two ways of ending.
#pragma once

#include <windows.h>

#include <cstdint>

namespace app {

class Gadget;

// The entry: start-up, then the message loop; 0 once the loop has ended.
std::int32_t startProgram();
// Start-up steps 1 to 5 alone (tests run the loop themselves).
void startUp();

// The program-end action: releases memoryStatus.
void releaseMemoryStatus();
// The exit item: both timers stopped, docking timer first, then the program ends with 0.
[[noreturn]] void exitProgram();

// The program-wide MEMORYSTATUSEX record; null before start-up and after its release.
MEMORYSTATUSEX* memoryStatus();
// The one gadget, once start-up has made it.
Gadget* gadget();

} // namespace app

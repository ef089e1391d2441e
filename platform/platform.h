// Our own user-interface platform: start, designed windows, the message loop, and the end of the program.
#pragma once

#include <cstdint>

namespace ui {
class GadgetWindow;
}

namespace platform {

// Registers the window classes; runs before anything else of start-up.
void initialise();

// x87 with a 64-bit significand, rounding to nearest, all exceptions masked; SSE exceptions masked too.
void resetFloatingPoint();

using EndAction = void (*)();
// Runs once when the program ends, in the order of registration.
void registerEndAction(EndAction action);

// Builds the window from its design with no parent and not as a dialog, raises its created event,
// then shows it if its design says so. Returns false if the window could not be made.
bool loadWindow(ui::GadgetWindow& window);

// Dispatches the thread's messages until a quit request; returns at once if no designed window exists.
void runMessageLoop();

// Runs the end actions in order, then ends the process with the code. Never returns.
[[noreturn]] void endProgram(std::int32_t exitCode);

// Runs and forgets the end actions (endProgram's first half, for tests and the process end).
void runEndActions();

// Designed windows alive; the quit request follows the last one's destruction once the loop runs.
void windowOpened();
void windowClosed();
int openWindows();

} // namespace platform

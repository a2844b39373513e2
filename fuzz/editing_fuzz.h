#pragma once

#include <cstddef>
#include <cstdint>

// The editing fuzz target's work on one input (see editing_fuzz.cpp), with what became of
// it. Aborts, naming the broken rule, when a save does not open to what was saved, a link
// leaves its tile or group, or undoing and redoing every step does not give back the
// document as it was opened and as it was edited.
enum FuzzEditOutcome { FuzzEditNotOpened = 0, FuzzEditDone = 1, FuzzEditEnded = 2 };

// Creates the GUI application the editor needs (offscreen), once.
void paveloraFuzzEditingInit();
// With `steps`, the number of steps on the undo stack at the end is left there.
int paveloraFuzzEdit(const std::uint8_t* data, std::size_t size, int* steps = nullptr);

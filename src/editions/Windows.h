#pragma once
// The windows of each program, registered by their system names.

namespace editions {

// Windows that both programs have, in their shared form.
void RegisterCommonWindows();

void RegisterKartoviaWindows();
void RegisterAdroviaWindows();

} // namespace editions

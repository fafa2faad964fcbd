#pragma once
// The windows of the information-manager edition, registered by their system names.

namespace editions {

void RegisterKartoviaWindows();

} // namespace editions

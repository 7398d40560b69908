// The simulated kernel's global memory, for tests and the rest of the simulator.
#pragma once

#include <cstddef>

namespace sim {

// Blocks the process holds (allocated and not freed), discarded moveable blocks included.
std::size_t global_blocks_in_use();
// Global allocations made so far, as counted for the fail-alloc injection.
long global_allocations_made();
// Frees every block and restarts the allocation count; the process is leaving its machine.
void free_all_global_memory();

} // namespace sim

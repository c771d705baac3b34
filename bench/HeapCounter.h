#pragma once

// Number of general-heap allocations (operator new) made so far by the
// benchmark program; benchmarks report differences to show what allocates.
long long heapAllocationCount();

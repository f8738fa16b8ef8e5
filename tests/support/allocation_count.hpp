#pragma once
// Every allocation the program makes through operator new, counted, for the
// tests and benchmarks that promise a standing figure allocates nothing.
namespace flopkin {
long allocations_so_far();
}

#pragma once
// Every allocation the bench makes through operator new, counted.
namespace flopkin {
long allocations_so_far();
}

#pragma once
// Shared references to the figure's objects, for headers that only pass them on.
#include <memory>

namespace flopkin {

struct ball;
struct link;
struct tension;
using ball_ref = std::shared_ptr<ball>;
using link_ref = std::shared_ptr<link>;
using tension_ref = std::shared_ptr<tension>;

}  // namespace flopkin

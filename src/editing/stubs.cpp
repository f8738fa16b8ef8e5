// Empty places of the frame until editing lands.
#include "app/app.hpp"

namespace flopkin {
void app::number_balls() {}
}  // namespace flopkin

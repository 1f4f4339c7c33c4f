#include "resources/Resources.h"

namespace resources {

void RegisterAll() {}

}  // namespace resources

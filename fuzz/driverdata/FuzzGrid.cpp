// The FrequencyGrid the readers bin onto, 10 Hz to 50 kHz as the program starts with it (the
// fuzz build links the readers without the shell's grid builder).
#include <cmath>

#include "shell/FrequencyGrid.h"

namespace shell {

float FrequencyGrid[kGridPoints];

namespace {

struct GridSetUp {
    GridSetUp() {
        const double step = std::log10(50000.0 / 10.0) / kGridPoints;
        for (int k = 0; k < kGridPoints; ++k) {
            FrequencyGrid[k] = static_cast<float>(10.0 * std::pow(10.0, (k + 1) * step));
        }
    }
};
const GridSetUp grid_set_up;

}  // namespace

}  // namespace shell

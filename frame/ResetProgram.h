// One reset for the whole program: every folder's state back to its start values, folder by
// folder from the bottom of the link graph up (shell, network, solver, driverdata, measurement,
// engine, the frame), so that a later folder's reset may rely on what the folders below it hold.
// Windows, timers and devices of the platform layer are not touched: a caller that created them
// resets the platform layer first.
#pragma once

namespace frame {

void ResetProgram();

}  // namespace frame

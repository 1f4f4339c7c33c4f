// What the engine's tests share: the state of every folder the engine builds on and its own back
// to their start values (the frame above is not linked here).
#pragma once

#include "engine/Globals.h"
#include "tests/measurement/MeasurementTestSupport.h"

namespace engine::test {

inline void ResetFolders() {
    measurement::test::ResetFolders();
    engine::ResetGlobals();
}

}  // namespace engine::test

#include "driverdata/Globals.h"

#include "driverdata/DiffractionCalculator.h"
#include "driverdata/EdgeDiffraction.h"
#include "driverdata/HbtEditor.h"

namespace driverdata {

void ResetGlobals() {
    ResetDiffractionSettings();
    ResetDiffractionCalculator();
    ResetHbtEditor();
}

}  // namespace driverdata

#include "driverdata/Globals.h"

#include "driverdata/EdgeDiffraction.h"
#include "driverdata/HbtEditor.h"

namespace driverdata {

void ResetGlobals() {
    ResetDiffractionSettings();
    ResetHbtEditor();
}

}  // namespace driverdata

// "ImportLmsBox": the LMS and LAUD converter: the file's first lines, the column choice, the lines
// to skip and the corrections. Coordinates in dialog units.
#include "resources/Resources.h"
#include "resources/dialogs/ConverterControls.h"

namespace resources {

const platform::DialogTemplate ImportLmsBoxDialog = {
    "ImportLmsBox",
    "LMS & LAUD File Converter",
    20,
    20,
    565,
    216,
    nullptr,
    0,
    0,
    kConverterControls,
    sizeof(kConverterControls) / sizeof(kConverterControls[0]),
};

}  // namespace resources

#include "shell/ScrollSteps.h"

#include <algorithm>

#include "platform/ui/Dialog.h"

namespace shell {

int ScrolledPosition(int position, unsigned code, int thumb, int first, int last) {
    switch (code) {
        case platform::SB_LINELEFT:
            position -= 1;
            break;
        case platform::SB_LINERIGHT:
            position += 1;
            break;
        case platform::SB_PAGELEFT:
            position -= 10;
            break;
        case platform::SB_PAGERIGHT:
            position += 10;
            break;
        case platform::SB_THUMBTRACK:
        case platform::SB_THUMBPOSITION:
            position = thumb;
            break;
        case platform::SB_LEFT:
            position = first;
            break;
        case platform::SB_RIGHT:
            position = last;
            break;
        default:
            break;
    }
    return std::clamp(position, first, last);
}

}  // namespace shell

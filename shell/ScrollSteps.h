// The position a scroll bar's notification asks for, as every scroll bar of the program moves:
// line steps of 1 and page steps of 10, the thumb's position, or its ends. UI thread.
#pragma once

namespace shell {

// From `position`, for notification `code` (SB_LINELEFT .. SB_RIGHT) with the thumb at `thumb`;
// kept within first..last. SB_ENDSCROLL and unknown codes leave the position.
int ScrolledPosition(int position, unsigned code, int thumb, int first, int last);

}  // namespace shell

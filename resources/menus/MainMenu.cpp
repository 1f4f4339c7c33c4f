// The menu "Main_Menu" of the frame. The File popup comes first: it is also the MDI window list.
// Item texts keep their spaces. Every item has an action: New, Print, Copy and Copy Screen would
// have none here (each tool prints and copies its own window) and are left out.
#include "resources/Resources.h"

namespace resources {

namespace {

const platform::MenuItemTemplate kMainMenuItems[] = {
    {0, "&File", 0},
    {1, "Open Driver File", 101},
    {1, "Save Driver As", 102},
    {1, nullptr, 0},
    {1, "Open Project File ", 103},
    {1, "Save Project As  ", 104},
    {1, nullptr, 0},
    {1, "  Preferences ", 110},
    {1, nullptr, 0},
    {1, "Last Driver File", 113},
    {1, "Last Project File", 114},
    {1, nullptr, 0},
    {1, "  Exit   ", 106},
    {0, "&System Design", 0},
    {1, "Current System", 240},
    {1, "Stereo 2 x 2 Way (Velkor Quadline)", 202},
    {1, "Stereo 2 x 3 Way (Velkor Quadline)", 200},
    {1, "Stereo 2 x 4 Way (Velkor Quadline)", 201},
    {1, "Stereo 2 x 5 Way (Velkor Quadline)", 204},
    {1, "Stereo 2 x 6 Way (Velkor Quadline)", 205},
    {1, "Stereo 2 x 7 Way (Velkor Quadline)", 206},
    {1, "Stereo 2 x 8 Way (Velkor Quadline)", 207},
    {1, "Assign Profiles Remote", 233},
    {0, "&Tools", 0},
    {1, "Diffraction Model", 306},
    {1, "File Editor", 308},
    {1, "Pen Colours", 310},
    {0, "&Import", 0},
    {1, "Import IMP SPL, Z [Ref=0dB]", 401},
    {1, "Import LMS SPL, Z, TS [Ref=SPLdB]", 402},
    {1, "Import LAUD SPL, Z", 406},
    {1, "Import CLIO SPL, Z, TS", 403},
    {1, "Import MLSSA SPL, Z", 404},
    {1, "Import DAAS SPL, Z, TS", 405},
    {0, "&Export", 0},
    {1, "Export SPL/Phase At 0.0dB [.TRG/.TXT]", 501},
    {0, "&Measure", 0},
    {1, "Digital - MLS", 1102},
    {0, "&Help", 0},
    {1, "QV Help", 1201},
};

}  // namespace

const platform::MenuTemplate MainMenu{"Main_Menu", kMainMenuItems,
                                      sizeof kMainMenuItems / sizeof kMainMenuItems[0]};

}  // namespace resources

// Fast fuzz target of the preferences reader alone: the input is the preferences file, read and
// applied as at start-up, without the solve and the engine. The applied settings are in range,
// and what the reader keeps is clean: the record repaired once needs no second repair.
#include <cstddef>
#include <cstdint>

#include "fuzz/FuzzSupport.h"
#include "platform/Types.h"
#include "platform/testing/MessageBoxLog.h"
#include "shell/Globals.h"
#include "shell/PreferencesRecord.h"
#include "shell/StartupAllocation.h"
#include "shell/ValueRepairs.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz::StartWorld(argc, argv);
    fuzz::ResetWorld();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    platform::testing::ClearMessageBoxLog();
    shell::InitPreferenceVariables();
    shell::InitPreferencesRecord(shell::Preferences);
    fuzz::WriteScratchFile("QV_Preferences.pre", data, size);
    if (shell::ReadPreferencesFile(platform::HWND{}) != 1) return 0;
    fuzz::CheckPreferencesState();
    shell::ValueRepairs again;
    fuzz::Require(shell::RepairPreferencesRecord(*shell::Preferences, again) == 0,
                  "applied preferences still hold values out of range");
    return 0;
}

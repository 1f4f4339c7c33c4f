// Fuzz target of the four converters through their dialogs, as a user runs them: the texts
// typed into the edits are fuzzed with the file. The input: one byte picks the converter (its
// value modulo 4) and, for DAAS, Magnitude or Phase (bit 2); then five lines (ended by '\n') are
// typed into Delay, Scale, Efficiency, the column count and the lines to skip, cut to what each
// edit takes; the rest is the measurement file. Whatever is typed and read, the driver's curves
// afterwards are ones a driver file carries, and a refused conversion leaves them as they were.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "driverdata/ConverterDialogs.h"
#include "fuzz/FuzzSupport.h"
#include "platform/testing/Dialogs.h"
#include "platform/testing/Input.h"
#include "platform/testing/MessageBoxLog.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Window.h"
#include "resources/Resources.h"
#include "shell/DriverRecord.h"
#include "shell/PreferencesRecord.h"
#include "shell/StartupAllocation.h"

namespace {

const char* const kBoxes[4] = {"ImportImpBox", "ImportLmsBox", "ImportClioBox", "ImportDaasBox"};

// The next line of the input (without its '\n'), at most `most` characters of it.
std::string NextLine(const std::uint8_t*& data, std::size_t& size, std::size_t most) {
    std::string line;
    while (size > 0) {
        const char c = static_cast<char>(*data++);
        --size;
        if (c == '\n') break;
        if (line.size() < most && c != '\0') line += c;
    }
    return line;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz::StartWorld(argc, argv);
    fuzz::ResetWorld();
    resources::RegisterAll();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    // The converters use the driver record and the import settings of the preferences only.
    platform::testing::ClearMessageBoxLog();
    shell::InitPreferencesRecord(shell::Preferences);
    shell::InitDriverRecord(shell::CurrentDriverRecord);
    const int which = data[0] % 4;
    const bool phase = (data[0] & 4) != 0;
    ++data;
    --size;
    const int edits[5] = {driverdata::kDelayEdit, driverdata::kScaleEdit,
                          driverdata::kEfficiencyEdit, driverdata::kColumnCountEdit,
                          driverdata::kEraseLinesEdit};
    std::string typed[5];
    for (std::string& text : typed) text = NextLine(data, size, 10);
    const std::string path = fuzz::WriteScratchFile("measurement.txt", data, size);

    const auto before = std::make_unique<shell::DriverRecord>(*shell::CurrentDriverRecord);
    platform::testing::OnModalDialog(kBoxes[which], [&](platform::HWND dialog) {
        for (int i = 0; i < 5; ++i) {
            if (which == 3 && i >= 3) break;  // DAAS has no column edits
            platform::testing::TypeText(dialog, edits[i], typed[i]);
        }
        // A refusal says so and keeps the dialog open: it is then cancelled.
        const std::size_t messages = platform::testing::MessageBoxLog().size();
        platform::testing::Click(
            dialog, which == 3 && phase ? driverdata::kPhaseButton : driverdata::kConvertButton);
        if (platform::testing::MessageBoxLog().size() != messages) {
            platform::testing::Click(dialog, platform::IDCANCEL);
        }
    });
    const int converted =
        driverdata::RunImport(static_cast<driverdata::Importer>(which), nullptr, path.c_str());
    const shell::DriverRecord& r = *shell::CurrentDriverRecord;
    fuzz::Require(shell::DriverCurvesInRange(r), "driver curves after a conversion");
    if (converted != 1) {
        fuzz::Require(std::memcmp(before->Spl, r.Spl, sizeof r.Spl) == 0 &&
                          std::memcmp(before->Phase, r.Phase, sizeof r.Phase) == 0,
                      "a refused conversion changed the curves");
    }
    return 0;
}

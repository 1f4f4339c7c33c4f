// Fuzz target of the driver-file reader: the input is a driver file given to an output port of
// the default network, as the output-port dialog takes it (data, then the port's correction
// from its minimum-phase response); the network is then driven to the outputs.
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "fuzz/FuzzSupport.h"
#include "network/EditorState.h"
#include "network/WorkingNetwork.h"
#include "shell/DriverRecord.h"
#include "shell/NetworkTables.h"
#include "shell/StartupAllocation.h"
#include "shell/ValueRepairs.h"
#include "solver/Globals.h"
#include "solver/MinimumPhase.h"

namespace {
constexpr int kPortSlot = 6;  // an output port of the 4-way template
}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz::StartWorld(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::ResetWorld();
    const std::string path = fuzz::WriteScratchFile("driver.wfr", data, size);
    network::RestorePaneStore(1);
    shell::ValueRepairs repairs;
    shell::ElementDriverBlock& driver = shell::WorkingNetwork.ElementDriverData[kPortSlot];
    if (shell::ReadDriverFileData(path.c_str(), *shell::ScratchDriverRecord, driver, repairs) !=
        shell::DriverFileStatus::kLoaded) {
        return 0;
    }
    for (int k = 0; k < shell::kGridPoints; ++k) {
        fuzz::Require(
            driver.Spl[k] >= shell::kDriverLevelLowDb && driver.Spl[k] <= shell::kDriverLevelHighDb,
            "driver SPL");
        fuzz::Require(std::fabs(driver.Phase[k]) <= shell::kDriverPhaseLimit, "driver phase");
        fuzz::Require(std::fabs(driver.Real[k]) <= shell::kDriverResponseLimit &&
                          std::fabs(driver.Imag[k]) <= shell::kDriverResponseLimit,
                      "driver response");
    }
    fuzz::Require(std::isfinite(driver.Efficiency), "efficiency");
    // The correction the dialog stores on OK: the inverse of the minimum-phase response.
    for (auto& h : solver::MinimumPhaseResult) h = {1.0f, 0.0f};
    solver::CalculateOutputHilbertBode(kPortSlot);
    shell::ComplexPoint* transfer = shell::WorkingNetwork.ElementTransfer[kPortSlot];
    for (int k = 0; k < shell::kGridPoints; ++k) {
        const shell::ComplexPoint h = solver::MinimumPhaseResult[k];
        fuzz::Require(std::isfinite(h.re) && std::isfinite(h.im), "minimum-phase response");
        const float m = h.re * h.re + h.im * h.im;
        transfer[k] = (m > 0.0f && std::isfinite(m)) ? shell::ComplexPoint{h.re / m, -h.im / m}
                                                     : shell::ComplexPoint{1.0f, 0.0f};
    }
    network::SavePane1Store();
    fuzz::SolveAndPlayOneBlock();
    return 0;
}

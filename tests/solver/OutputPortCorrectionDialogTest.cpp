// The output-port dialog's Done with the solver's minimum-phase correction: the port's transfer
// curve is the inverse of the correction's response,
// computed for the band typed in the dialog.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "network/EditorState.h"
#include "network/ElementDialogs.h"
#include "platform/testing/Dialogs.h"
#include "platform/testing/Input.h"
#include "platform/testing/MessageBoxLog.h"
#include "platform/ui/Dialog.h"
#include "resources/Resources.h"
#include "shell/ProjectImage.h"
#include "solver/MinimumPhase.h"
#include "solver/OutputPortDialog.h"
#include "tests/solver/SolverTestSupport.h"

namespace {

using namespace solver::test;
using platform::HWND;

class OutputPortCorrection : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetSolverWorld();
        resources::RegisterAll();
        platform::testing::ClearDialogScripts();
        solver::ResetOutputPortDialog();
        NewNetwork(2);
        port_ = AddPort(0, 1, 3.0f);
        network::SelectedElement = port_;
    }
    void TearDown() override { solver::ResetOutputPortDialog(); }
    // A driver response with a level step between lo and hi Hz (second-order band-pass-like).
    void LoadDriver() {
        shell::ElementDriverBlock& d = shell::WorkingNetwork.ElementDriverData[port_];
        for (int k = 0; k < shell::kGridPoints; ++k) {
            const double f = shell::FrequencyGrid[k];
            const std::complex<double> s(0.0, f / 80.0);
            const std::complex<double> h = 0.7 * s * s / (s * s + s * 1.4 + 1.0);
            d.Real[k] = static_cast<float>(h.real());
            d.Imag[k] = static_cast<float>(h.imag());
        }
    }
    int port_ = 0;
};

TEST_F(OutputPortCorrection, DoneStoresTheInverseOfTheSolversResponse) {
    LoadDriver();
    platform::testing::OnModalDialog("EnterOutputPort", [](HWND d) {
        platform::testing::TypeText(d, solver::kF1Edit, "40");
        platform::testing::TypeText(d, solver::kF2Edit, "15000");
        platform::testing::Click(d, platform::IDOK);
    });
    ASSERT_EQ(platform::DialogBox(platform::HINSTANCE{}, "EnterOutputPort", HWND{},
                                  &solver::EnterOutputPortDlgProc),
              1);
    const std::vector<shell::ComplexPoint> transfer(
        shell::WorkingNetwork.ElementTransfer[port_],
        shell::WorkingNetwork.ElementTransfer[port_] + shell::kGridPoints);
    // The same correction computed directly for the stored band.
    ASSERT_EQ(shell::WorkingNetwork.ElementParams[port_][shell::kParamF1], 40.0f);
    ASSERT_EQ(shell::WorkingNetwork.ElementParams[port_][shell::kParamF2], 15000.0f);
    for (auto& point : solver::MinimumPhaseResult) point = {1.0f, 0.0f};
    ASSERT_EQ(solver::CalculateOutputHilbertBode(port_), 0);
    double largest_phase = 0.0;
    for (int k = 0; k < shell::kGridPoints; ++k) {
        const std::complex<double> h(solver::MinimumPhaseResult[k].re,
                                     solver::MinimumPhaseResult[k].im);
        const std::complex<double> want = 1.0 / h;
        ASSERT_NEAR(transfer[k].re, want.real(), 1e-5 * std::abs(want)) << k;
        ASSERT_NEAR(transfer[k].im, want.imag(), 1e-5 * std::abs(want)) << k;
        largest_phase = std::max(largest_phase, std::abs(std::arg(want)));
    }
    // The driver's band edges make a real correction: not flat, with phase.
    EXPECT_GT(largest_phase, 0.1);
}

// A tweeter (second-order high pass at 2 kHz) gets a correction of up to about +80 dB below its
// band; the project keeps every point of it through Save and Open, without a message.
TEST_F(OutputPortCorrection, ATweetersFullCorrectionSurvivesSaveAndOpen) {
    shell::ElementDriverBlock& d = shell::WorkingNetwork.ElementDriverData[port_];
    for (int k = 0; k < shell::kGridPoints; ++k) {
        const std::complex<double> s(0.0, shell::FrequencyGrid[k] / 2000.0);
        const std::complex<double> h = s * s / (s * s + s * std::sqrt(2.0) + 1.0);
        d.Real[k] = static_cast<float>(h.real());
        d.Imag[k] = static_cast<float>(h.imag());
    }
    platform::testing::OnModalDialog(
        "EnterOutputPort", [](HWND dialog) { platform::testing::Click(dialog, platform::IDOK); });
    ASSERT_EQ(platform::DialogBox(platform::HINSTANCE{}, "EnterOutputPort", HWND{},
                                  &solver::EnterOutputPortDlgProc),
              1);
    float largest = 0.0f;
    for (const shell::ComplexPoint& t : shell::WorkingNetwork.ElementTransfer[port_]) {
        largest = std::max({largest, std::fabs(t.re), std::fabs(t.im)});
    }
    ASSERT_GT(largest, 1.0e3f) << "the correction reaches beyond 60 dB";
    network::SavePaneStore(1);
    static shell::PaneStore before;
    std::memcpy(&before, &shell::PaneStores[0], sizeof before);

    const std::string path =
        ::testing::TempDir() + "qv_tweeter_" + std::to_string(::getpid()) + ".hif";
    platform::testing::ClearMessageBoxLog();
    ASSERT_EQ(shell::WriteProjectFile(HWND{}, path.c_str()), 1);
    std::memset(&shell::PaneStores[0], 0, sizeof before);
    ASSERT_EQ(shell::ReadProjectFile(HWND{}, path.c_str()), 1);
    std::remove(path.c_str());
    EXPECT_TRUE(platform::testing::MessageBoxLog().empty());
    before.ToolMode = shell::PaneStores[0].ToolMode;  // not part of the file
    EXPECT_EQ(std::memcmp(&before, &shell::PaneStores[0], sizeof before), 0);
}

}  // namespace

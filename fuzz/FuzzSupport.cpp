#include "fuzz/FuzzSupport.h"

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include "engine/Convolution.h"
#include "engine/Globals.h"
#include "network/EditorState.h"
#include "network/Globals.h"
#include "network/Templates.h"
#include "network/WorkingNetwork.h"
#include "platform/testing/Harness.h"
#include "platform/testing/MessageBoxLog.h"
#include "shell/ComplexFft.h"
#include "shell/DriverRecord.h"
#include "shell/FrequencyGrid.h"
#include "shell/Globals.h"
#include "shell/NumberText.h"
#include "shell/PreferencesRecord.h"
#include "shell/ProjectImage.h"
#include "shell/StartupAllocation.h"
#include "solver/FirKernels.h"
#include "solver/Globals.h"
#include "solver/NetworkCheck.h"
#include "solver/SharedState.h"
#include "solver/SolveNetwork.h"

namespace fuzz {

namespace {

constexpr int kF = 1024;
constexpr double kFullScale = 8388607.0;
constexpr double kToneLevel = kFullScale * 0.001;  // -60 dBFS

std::string g_folder;
engine::ConvolutionMemory g_engine{};

bool Finite(float v) { return std::isfinite(v); }

// The default stereo network of start-up: the 4-way template in Front-Left (input 1, outputs
// 2, 3, 1, 4) and Front-Right (input 3, outputs 6, 7, 5, 8).
void InstallDefaultNetwork() {
    network::ClearAllPaneStores();
    network::ClearWorkingNetwork();
    network::Build4WayTemplate();
    network::SavePane1Store();
    network::ClearWorkingNetwork();
    network::Build4WayTemplate();
    network::SavePane3Store();
    const int slots[4] = {6, 9, 12, 18};
    const float left[4] = {2, 3, 1, 4};
    const float right[4] = {6, 7, 5, 8};
    shell::PaneStores[0].ElementParams[0][shell::kParamInputPort] = 1.0f;
    shell::PaneStores[2].ElementParams[0][shell::kParamInputPort] = 3.0f;
    for (int i = 0; i < 4; ++i) {
        shell::PaneStores[0].ElementParams[slots[i]][shell::kParamOutputPort] = left[i];
        shell::PaneStores[2].ElementParams[slots[i]][shell::kParamOutputPort] = right[i];
    }
}

// The sum of |taps| of output o's filter: each partition's spectrum transformed back.
double TapSum(int o) {
    static std::vector<int> ip(shell::FftWorkAreaInts(4 * kF));
    static std::vector<float> w(kF);
    static std::vector<float> x(4 * kF);
    double sum = 0.0;
    for (int p = 0; p < engine::kPartitionCount; ++p) {
        std::memcpy(x.data(), shell::FilterSpectra[o][p], sizeof(float) * x.size());
        ip[0] = 0;
        shell::ComplexFft(4 * kF, 1, x.data(), ip.data(), w.data());
        for (int n = 0; n < 2 * kF; ++n) sum += std::fabs(x[2 * n]);
    }
    return sum;
}

}  // namespace

void PatchProjectImage(shell::ProjectImage& image, const std::uint8_t* data, std::size_t size,
                       bool* touched) {
    auto* bytes = reinterpret_cast<std::uint8_t*>(&image);
    const auto word = [](const std::uint8_t* p) {
        std::uint32_t w;
        std::memcpy(&w, p, 4);
        return w;
    };
    for (std::size_t i = 0; i + 8 <= size && i < 8 * 4096; i += 8) {
        const std::uint32_t place = word(data + i);
        const std::uint32_t value = word(data + i + 4);
        std::size_t at;
        if (place & 0x80000000u) {
            at = shell::kProjectSettingsOffset + (place % (sizeof(shell::ProjectSettings) / 4)) * 4;
        } else {
            const std::size_t block = (place >> 24) % shell::kPaneCount;
            if (touched) touched[block] = true;
            at = block * shell::kProjectChannelBytes +
                 ((place & 0xFFFFFFu) % (shell::kProjectChannelBytes / 4)) * 4;
        }
        std::memcpy(bytes + at, &value, 4);
    }
}

void Require(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}

void StartWorld(int* argc, char*** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("QV_VIRTUAL_AUDIO", "1", 0);
    platform::testing::StartHeadless(*argc, *argv);
    Require(shell::AllocMainBuffers() == 0, "start-up blocks");
    Require(shell::AllocCurveBuffers() == 0, "curve blocks");
    Require(shell::AllocDspBuffers() == 0, "DSP blocks");
    Require(engine::AllocConvolutionMemory(g_engine) == 0, "engine memory");
    g_folder = (std::filesystem::temp_directory_path() / ("qv_fuzz_" + std::to_string(::getpid())))
                   .string();
    std::filesystem::create_directories(g_folder);
}

void ResetWorld() {
    shell::ResetGlobals();
    network::ResetGlobals();
    network::ResetEditorState();
    solver::ResetGlobals();
    solver::ClearSolverPlots();
    shell::CopyTextSlot(shell::ProgramDirectory, (g_folder + "/").c_str());
    shell::FrameClientWidth = 1264;
    shell::FrameClientHeight = 900;
    shell::InitPreferencesRecord(shell::Preferences);
    shell::InitProjectSettings(&shell::Project);
    shell::BuildFrequencyGrids(3, 6);
    shell::SetBlockFrames(0);
    InstallDefaultNetwork();
    platform::testing::ClearMessageBoxLog();
}

std::string WriteScratchFile(const char* name, const std::uint8_t* data, std::size_t size) {
    const std::string path = g_folder + "/" + name;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    Require(f != nullptr, "scratch file");
    if (size > 0) Require(std::fwrite(data, 1, size, f) == size, "scratch file written");
    std::fclose(f);
    return path;
}

void CheckProjectState() {
    const shell::ProjectSettings& s = shell::Project.Settings;
    Require(s.SampleRateIndex >= 0 && s.SampleRateIndex < shell::kSampleRateCount, "rate index");
    Require(s.SystemConfiguration >= 0 && s.SystemConfiguration <= 3, "configuration");
    Require(s.VolumeSliderPosition >= 0 && s.VolumeSliderPosition <= 66, "volume");
    Require(s.UseHbtData == 0 || s.UseHbtData == 1, "Use HBT Data");
    Require(s.SplOnlyEq == 0 || s.SplOnlyEq == 1, "SPL Only EQ");
    Require(s.BbmLevel >= 0.1f && s.BbmLevel <= 1.0f, "BBM level");
    Require(shell::SubwooferMode >= 0 && shell::SubwooferMode <= 2, "subwoofer mode");
    Require(shell::InputLayout >= 0 && shell::InputLayout <= 2, "input layout");
    Require(shell::OutputLayout >= 0 && shell::OutputLayout <= 2, "output layout");
    for (const auto& text : s.HotkeyOutputTexts)
        Require(std::memchr(text, 0, sizeof text), "texts");
    for (const shell::PaneStore& store : shell::PaneStores) {
        Require(store.ElementCount >= 0 && store.ElementCount <= shell::kMaxElements, "elements");
        Require(store.WireCount >= 0 && store.WireCount <= shell::kMaxWires, "wires");
        Require(store.WMatrixOrder >= 0 && store.WMatrixOrder <= shell::kMaxJointGroups, "nodes");
        for (int e = 0; e < shell::kMaxElements; ++e) {
            for (const float v : store.ElementParams[e]) Require(Finite(v), "parameter");
            for (const shell::ComplexPoint& p : store.ElementTransfer[e]) {
                Require(shell::TransferPointSound(p), "transfer point");
            }
            const shell::ElementDriverBlock& d = store.ElementDriverData[e];
            for (int k = 0; k < shell::kGridPoints; ++k) {
                Require(Finite(d.Spl[k]) && Finite(d.Phase[k]), "driver curve");
                Require(std::fabs(d.Real[k]) <= shell::kDriverResponseLimit &&
                            std::fabs(d.Imag[k]) <= shell::kDriverResponseLimit,
                        "driver response");
            }
            Require(Finite(d.Efficiency), "efficiency");
            if (store.ElementGeometry[e].kind == shell::kElementOutputPort) {
                const float polarity = store.ElementParams[e][shell::kParamPolarity];
                Require(polarity == 1.0f || polarity == -1.0f, "polarity");
            }
        }
    }
}

void CheckPreferencesState() {
    const shell::PreferencesRecord& p = *shell::Preferences;
    Require(shell::PlotStartFrequencyIndex >= 0 && shell::PlotStartFrequencyIndex <= 7, "start");
    Require(shell::PlotStopFrequencyIndex >= 0 && shell::PlotStopFrequencyIndex <= 7, "stop");
    for (const auto word : shell::PlayerDeviceWords) {
        Require(word >= shell::kDeviceWordLow && word <= shell::kDeviceWordHigh, "device word");
    }
    for (const auto& e : shell::CurveColourScheme) {
        Require(e.Red >= 0 && e.Red <= 255 && e.Green >= 0 && e.Green <= 255 && e.Blue >= 0 &&
                    e.Blue <= 255 && e.Thickness >= 1 && e.Thickness <= 4 && e.Type >= 1 &&
                    e.Type <= 3,
                "colour");
    }
    // Negative positions and sizes and sizes beyond the client wait for the exit rule; no
    // position lies past the client and no value beyond what the window layer takes.
    const auto bounded = [](std::int32_t v) {
        return v >= -shell::kLargestClientSize && v <= shell::kLargestClientSize;
    };
    for (const auto& w : shell::WindowPlacements) {
        Require(bounded(w.X) && w.X <= shell::FrameClientWidth && bounded(w.Y) &&
                    w.Y <= shell::FrameClientHeight,
                "window position");
        Require(bounded(w.Width) && bounded(w.Height), "window size");
    }
    Require(p.BufferSizeIndex >= 0 && p.BufferSizeIndex <= 2, "buffer size");
    Require(shell::OutputLayout >= 0 && shell::OutputLayout <= 2, "output layout");
    Require(shell::InputLayout >= 0 && shell::InputLayout <= 2, "input layout");
    Require(shell::Mls.MlsOutputLevel >= 0 && shell::Mls.MlsOutputLevel <= 100, "MLS level");
    for (int k = 0; k < shell::kGridPoints; ++k) {
        Require(Finite(shell::MikeCalibrationCurve[k].Db) &&
                    Finite(shell::MikeCalibrationCurve[k].Degrees) &&
                    Finite(shell::PreampCalibrationCurve[k].Db) &&
                    Finite(shell::PreampCalibrationCurve[k].Degrees),
                "calibration");
    }
    Require(std::memchr(p.LastProjectPath, 0, sizeof p.LastProjectPath), "project path");
}

void SolveAndPlayOneBlock() {
    // The engine's filters are built for F = 1024 whatever the preferences chose.
    shell::SetBlockFrames(0);
    for (int pane = 1; pane <= shell::kPaneCount; ++pane) {
        network::ActivePane = pane;
        network::RestorePaneStore(pane);
        if (solver::CheckSystemNetwork() != 0) continue;
        solver::SolveNetworkQuietly();
    }
    for (int block = 0; block < shell::kSystemCurveCount; ++block) {
        const float* curve = solver::SystemCurve(block);
        for (int k = 0; k < shell::kGridPoints; ++k) Require(Finite(curve[k]), "curve point");
    }
    solver::BuildFirKernels();

    std::vector<const float*> spectra;
    for (int o = 0; o < engine::kOutputCount; ++o) {
        for (int p = 0; p < engine::kPartitionCount; ++p) {
            spectra.push_back(shell::FilterSpectra[o][p]);
            for (int i = 0; i < 4 * kF; ++i)
                Require(Finite(shell::FilterSpectra[o][p][i]), "filter");
        }
    }
    Require(
        engine::PrepareConvolutionRun(g_engine, kF, 1, solver::RoutingMatrix, spectra.data()) == 0,
        "engine run");
    engine::BlockGains gains{};
    gains.master = engine::MasterGainFor(shell::Project.Settings.VolumeSliderPosition);
    for (float& t : gains.trims) t = 1.0f;
    for (float* slot : g_engine.input_slots) {
        for (int n = 0; n < kF; ++n) {
            slot[n] = static_cast<float>(kToneLevel * std::sin(2.0 * 3.141592653589793 * n / 48.0));
        }
    }
    static std::vector<std::int32_t> out(static_cast<std::size_t>(kF) * 16);
    engine::TransformInputs(g_engine, engine::kInputsOfWorkerA, 4,
                            g_engine.work[engine::kWorkInputA]);
    engine::TransformInputs(g_engine, engine::kInputsOfWorkerB, 4,
                            g_engine.work[engine::kWorkInputB]);
    engine::ConvolveOutputs(g_engine, 0, 7, gains, out.data(),
                            g_engine.work[engine::kWorkOutputLow]);
    engine::ConvolveOutputs(g_engine, 8, 15, gains, out.data(),
                            g_engine.work[engine::kWorkOutputHigh]);
    Require(gains.master <= engine::kMaxMasterGain, "master gain");
    for (int o = 0; o < engine::kOutputCount; ++o) {
        double peak = 0.0;
        for (int n = 0; n < kF; ++n) {
            const std::int32_t word = out[static_cast<std::size_t>(n) * 16 + o];
            Require(word % 256 == 0, "output word");
            peak = std::fmax(peak, std::fabs(word / 256.0));
        }
        Require(peak <= kFullScale, "full scale");
        if (g_engine.filter_refused[o] || g_engine.routed_input[o] < 0) {
            Require(peak == 0.0, "a refused or unrouted output is silent");
            continue;
        }
        // |y| <= |x|max x gain x sum |taps| (single-precision slack on top).
        const double allowed = kToneLevel * gains.master * TapSum(o) * 1.01 + 2.0;
        Require(peak <= allowed, "output louder than its settings allow");
    }
}

}  // namespace fuzz

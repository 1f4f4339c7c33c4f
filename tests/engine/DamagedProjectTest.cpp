// A project file damaged in a few bytes goes the whole way a loaded project goes before it is
// heard: load, pane restore, check, solve, filter build and the engine's convolution, with a
// -60 dBFS tone on the input. Whatever the damage, no output is louder than the sound project
// played at the top of the volume range.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "engine/Convolution.h"
#include "engine/Globals.h"
#include "shell/ProjectImage.h"
#include "solver/FirKernels.h"
#include "solver/NetworkCheck.h"
#include "solver/SharedState.h"
#include "tests/engine/EngineTestSupport.h"
#include "tests/solver/SolverTestSupport.h"

namespace {

constexpr int kF = 1024;
constexpr double kFullScale = 8388607.0;

struct Damage {
    const char* what;
    void (*apply)(shell::ProjectImage&);
};

class DamagedProject : public ::testing::Test {
  protected:
    void SetUp() override {
        engine::test::ResetFolders();
        solver::test::ResetSolverWorld();
        dir_ =
            std::filesystem::temp_directory_path() / ("qv_damaged_" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir_);
        // Input 1 through a 1 kHz low pass to output 1, in the Front-Left pane.
        solver::test::OneWayChannel(1, 1.0f, 1.0f);
        shell::PackProjectImage();
        sound_ = std::make_unique<shell::ProjectImage>(shell::Project);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    // Peak output value (24-bit scale) over all outputs while the file's project plays a
    // -60 dBFS 200 Hz tone on input 1 for a few blocks; -1 when the network is refused.
    double PlayedPeak(const shell::ProjectImage& image) {
        const std::string path = (dir_ / "p.hif").string();
        std::FILE* f = std::fopen(path.c_str(), "wb");
        EXPECT_NE(f, nullptr);
        EXPECT_EQ(std::fwrite(&image, sizeof image, 1, f), 1u);
        std::fclose(f);
        EXPECT_EQ(shell::LoadProjectFile(path.c_str()), shell::ProjectLoadStatus::kLoaded);
        network::ActivePane = 1;
        network::RestorePaneStore(1);
        if (solver::CheckSystemNetwork() != 0) return -1.0;
        solver::SolveNetwork();
        solver::BuildFirKernels();

        engine::ConvolutionMemory mem{};
        EXPECT_EQ(engine::AllocConvolutionMemory(mem), 0);
        std::vector<const float*> spectra;
        for (int o = 0; o < engine::kOutputCount; ++o)
            for (int p = 0; p < engine::kPartitionCount; ++p)
                spectra.push_back(shell::FilterSpectra[o][p]);
        EXPECT_EQ(engine::PrepareConvolutionRun(mem, kF, 1, solver::RoutingMatrix, spectra.data()),
                  0);
        engine::BlockGains gains{};
        gains.master = engine::MasterGainFor(shell::Project.Settings.VolumeSliderPosition);
        for (float& t : gains.trims) t = 1.0f;
        std::vector<std::int32_t> block(static_cast<std::size_t>(kF) * 16);
        double peak = 0.0;
        long n = 0;
        for (int b = 0; b < 12; ++b) {
            float* slot = mem.input_slots[engine::kSlotOfInput[0]];
            for (int i = 0; i < kF; ++i, ++n)
                slot[i] = static_cast<float>(
                    kFullScale * 0.001 * std::sin(2.0 * 3.141592653589793 * 200.0 * n / 48000.0));
            engine::TransformInputs(mem, engine::kInputsOfWorkerA, 4,
                                    mem.work[engine::kWorkInputA]);
            engine::TransformInputs(mem, engine::kInputsOfWorkerB, 4,
                                    mem.work[engine::kWorkInputB]);
            engine::ConvolveOutputs(mem, 0, 7, gains, block.data(),
                                    mem.work[engine::kWorkOutputLow]);
            engine::ConvolveOutputs(mem, 8, 15, gains, block.data(),
                                    mem.work[engine::kWorkOutputHigh]);
            for (const std::int32_t word : block) peak = std::max(peak, std::fabs(word / 256.0));
        }
        engine::FreeConvolutionMemory(mem);
        return peak;
    }

    std::filesystem::path dir_;
    std::unique_ptr<shell::ProjectImage> sound_;
};

TEST_F(DamagedProject, NoDamagePlaysLouderThanTheSoundProjectAtTopVolume) {
    auto loudest = std::make_unique<shell::ProjectImage>(*sound_);
    loudest->Settings.VolumeSliderPosition = 66;
    const double allowed = PlayedPeak(*loudest);
    ASSERT_GT(allowed, 1000.0) << "the sound project is heard";
    ASSERT_LT(allowed, kFullScale * 0.01);

    const Damage damages[] = {
        {"volume 1000", [](shell::ProjectImage& i) { i.Settings.VolumeSliderPosition = 1000; }},
        {"volume INT_MIN",
         [](shell::ProjectImage& i) {
             i.Settings.VolumeSliderPosition = std::numeric_limits<std::int32_t>::min();
         }},
        {"volume INT_MAX",
         [](shell::ProjectImage& i) {
             i.Settings.VolumeSliderPosition = std::numeric_limits<std::int32_t>::max();
         }},
        {"polarity 1e6",
         [](shell::ProjectImage& i) {
             i.Channels[0].ElementParams[2][shell::kParamPolarity] = 1e6f;
         }},
        {"polarity NaN",
         [](shell::ProjectImage& i) {
             i.Channels[0].ElementParams[2][shell::kParamPolarity] = std::nanf("");
         }},
        {"output gain 1e4 dB",
         [](shell::ProjectImage& i) {
             i.Channels[0].ElementParams[2][shell::kParamOutputGain] = 1e4f;
         }},
        {"one huge transfer point",
         [](shell::ProjectImage& i) {
             i.Channels[0].ElementTransfer[2][700] = {-3.4e38f, 0.0f};
         }},
        {"transfer NaN",
         [](shell::ProjectImage& i) {
             for (auto& p : i.Channels[0].ElementTransfer[2]) p.im = std::nanf("");
         }},
        {"driver data huge",
         [](shell::ProjectImage& i) {
             for (float& v : i.Channels[0].ElementDriverData[2].Real) v = 3e38f;
         }},
        {"filter frequency NaN",
         [](shell::ProjectImage& i) {
             i.Channels[0].ElementParams[1][shell::kParamFo] = std::nanf("");
         }},
    };
    for (const Damage& d : damages) {
        auto image = std::make_unique<shell::ProjectImage>(*sound_);
        image->Settings.VolumeSliderPosition = 51;
        d.apply(*image);
        const double peak = PlayedPeak(*image);
        EXPECT_LE(peak, allowed * 1.001) << d.what;
        EXPECT_LT(peak, kFullScale * 0.01) << d.what;
        for (int block = 0; block < shell::kSystemCurveCount; ++block) {
            const float* curve = solver::SystemCurve(block);
            for (int k = 0; k < shell::kGridPoints; k += 13)
                ASSERT_TRUE(std::isfinite(curve[k])) << d.what << ": curve " << block;
        }
    }
}

}  // namespace

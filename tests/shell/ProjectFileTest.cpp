// Project files: size and content refusals, damaged files, unpack fixes, interrupted saves.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>
#include <memory>
#include <random>
#include <vector>

#include "shell/Globals.h"
#include "shell/NumberText.h"
#include "shell/ProjectImage.h"
#include "tests/shell/ShellTestSupport.h"

namespace shell {
namespace {

using platform::testing::ClearMessageBoxLog;
using platform::testing::MessageBoxLog;

constexpr const char* kNotRecognized = "This Project File is NOT Recognized";

// A small valid network in channel block k of an image: input node, filter, port, ground.
void PutNetwork(ProjectImage& image, int k) {
    ProjectChannelBlock& c = image.Channels[k];
    c.NodeCount = 3;
    c.WireCount = 2;
    c.ElementCount = 4;
    c.ToolWord = 1;
    const std::int32_t kinds[4] = {kElementInputNode, kElementFilter, kElementOutputPort,
                                   kElementGround};
    for (int e = 0; e < 4; ++e) {
        c.ElementGeometry[e].kind = kinds[e];
        c.ElementGeometry[e].node1 = e == 0 ? 0 : e - 1;
        c.ElementGeometry[e].node2 = e;
    }
    c.ElementParams[0][kParamInputPort] = 1.0f;
    c.ElementParams[2][kParamOutputPort] = static_cast<float>(k + 1);
    c.ElementParams[2][kParamHotNode] = 1.0f;
    for (int e = 0; e < kMaxElements; ++e) CopyTextSlot(c.ElementFileTitles[e], "No File Loaded");
}

class ProjectFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetGlobals();
        dir_ = test::MakeTempFolder("project");
        ClearMessageBoxLog();
        good_ = std::make_unique<ProjectImage>();
        std::memset(good_.get(), 0, sizeof(ProjectImage));
        InitProjectSettings(good_.get());
        for (int k = 0; k < kPaneCount; ++k) PutNetwork(*good_, k);
        good_->Settings.SampleRateIndex = 4;
        good_->Settings.BbmLevel = 0.7f;
        good_->Settings.SubwooferMode = 2;
        good_->Settings.PlayerDeviceWords[8] = 3;
    }
    void TearDown() override {
        FileWriteFaultAfterBytes = -1;
        std::filesystem::remove_all(dir_);
    }

    std::string Path(const char* name) const { return (dir_ / name).string(); }

    void WriteImage(const std::string& path, const ProjectImage& image) {
        test::WriteBytes(path, &image, sizeof image);
    }

    // Snapshot of everything a load may change.
    struct State {
        std::vector<std::uint8_t> project;
        std::vector<std::uint8_t> stores;
        std::int32_t subwoofer_mode;
        std::int32_t output_layout;
    };
    static State Capture() {
        State s;
        s.project.resize(sizeof Project);
        std::memcpy(s.project.data(), &Project, sizeof Project);
        s.stores.resize(sizeof PaneStores);
        std::memcpy(s.stores.data(), PaneStores, sizeof PaneStores);
        s.subwoofer_mode = SubwooferMode;
        s.output_layout = OutputLayout;
        return s;
    }
    static bool Unchanged(const State& s) {
        return std::memcmp(s.project.data(), &Project, sizeof Project) == 0 &&
               std::memcmp(s.stores.data(), PaneStores, sizeof PaneStores) == 0 &&
               s.subwoofer_mode == SubwooferMode && s.output_layout == OutputLayout;
    }

    std::filesystem::path dir_;
    std::unique_ptr<ProjectImage> good_;
};

TEST_F(ProjectFileTest, GoodFileLoadsIntoStoresAndVariables) {
    WriteImage(Path("good.hif"), *good_);
    ASSERT_EQ(ReadProjectFile(platform::HWND{}, Path("good.hif").c_str()), 1);
    EXPECT_TRUE(MessageBoxLog().empty());
    for (int k = 0; k < kPaneCount; ++k) {
        EXPECT_EQ(PaneStores[k].ElementCount, 4) << "pane " << k + 1;
        EXPECT_EQ(PaneStores[k].WMatrixOrder, 3);
        EXPECT_EQ(PaneToolModes[k], 1);
        EXPECT_EQ(PaneStores[k].ElementParams[2][kParamOutputPort], k + 1.0f);
        EXPECT_STREQ(PaneStores[k].ElementFileTitles[5], "No File Loaded");
    }
    EXPECT_EQ(Project.Settings.SampleRateIndex, 4);
    EXPECT_FLOAT_EQ(Project.Settings.BbmLevel, 0.7f);
    EXPECT_EQ(SubwooferMode, 2);
    EXPECT_EQ(PlayerDeviceWords[8], 3);
}

TEST_F(ProjectFileTest, WrongSizeIsRefusedAndChangesNothing) {
    std::vector<std::uint8_t> bytes(sizeof(ProjectImage));
    std::memcpy(bytes.data(), good_.get(), bytes.size());
    for (long delta : {-1L, +1L, -static_cast<long>(kProjectImageBytes) + 8}) {
        std::vector<std::uint8_t> sized = bytes;
        sized.resize(static_cast<std::size_t>(static_cast<long>(bytes.size()) + delta), 0);
        test::WriteBytes(Path("sized.hif"), sized.data(), sized.size());
        const State before = Capture();
        ClearMessageBoxLog();
        EXPECT_EQ(ReadProjectFile(platform::HWND{}, Path("sized.hif").c_str()), 0) << delta;
        ASSERT_EQ(MessageBoxLog().size(), 1u);
        EXPECT_EQ(MessageBoxLog()[0].text, kNotRecognized);
        EXPECT_EQ(MessageBoxLog()[0].caption, "QV Message");
        EXPECT_TRUE(Unchanged(before)) << "size delta " << delta;
    }
}

TEST_F(ProjectFileTest, MissingFileShowsThePath) {
    const std::string path = Path("missing.hif");
    EXPECT_EQ(ReadProjectFile(platform::HWND{}, path.c_str()), 0);
    ASSERT_EQ(MessageBoxLog().size(), 1u);
    EXPECT_EQ(MessageBoxLog()[0].text, path);
}

struct Corruption {
    const char* what;
    void (*apply)(ProjectChannelBlock&);
};

TEST_F(ProjectFileTest, BadCountsAndIndicesAreRefused) {
    const Corruption cases[] = {
        {"node count 65", [](ProjectChannelBlock& c) { c.NodeCount = 65; }},
        {"node count -1", [](ProjectChannelBlock& c) { c.NodeCount = -1; }},
        {"wire count 65", [](ProjectChannelBlock& c) { c.WireCount = 65; }},
        {"element count 65", [](ProjectChannelBlock& c) { c.ElementCount = 65; }},
        {"element count -3", [](ProjectChannelBlock& c) { c.ElementCount = -3; }},
        {"tool word 9", [](ProjectChannelBlock& c) { c.ToolWord = 9; }},
        {"kind 7", [](ProjectChannelBlock& c) { c.ElementGeometry[1].kind = 7; }},
        {"kind -1 beyond count", [](ProjectChannelBlock& c) { c.ElementGeometry[40].kind = -1; }},
        {"node1 64", [](ProjectChannelBlock& c) { c.ElementGeometry[1].node1 = 64; }},
        {"node2 -2", [](ProjectChannelBlock& c) { c.ElementGeometry[2].node2 = -2; }},
        {"output port 17",
         [](ProjectChannelBlock& c) { c.ElementParams[2][kParamOutputPort] = 17; }},
        {"output port NaN",
         [](ProjectChannelBlock& c) {
             c.ElementParams[2][kParamOutputPort] = std::numeric_limits<float>::quiet_NaN();
         }},
        {"hot node 64", [](ProjectChannelBlock& c) { c.ElementParams[2][kParamHotNode] = 64; }},
        {"input port -1", [](ProjectChannelBlock& c) { c.ElementParams[0][kParamInputPort] = -1; }},
        {"input port inf",
         [](ProjectChannelBlock& c) {
             c.ElementParams[0][kParamInputPort] = std::numeric_limits<float>::infinity();
         }},
        {"room EQ port 17",
         [](ProjectChannelBlock& c) {
             c.ElementGeometry[1].kind = kElementRoomEq;
             c.ElementParams[1][kParamCorrectionPort] = 17;
         }},
    };
    int index = 0;
    for (const auto& c : cases) {
        {
            const int k = (index++ % 2 == 0) ? 0 : 6;  // first and last channel alternately
            auto image = std::make_unique<ProjectImage>(*good_);
            c.apply(image->Channels[k]);
            EXPECT_NE(ValidateProjectImage(*image), 0) << c.what;
            WriteImage(Path("bad.hif"), *image);
            const State before = Capture();
            ClearMessageBoxLog();
            EXPECT_EQ(ReadProjectFile(platform::HWND{}, Path("bad.hif").c_str()), 0)
                << c.what << " in channel " << k;
            ASSERT_EQ(MessageBoxLog().size(), 1u) << c.what;
            EXPECT_EQ(MessageBoxLog()[0].text, kNotRecognized) << c.what;
            EXPECT_TRUE(Unchanged(before)) << c.what << " changed memory";
        }
    }
    // Boundary values that are fine.
    auto image = std::make_unique<ProjectImage>(*good_);
    image->Channels[3].NodeCount = 64;
    image->Channels[3].WireCount = 64;
    image->Channels[3].ElementParams[2][kParamOutputPort] = 16.0f;
    image->Channels[3].ElementGeometry[1].node1 = 63;
    EXPECT_EQ(ValidateProjectImage(*image), 0);
}

TEST_F(ProjectFileTest, UnpackFixesBbmLevelAndTerminatesTexts) {
    struct Case {
        float stored;
        float loaded;
    };
    const Case cases[] = {{0.05f, 0.5f},
                          {0.1f, 0.1f},
                          {1.0f, 1.0f},
                          {-3.0f, 0.5f},
                          {std::numeric_limits<float>::quiet_NaN(), 0.5f},
                          {std::numeric_limits<float>::infinity(), 0.5f},
                          {-std::numeric_limits<float>::infinity(), 0.5f}};
    for (const auto& c : cases) {
        auto image = std::make_unique<ProjectImage>(*good_);
        image->Settings.BbmLevel = c.stored;
        std::memset(image->Channels[2].ElementFileTitles[7], 'A', kFileTextSlot);
        std::memset(image->Channels[5].ElementFilePaths[63], 'B', kFileTextSlot);
        std::memset(image->Settings.HotkeyOutputTexts[0], '9', kHotkeyTextSlot);
        std::memset(image->Settings.TextArea, 'C', sizeof image->Settings.TextArea);
        WriteImage(Path("texts.hif"), *image);
        ASSERT_EQ(ReadProjectFile(platform::HWND{}, Path("texts.hif").c_str()), 1);
        EXPECT_EQ(Project.Settings.BbmLevel, c.loaded) << "stored " << c.stored;
        EXPECT_EQ(std::strlen(PaneStores[2].ElementFileTitles[7]), kFileTextSlot - 1u);
        EXPECT_EQ(std::strlen(PaneStores[5].ElementFilePaths[63]), kFileTextSlot - 1u);
        EXPECT_EQ(std::strlen(Project.Settings.HotkeyOutputTexts[0]), kHotkeyTextSlot - 1u);
        EXPECT_LT(std::strlen(Project.Settings.TextArea), sizeof Project.Settings.TextArea);
    }
}

TEST_F(ProjectFileTest, RandomBytesAreRefusedOrLoadedSafely) {
    std::mt19937 rng(2024);
    auto image = std::make_unique<ProjectImage>();
    for (int round = 0; round < 3; ++round) {
        auto* bytes = reinterpret_cast<std::uint8_t*>(image.get());
        for (std::size_t i = 0; i < sizeof(ProjectImage); i += 4) {
            const std::uint32_t r = rng();
            std::memcpy(bytes + i, &r, 4);
        }
        WriteImage(Path("random.hif"), *image);
        const State before = Capture();
        const ProjectLoadStatus status = LoadProjectFile(Path("random.hif").c_str());
        EXPECT_TRUE(status == ProjectLoadStatus::kLoaded ||
                    status == ProjectLoadStatus::kNotRecognized);
        if (status != ProjectLoadStatus::kLoaded) {
            EXPECT_TRUE(Unchanged(before));
        }
    }
    // Valid images with random damage in the small tables: whatever loads is in range.
    for (int round = 0; round < 24; ++round) {
        *image = *good_;
        auto* bytes = reinterpret_cast<std::uint8_t*>(&image->Channels[round % kPaneCount]);
        for (int hit = 0; hit < 4; ++hit) {
            const std::size_t at = rng() % offsetof(ProjectChannelBlock, ElementTransfer);
            bytes[at] = static_cast<std::uint8_t>(rng());
        }
        image->Settings.BbmLevel =
            (round % 3 == 0) ? std::numeric_limits<float>::quiet_NaN() : 0.3f;
        WriteImage(Path("damaged.hif"), *image);
        const State before = Capture();
        const ProjectLoadStatus status = LoadProjectFile(Path("damaged.hif").c_str());
        if (status != ProjectLoadStatus::kLoaded) {
            EXPECT_EQ(status, ProjectLoadStatus::kNotRecognized);
            EXPECT_TRUE(Unchanged(before)) << "round " << round;
            continue;
        }
        for (const auto& store : PaneStores) {
            ASSERT_LE(static_cast<unsigned>(store.ElementCount), 64u);
            ASSERT_LE(static_cast<unsigned>(store.WireCount), 64u);
            ASSERT_LE(static_cast<unsigned>(store.WMatrixOrder), 64u);
            for (const auto& g : store.ElementGeometry) {
                ASSERT_LE(static_cast<unsigned>(g.kind), 6u);
                if (g.kind != 0) {
                    ASSERT_TRUE(g.node1 >= -1 && g.node1 < 64);
                }
            }
        }
        EXPECT_TRUE(std::isfinite(Project.Settings.BbmLevel));
    }
}

TEST_F(ProjectFileTest, InterruptedSaveKeepsThePreviousFile) {
    WriteImage(Path("in.hif"), *good_);
    ASSERT_EQ(ReadProjectFile(platform::HWND{}, Path("in.hif").c_str()), 1);
    const std::string target = Path("saved.hif");
    ASSERT_EQ(WriteProjectFile(platform::HWND{}, target.c_str()), 1);
    const auto previous = test::ReadBytes(target);
    ASSERT_EQ(previous.size(), kProjectImageBytes);

    PaneStores[0].ElementCount = 3;
    Project.Settings.VolumeSliderPosition = 51;
    for (std::int64_t fault : {0LL, 4096LL, 10000000LL, 23672887LL}) {
        FileWriteFaultAfterBytes = fault;
        ClearMessageBoxLog();
        EXPECT_EQ(WriteProjectFile(platform::HWND{}, target.c_str()), 0) << fault;
        ASSERT_EQ(MessageBoxLog().size(), 1u);
        EXPECT_EQ(MessageBoxLog()[0].text, target) << "the message is the path";
        EXPECT_EQ(test::ReadBytes(target), previous) << "previous file damaged at " << fault;
    }
    FileWriteFaultAfterBytes = -1;
    EXPECT_EQ(test::CountFiles(dir_), 2) << "temporary files left behind";
    ASSERT_EQ(WriteProjectFile(platform::HWND{}, target.c_str()), 1);
    ASSERT_EQ(ReadProjectFile(platform::HWND{}, target.c_str()), 1);
    EXPECT_EQ(PaneStores[0].ElementCount, 3);
    EXPECT_EQ(Project.Settings.VolumeSliderPosition, 51);
}

TEST_F(ProjectFileTest, SettingsDefaults) {
    const ProjectSettings& s = good_->Settings;
    auto fresh = std::make_unique<ProjectImage>();
    std::memset(fresh.get(), 0xAB, sizeof(ProjectImage));
    InitProjectSettings(fresh.get());
    const ProjectSettings& d = fresh->Settings;
    EXPECT_EQ(d.SampleRateIndex, 5);
    EXPECT_STREQ(SampleRateNames[d.SampleRateIndex], "48000");
    EXPECT_EQ(d.SystemConfiguration, 0);
    EXPECT_EQ(d.UseHbtData, 1);
    EXPECT_EQ(d.VolumeSliderPosition, 9);
    EXPECT_EQ(d.SplOnlyEq, 0);
    EXPECT_EQ(d.OutputLayout, 1);
    EXPECT_FLOAT_EQ(d.BbmLevel, 0.5f);
    const char* hotkeys[20] = {"3", "4", "5", "6", "0", "0", "0", "0", "0", "0",
                               "1", "2", "0", "0", "0", "0", "0", "0", "0", "0"};
    for (int i = 0; i < 20; ++i) EXPECT_STREQ(d.HotkeyOutputTexts[i], hotkeys[i]) << i;
    // The first 5228 bytes are not written by the defaults.
    EXPECT_EQ(static_cast<std::uint8_t>(d.TextArea[0]), 0xAB);
    EXPECT_EQ(d.Reserved16A4[8], 0);
    EXPECT_EQ(s.UseHbtData, 1);
}

}  // namespace
}  // namespace shell

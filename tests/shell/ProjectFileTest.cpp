// Project files: size and content refusals, damaged files, unpack fixes, interrupted saves.
#include <gtest/gtest.h>
#include <sys/stat.h>

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
#include "shell/ValueRepairs.h"
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
    // What every program-written slot holds: the defaults of a cleared store.
    for (int e = 0; e < kMaxElements; ++e) {
        c.ElementParams[e][kParamF1] = 100.0f;
        c.ElementParams[e][kParamF2] = 10000.0f;
        c.ElementParams[e][kParamFo] = 1000.0f;
        c.ElementParams[e][kParamPlotFlag] = 1.0f;
        c.ElementParams[e][kParamPolarity] = 1.0f;
    }
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
        // A remote-control text with no end is no number: it gets its default.
        EXPECT_STREQ(Project.Settings.HotkeyOutputTexts[0], "3");
        EXPECT_LT(std::strlen(Project.Settings.TextArea), sizeof Project.Settings.TextArea);
    }
}

struct ValueDamage {
    const char* what;
    void (*apply)(ProjectImage&);
    bool (*repaired)();  // the loaded state holds the default again
    const char* named;   // what the message names
};

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

TEST_F(ProjectFileTest, ValuesOutOfRangeAreReplacedByDefaultsAndNamedOnce) {
    const ValueDamage cases[] = {
        {"volume 1000", [](ProjectImage& i) { i.Settings.VolumeSliderPosition = 1000; },
         [] { return Project.Settings.VolumeSliderPosition == 9; }, "volume"},
        {"volume INT_MIN",
         [](ProjectImage& i) {
             i.Settings.VolumeSliderPosition = std::numeric_limits<std::int32_t>::min();
         },
         [] { return Project.Settings.VolumeSliderPosition == 9; }, "volume"},
        {"volume -1", [](ProjectImage& i) { i.Settings.VolumeSliderPosition = -1; },
         [] { return Project.Settings.VolumeSliderPosition == 9; }, "volume"},
        {"polarity 1e6",
         [](ProjectImage& i) { i.Channels[2].ElementParams[2][kParamPolarity] = 1e6f; },
         [] { return PaneStores[2].ElementParams[2][kParamPolarity] == 1.0f; },
         "Front Right, element 3: polarity"},
        {"polarity NaN",
         [](ProjectImage& i) { i.Channels[0].ElementParams[2][kParamPolarity] = kNaN; },
         [] { return PaneStores[0].ElementParams[2][kParamPolarity] == 1.0f; },
         "Front Left, element 3: p"},
        {"polarity 0.5",
         [](ProjectImage& i) { i.Channels[6].ElementParams[2][kParamPolarity] = 0.5f; },
         [] { return PaneStores[6].ElementParams[2][kParamPolarity] == 1.0f; },
         "Subwoofer 2, element 3: polarity"},
        {"huge transfer point",
         [](ProjectImage& i) {
             i.Channels[1].ElementTransfer[2][700] = {-3.4e38f, 0.0f};
         },
         [] {
             const ComplexPoint p = PaneStores[1].ElementTransfer[2][700];
             return p.re == 1.0f && p.im == 0.0f;
         },
         "Center, element 3: transfer curve"},
        {"infinite transfer point in an empty slot",
         [](ProjectImage& i) {
             i.Channels[1].ElementTransfer[40][0] = {0.0f, kInf};
         },
         [] { return PaneStores[1].ElementTransfer[40][0].im == 0.0f; },
         "Center, element 41: transfer curve"},
        {"NaN filter frequency",
         [](ProjectImage& i) { i.Channels[3].ElementParams[1][kParamFo] = kNaN; },
         [] { return PaneStores[3].ElementParams[1][kParamFo] == 1000.0f; },
         "Rear Left, element 2"},
        {"NaN output gain",
         [](ProjectImage& i) { i.Channels[4].ElementParams[2][kParamOutputGain] = kNaN; },
         [] { return PaneStores[4].ElementParams[2][kParamOutputGain] == 0.0f; },
         "Subwoofer 1, element 3"},
        {"output gain 1e4 dB",
         [](ProjectImage& i) { i.Channels[4].ElementParams[2][kParamOutputGain] = 1e4f; },
         [] { return PaneStores[4].ElementParams[2][kParamOutputGain] == 0.0f; }, "output gain"},
        {"infinite delay",
         [](ProjectImage& i) { i.Channels[5].ElementParams[2][kParamDelay] = -kInf; },
         [] { return PaneStores[5].ElementParams[2][kParamDelay] == 0.0f; },
         "Rear Right, element 3"},
        {"delay of 20 s",
         [](ProjectImage& i) { i.Channels[5].ElementParams[2][kParamDelay] = 20000.0f; },
         [] { return PaneStores[5].ElementParams[2][kParamDelay] == 0.0f; },
         "Rear Right, element 3: delay"},
        {"NaN plot flag",
         [](ProjectImage& i) { i.Channels[0].ElementParams[2][kParamPlotFlag] = kNaN; },
         [] { return PaneStores[0].ElementParams[2][kParamPlotFlag] == 1.0f; }, "parameter"},
        {"NaN driver SPL",
         [](ProjectImage& i) { i.Channels[0].ElementDriverData[2].Spl[5] = kNaN; },
         [] { return PaneStores[0].ElementDriverData[2].Spl[5] == 90.0f; }, "driver SPL"},
        {"huge driver response",
         [](ProjectImage& i) { i.Channels[0].ElementDriverData[2].Real[9] = 1e30f; },
         [] { return PaneStores[0].ElementDriverData[2].Real[9] == 1.0f; }, "driver response"},
        {"infinite efficiency",
         [](ProjectImage& i) { i.Channels[0].ElementDriverData[2].Efficiency = kInf; },
         [] { return PaneStores[0].ElementDriverData[2].Efficiency == 90.0f; },
         "driver efficiency"},
        {"sample-rate index 8", [](ProjectImage& i) { i.Settings.SampleRateIndex = 8; },
         [] { return Project.Settings.SampleRateIndex == 5; }, "sample rate"},
        {"system configuration 4", [](ProjectImage& i) { i.Settings.SystemConfiguration = 4; },
         [] { return Project.Settings.SystemConfiguration == 0; }, "system configuration"},
        {"output layout -1", [](ProjectImage& i) { i.Settings.OutputLayout = -1; },
         [] { return OutputLayout == 1; }, "output layout"},
        {"input layout 3", [](ProjectImage& i) { i.Settings.InputLayout = 3; },
         [] { return InputLayout == 0; }, "input layout"},
        {"subwoofer mode 7", [](ProjectImage& i) { i.Settings.SubwooferMode = 7; },
         [] { return SubwooferMode == 0; }, "subwoofer mode"},
        {"check box 2", [](ProjectImage& i) { i.Settings.SplOnlyEq = 2; },
         [] { return Project.Settings.SplOnlyEq == 0; }, "SPL Only EQ"},
        {"device word -7", [](ProjectImage& i) { i.Settings.PlayerDeviceWords[8] = -7; },
         [] { return PlayerDeviceWords[8] == 0; }, "sound device"},
        {"hot-key text with a control byte",
         [](ProjectImage& i) {
             std::memcpy(i.Settings.HotkeyOutputTexts[11],
                         "\x01"
                         "5",
                         3);
         },
         [] { return std::strcmp(Project.Settings.HotkeyOutputTexts[11], "2") == 0; },
         "remote-control output"},
        {"hot-key text that overflows",
         [](ProjectImage& i) { CopyTextSlot(i.Settings.HotkeyOutputTexts[2], "99999999999"); },
         [] { return std::strcmp(Project.Settings.HotkeyOutputTexts[2], "5") == 0; },
         "remote-control output"},
        {"BBM level 3", [](ProjectImage& i) { i.Settings.BbmLevel = 3.0f; },
         [] { return Project.Settings.BbmLevel == 0.5f; }, "BBM level"},
    };
    for (const auto& c : cases) {
        auto image = std::make_unique<ProjectImage>(*good_);
        c.apply(*image);
        WriteImage(Path("damaged.hif"), *image);
        ClearMessageBoxLog();
        ASSERT_EQ(ReadProjectFile(platform::HWND{}, Path("damaged.hif").c_str()), 1) << c.what;
        EXPECT_TRUE(c.repaired()) << c.what;
        ASSERT_EQ(MessageBoxLog().size(), 1u) << c.what << ": told once";
        EXPECT_NE(MessageBoxLog()[0].text.find(c.named), std::string::npos)
            << c.what << ": " << MessageBoxLog()[0].text;
        EXPECT_EQ(MessageBoxLog()[0].caption, "QV Message");
        EXPECT_EQ(LastProjectRepairs().Count(), 1) << c.what;
    }
    // A sound file loads without a word.
    WriteImage(Path("good.hif"), *good_);
    ClearMessageBoxLog();
    ASSERT_EQ(ReadProjectFile(platform::HWND{}, Path("good.hif").c_str()), 1);
    EXPECT_TRUE(MessageBoxLog().empty());
    EXPECT_TRUE(LastProjectRepairs().Empty());
}

// Every value the element dialogs can store opens unchanged and without a word, up to the bounds
// of what the solver computes; one step past a bound is replaced and named.
TEST_F(ProjectFileTest, ValuesTheDialogsStoreOpenUnchanged) {
    struct Case {
        const char* what;
        int element;  // 1 filter, 2 output port
        int param;    // -1: transfer point 0
        float value;
        bool kept;
    };
    const Case cases[] = {
        {"filter Fo 0", 1, kParamFo, 0.0f, true},
        {"filter Fo below 0", 1, kParamFo, -3.4e38f, true},
        {"filter gain -300 dB", 1, kParamGain, -300.0f, true},
        {"filter gain at the floor", 1, kParamGain, kLowestFilterGainDb, true},
        {"filter gain below the floor", 1, kParamGain, -10000.5f, false},
        {"filter gain above the ceiling", 1, kParamGain, 200.5f, false},
        {"filter R/Q far below 0", 1, kParamRQ, -3.4e38f, true},
        {"output gain 500 dB", 2, kParamOutputGain, 500.0f, true},
        {"output gain above 500 dB", 2, kParamOutputGain, 500.1f, false},
        {"output gain far below 0", 2, kParamOutputGain, -3.4e38f, true},
        {"delay 10 s", 2, kParamDelay, kDelayLimitMs, true},
        {"delay -10 s", 2, kParamDelay, -kDelayLimitMs, true},
        {"delay above 10 s", 2, kParamDelay, 10000.01f, false},
        {"delay 99999 ms", 2, kParamDelay, 99999.0f, false},
        {"delay below -10 s", 2, kParamDelay, -10000.01f, false},
        {"delay far below 0", 2, kParamDelay, -3.4e38f, false},
        {"band edge far above", 2, kParamF1, 3.4e38f, true},
        {"transfer 1e8 (+160 dB)", 2, -1, 1.0e8f, true},
        {"transfer at the limit", 2, -1, -kTransferLimit, true},
        {"transfer past the limit", 2, -1, 1.01e9f, false},
    };
    for (const Case& c : cases) {
        auto image = std::make_unique<ProjectImage>(*good_);
        if (c.param < 0) {
            image->Channels[2].ElementTransfer[c.element][0] = {c.value, -c.value};
        } else {
            image->Channels[2].ElementParams[c.element][c.param] = c.value;
        }
        WriteImage(Path("stored.hif"), *image);
        ClearMessageBoxLog();
        ASSERT_EQ(ReadProjectFile(platform::HWND{}, Path("stored.hif").c_str()), 1) << c.what;
        const float loaded = c.param < 0 ? PaneStores[2].ElementTransfer[c.element][0].re
                                         : PaneStores[2].ElementParams[c.element][c.param];
        EXPECT_EQ(loaded == c.value, c.kept) << c.what;
        EXPECT_EQ(MessageBoxLog().empty(), c.kept) << c.what;
    }
}

TEST_F(ProjectFileTest, ManyDamagedValuesAreToldInOneMessage) {
    auto image = std::make_unique<ProjectImage>(*good_);
    for (int k = 0; k < kPaneCount; ++k)
        for (int p = 0; p < kGridPoints; ++p) image->Channels[k].ElementTransfer[2][p].re = kNaN;
    image->Settings.VolumeSliderPosition = 67;
    WriteImage(Path("many.hif"), *image);
    ClearMessageBoxLog();
    ASSERT_EQ(ReadProjectFile(platform::HWND{}, Path("many.hif").c_str()), 1);
    ASSERT_EQ(MessageBoxLog().size(), 1u);
    EXPECT_EQ(LastProjectRepairs().Count(), kPaneCount * kGridPoints + 1);
    EXPECT_NE(MessageBoxLog()[0].text.find("(2000 values)"), std::string::npos);
    for (const auto& store : PaneStores)
        for (const ComplexPoint& p : store.ElementTransfer[2]) ASSERT_EQ(p.re, 1.0f);
}

TEST_F(ProjectFileTest, CoordinatesNoPaneCanShowAreRefused) {
    const Corruption cases[] = {
        {"element x near INT_MAX",
         [](ProjectChannelBlock& c) { c.ElementGeometry[1].x1 = 2147483640; }},
        {"element y2 INT_MIN",
         [](ProjectChannelBlock& c) { c.ElementGeometry[2].y2 = -2147483647 - 1; }},
        {"wire x2 huge", [](ProjectChannelBlock& c) { c.Wire[0].x2 = 2000000000; }},
        {"joint point y huge", [](ProjectChannelBlock& c) { c.JointGroup[3][5].y = 1000001; }},
    };
    for (const auto& c : cases) {
        auto image = std::make_unique<ProjectImage>(*good_);
        c.apply(image->Channels[4]);
        WriteImage(Path("far.hif"), *image);
        const State before = Capture();
        ClearMessageBoxLog();
        EXPECT_EQ(ReadProjectFile(platform::HWND{}, Path("far.hif").c_str()), 0) << c.what;
        ASSERT_EQ(MessageBoxLog().size(), 1u) << c.what;
        EXPECT_EQ(MessageBoxLog()[0].text, kNotRecognized) << c.what;
        EXPECT_TRUE(Unchanged(before)) << c.what;
    }
}

// A named pipe or a folder in place of a project is a file that cannot be opened: the path is
// the message, nothing waits and nothing changes.
TEST_F(ProjectFileTest, NotARegularFileCannotBeOpened) {
    const std::string pipe = Path("pipe.hif");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    for (const std::string& path : {pipe, dir_.string()}) {
        const State before = Capture();
        ClearMessageBoxLog();
        EXPECT_EQ(ReadProjectFile(platform::HWND{}, path.c_str()), 0) << path;
        ASSERT_EQ(MessageBoxLog().size(), 1u);
        EXPECT_EQ(MessageBoxLog()[0].text, path);
        EXPECT_TRUE(Unchanged(before)) << path;
        EXPECT_EQ(LoadProjectFile(path.c_str()), ProjectLoadStatus::kOpenFailed) << path;
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
        EXPECT_EQ(MessageBoxLog()[0].text.rfind(target + "\n\nThe project has not been saved: ", 0),
                  0u)
            << "the path, then that it was not saved and why: " << MessageBoxLog()[0].text;
        EXPECT_EQ(test::ReadBytes(target), previous) << "previous file damaged at " << fault;
    }
    FileWriteFaultAfterBytes = -1;
    EXPECT_EQ(test::CountFiles(dir_), 2) << "temporary files left behind";
    ASSERT_EQ(WriteProjectFile(platform::HWND{}, target.c_str()), 1);
    ASSERT_EQ(ReadProjectFile(platform::HWND{}, target.c_str()), 1);
    EXPECT_EQ(PaneStores[0].ElementCount, 3);
    EXPECT_EQ(Project.Settings.VolumeSliderPosition, 51);
}

// A network the reader would not recognise is never saved: the previous file stays.
TEST_F(ProjectFileTest, SavesTheReaderWouldRefuseAreNotWritten) {
    struct Case {
        const char* what;
        void (*spoil)(PaneStore&);
    };
    const Case cases[] = {
        {"element count 65", [](PaneStore& s) { s.ElementCount = 65; }},
        {"wire count -1", [](PaneStore& s) { s.WireCount = -1; }},
        {"kind 7", [](PaneStore& s) { s.ElementGeometry[1].kind = 7; }},
        {"wire beyond every pane", [](PaneStore& s) { s.Wire[0].x1 = 2000000000; }},
    };
    WriteImage(Path("in.hif"), *good_);
    ASSERT_EQ(ReadProjectFile(platform::HWND{}, Path("in.hif").c_str()), 1);
    const std::string target = Path("saved.hif");
    ASSERT_EQ(WriteProjectFile(platform::HWND{}, target.c_str()), 1);
    const auto previous = test::ReadBytes(target);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto kept = std::make_unique<PaneStore>(PaneStores[5]);
        c.spoil(PaneStores[5]);
        ClearMessageBoxLog();
        EXPECT_EQ(WriteProjectFile(platform::HWND{}, target.c_str()), 0);
        ASSERT_EQ(MessageBoxLog().size(), 1u);
        EXPECT_EQ(MessageBoxLog()[0].text.rfind(target + "\n\nThe project has not been saved: ", 0),
                  0u);
        EXPECT_EQ(test::ReadBytes(target), previous);
        PaneStores[5] = *kept;
    }
    ASSERT_EQ(WriteProjectFile(platform::HWND{}, target.c_str()), 1);
    ASSERT_EQ(ReadProjectFile(platform::HWND{}, target.c_str()), 1);
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

// The output-port dialog driven as a person would: what it shows at opening, the controls that
// act at once, Browse reading driver files (exact size only), Clear Loaded Driver, Done's steps
// in order with the dialog staying open on a refusal, the band clamping, the transfer curve 1/H
// through the installed minimum-phase correction, Cancel and the close box.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "network/EditorState.h"
#include "network/ElementDialogs.h"
#include "network/Templates.h"
#include "network/WorkingNetwork.h"
#include "platform/testing/Dialogs.h"
#include "platform/testing/FileDialogs.h"
#include "platform/testing/Harness.h"
#include "platform/testing/Input.h"
#include "platform/testing/MessageBoxLog.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Window.h"
#include "resources/Resources.h"
#include "shell/DriverRecord.h"
#include "shell/FrequencyGrid.h"
#include "shell/Globals.h"
#include "shell/NetworkTables.h"
#include "shell/NumberText.h"
#include "shell/StartupAllocation.h"
#include "solver/Globals.h"
#include "solver/MinimumPhase.h"
#include "solver/OutputPortDialog.h"
#include "tests/network/DialogTestSupport.h"

namespace network {
namespace {

using namespace solver;
using platform::HWND;
using platform::testing::Click;
using platform::testing::TypeText;

std::string Text(HWND d, int id) { return test::DialogText(d, id); }

// The texts of the dialog's own boxes ("QV Message"), checking their icon and button.
std::vector<std::string> Messages() {
    std::vector<std::string> texts;
    for (const auto& entry : platform::testing::MessageBoxLog()) {
        if (entry.caption != "QV Message") continue;
        EXPECT_EQ(entry.type, platform::MB_OK | platform::MB_ICONEXCLAMATION) << entry.text;
        texts.push_back(entry.text);
    }
    return texts;
}

// A driver record whose four curves and efficiency text are known functions of the index.
std::unique_ptr<shell::DriverRecord> MakeDriver(const char* efficiency) {
    auto record = std::make_unique<shell::DriverRecord>();
    std::memset(record.get(), 0, sizeof(shell::DriverRecord));
    for (int k = 0; k < shell::kGridPoints; ++k) {
        record->Spl[k] = 70.0f + 0.01f * static_cast<float>(k);
        record->Phase[k] = -0.05f * static_cast<float>(k);
        record->HbtReal[k] = 0.5f + 0.0001f * static_cast<float>(k);
        record->HbtImag[k] = -0.25f + 0.0002f * static_cast<float>(k);
    }
    std::memcpy(record->Efficiency, efficiency, std::strlen(efficiency));
    return record;
}

std::string TempPath(const std::string& name) { return ::testing::TempDir() + "qv_dlg_" + name; }

// Writes `bytes` bytes of the record's image (zero padded beyond it) to a file.
void WriteDriverFile(const std::string& path, const shell::DriverRecord& record,
                     std::size_t bytes) {
    std::vector<unsigned char> image(bytes + 1, 0);
    std::memcpy(image.data(), &record, std::min(bytes, sizeof(shell::DriverRecord)));
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr) << path;
    ASSERT_EQ(std::fwrite(image.data(), 1, bytes, f), bytes);
    ASSERT_EQ(std::fclose(f), 0);
}

class OutputPortDialog : public ::testing::Test {
  protected:
    void SetUp() override {
        test::FreshElementDialogs();
        platform::testing::ClearFileDialogLog();
        solver::ResetOutputPortDialog();
        shell::BuildFrequencyGrids(3, 6);  // Done's correction runs on the extended grid
        scratch_ = std::make_unique<shell::DriverRecord>();
        saved_scratch_ = shell::ScratchDriverRecord;
        shell::ScratchDriverRecord = scratch_.get();
        AppendElement(shell::WorkingNetwork, HWND{}, shell::kElementInputNode, 20, 20, 20, 20);
        element_ =
            AppendElement(shell::WorkingNetwork, HWND{}, shell::kElementOutputPort, 40, 40, 40, 80);
        ASSERT_EQ(element_, 1);
        float* p = P();
        p[shell::kParamOutputPort] = 2.0f;
        p[shell::kParamF1] = 100.0f;
        p[shell::kParamF2] = 10000.0f;
        p[shell::kParamDelay] = 0.0f;
        p[shell::kParamOutputGain] = 0.0f;
        SelectedElement = element_;
    }
    void TearDown() override {
        shell::ScratchDriverRecord = saved_scratch_;
        solver::ResetOutputPortDialog();
    }
    float* P() { return shell::WorkingNetwork.ElementParams[element_]; }
    shell::ElementDriverBlock& Driver() {
        return shell::WorkingNetwork.ElementDriverData[element_];
    }
    std::string Title() { return shell::WorkingNetwork.ElementFileTitles[element_]; }
    std::string Path() { return shell::WorkingNetwork.ElementFilePaths[element_]; }
    static platform::INT_PTR Run(std::function<void(HWND)> script) {
        platform::testing::OnModalDialog("EnterOutputPort", std::move(script));
        return platform::DialogBox(platform::HINSTANCE{}, "EnterOutputPort", HWND{},
                                   &solver::EnterOutputPortDlgProc);
    }
    // Expects the element's driver data to be the flat defaults.
    void ExpectFlatDriver(const char* what) {
        for (int k = 0; k < shell::kGridPoints; ++k) {
            ASSERT_EQ(Driver().Spl[k], 90.0f) << what << " " << k;
            ASSERT_EQ(Driver().Phase[k], 0.0f) << what << " " << k;
            ASSERT_EQ(Driver().Real[k], 1.0f) << what << " " << k;
            ASSERT_EQ(Driver().Imag[k], 0.0f) << what << " " << k;
        }
    }
    int element_ = -1;
    std::unique_ptr<shell::DriverRecord> scratch_;
    shell::DriverRecord* saved_scratch_ = nullptr;
};

TEST_F(OutputPortDialog, OpeningShowsTheElement) {
    float* p = P();
    p[shell::kParamOutputPort] = 11.0f;
    p[shell::kParamF1] = 123.456f;
    p[shell::kParamF2] = 9876.5f;
    p[shell::kParamHotNode] = 7.0f;
    p[shell::kParamDelay] = 1.0f;
    p[shell::kParamOutputGain] = -12.5f;
    p[shell::kParamPolarity] = -1.0f;
    p[shell::kParamPlotFlag] = 0.0f;
    shell::CopyTextSlot(shell::WorkingNetwork.ElementFilePaths[element_], "/drivers/woofer.wfr");
    const auto result = Run([](HWND d) {
        EXPECT_EQ(Text(d, kF1Edit), "123.46");
        EXPECT_EQ(Text(d, kF2Edit), "9876.50");
        EXPECT_EQ(Text(d, kInputPortEdit), "11");
        EXPECT_EQ(Text(d, kDriverPathEdit), "/drivers/woofer.wfr");
        EXPECT_EQ(Text(d, kNodeStatic), "[Node 7]");
        EXPECT_EQ(Text(d, kDistanceStatic), "34.4000");
        EXPECT_EQ(Text(d, kDelayEdit), "1.000000");
        EXPECT_EQ(Text(d, kOutputGainEdit), "-12.50000");  // "%f" cut to 9 characters
        EXPECT_EQ(platform::IsDlgButtonChecked(d, kReversePhaseCheck), platform::BST_CHECKED);
        EXPECT_EQ(platform::IsDlgButtonChecked(d, kPlotFlagCheck), platform::BST_UNCHECKED);
        Click(d, platform::IDCANCEL);
    });
    EXPECT_EQ(result, 2);
    EXPECT_EQ(P()[shell::kParamOutputPort], 11.0f);
    EXPECT_EQ(P()[shell::kParamF1], 123.456f);
}

TEST_F(OutputPortDialog, ControlsActAtOnce) {
    const auto result = Run([this](HWND d) {
        struct Delay {
            const char* typed;
            const char* shown;
        };
        for (const Delay& c : {Delay{"1", "34.4000"}, Delay{"2.5", "86.0000"},
                               Delay{"-0.5", "-17.2000"}, Delay{"abc", "0.0000"}}) {
            TypeText(d, kDelayEdit, c.typed);
            EXPECT_EQ(Text(d, kDistanceStatic), c.shown) << c.typed;
        }
        EXPECT_EQ(P()[shell::kParamDelay], 0.0f);  // the delay itself waits for Done
        TypeText(d, kInputPortEdit, "13");
        EXPECT_EQ(P()[shell::kParamOutputPort], 13.0f);
        TypeText(d, kDriverPathEdit, "/typed/tweeter.twe");
        EXPECT_EQ(Path(), "/typed/tweeter.twe");
        TypeText(d, kInputPortEdit, "0");
        TypeText(d, kDriverPathEdit, "/ignored/without/port.wfr");
        EXPECT_EQ(Path(), "/typed/tweeter.twe");  // no port assigned: the path stays
        Click(d, kReversePhaseCheck);
        EXPECT_EQ(P()[shell::kParamPolarity], -1.0f);
        EXPECT_EQ(platform::IsDlgButtonChecked(d, kReversePhaseCheck), platform::BST_CHECKED);
        Click(d, kReversePhaseCheck);
        EXPECT_EQ(P()[shell::kParamPolarity], 1.0f);
        EXPECT_EQ(platform::IsDlgButtonChecked(d, kReversePhaseCheck), platform::BST_UNCHECKED);
        Click(d, kPlotFlagCheck);
        EXPECT_EQ(P()[shell::kParamPlotFlag], 0.0f);
        EXPECT_EQ(platform::IsDlgButtonChecked(d, kPlotFlagCheck), platform::BST_UNCHECKED);
        Click(d, kPlotFlagCheck);
        EXPECT_EQ(P()[shell::kParamPlotFlag], 1.0f);
        EXPECT_EQ(platform::IsDlgButtonChecked(d, kPlotFlagCheck), platform::BST_CHECKED);
        TypeText(d, kOutputGainEdit, "6");
        TypeText(d, kF1Edit, "50");
        EXPECT_EQ(P()[shell::kParamOutputGain], 0.0f);
        EXPECT_EQ(P()[shell::kParamF1], 100.0f);
        Click(d, platform::IDCANCEL);
    });
    EXPECT_EQ(result, 2);
    EXPECT_EQ(P()[shell::kParamOutputPort], 2.0f);  // Cancel: the port at opening
    EXPECT_EQ(Path(), "/typed/tweeter.twe");        // what acted at once stays
}

TEST_F(OutputPortDialog, BrowseNeedsAPortAndWorksAfterTyping) {
    P()[shell::kParamOutputPort] = 0.0f;
    const auto record = MakeDriver("87.25");
    const std::string path = TempPath("browse.wfr");
    WriteDriverFile(path, *record, shell::kDriverRecordBytes);
    platform::testing::ScriptFileDialogAnswers({path});
    const auto result = Run([&](HWND d) {
        Click(d, kBrowseButton);
        EXPECT_TRUE(platform::testing::FileDialogLog().empty());
        EXPECT_EQ(Messages(), std::vector<std::string>{kOutputPortRangeText});
        TypeText(d, kInputPortEdit, "3");
        Click(d, kBrowseButton);
        EXPECT_EQ(Text(d, kDriverPathEdit), path);
        Click(d, platform::IDOK);
    });
    EXPECT_EQ(result, 1);
    ASSERT_EQ(platform::testing::FileDialogLog().size(), 1u);
    const auto& entry = platform::testing::FileDialogLog()[0];
    EXPECT_FALSE(entry.save);
    EXPECT_TRUE(entry.shown);
    EXPECT_EQ(entry.filters, std::vector<std::string>{"All Drivers (*.WFR;*.UBA;*.MRD;*.TWE,*.STW)|"
                                                      "*.wfr;*.uba;*.mrd;*.twe;*.stw"});
    EXPECT_EQ(P()[shell::kParamOutputPort], 3.0f);
    EXPECT_EQ(Path(), path);
    EXPECT_EQ(Title(), "qv_dlg_browse.wfr");
    EXPECT_EQ(std::string(OutputPortDriverPath), path);
    for (int k = 0; k < shell::kGridPoints; ++k) {
        ASSERT_EQ(Driver().Spl[k], record->Spl[k]) << k;
        ASSERT_EQ(Driver().Phase[k], record->Phase[k]) << k;
        ASSERT_EQ(Driver().Real[k], record->HbtReal[k]) << k;
        ASSERT_EQ(Driver().Imag[k], record->HbtImag[k]) << k;
    }
    EXPECT_EQ(Driver().Efficiency, 87.25f);
    EXPECT_EQ(std::memcmp(scratch_.get(), record.get(), sizeof(shell::DriverRecord)), 0);
}

// Files of the wrong size, missing files and files whose curves hold no numbers leave the
// driver data as they were; the title and path name the chosen file.
TEST_F(OutputPortDialog, BrowseRefusals) {
    const auto record = MakeDriver("92");
    auto garbage = MakeDriver("92");
    garbage->Phase[1234] = std::nanf("");
    struct Case {
        const char* name;
        const shell::DriverRecord* record;  // null: no file
        std::size_t bytes;
        const char* message;
    };
    const Case cases[] = {
        {"short.wfr", record.get(), shell::kDriverRecordBytes - 1, kDriverNotRecognizedText},
        {"long.uba", record.get(), shell::kDriverRecordBytes + 1, kDriverNotRecognizedText},
        {"empty.mrd", record.get(), 0, kDriverNotRecognizedText},
        {"garbage.twe", garbage.get(), shell::kDriverRecordBytes, kDriverNotRecognizedText},
        {"missing.stw", nullptr, 0, kDriverOpenFailedText},
    };
    for (const Case& c : cases) {
        ClearWorkingNetwork();
        element_ =
            AppendElement(shell::WorkingNetwork, HWND{}, shell::kElementOutputPort, 40, 40, 40, 80);
        P()[shell::kParamOutputPort] = 4.0f;
        SelectedElement = element_;
        const std::string path = TempPath(c.name);
        std::remove(path.c_str());
        if (c.record) WriteDriverFile(path, *c.record, c.bytes);
        platform::testing::ClearMessageBoxLog();
        platform::testing::ScriptFileDialogAnswers({path});
        const auto result = Run([](HWND d) {
            Click(d, kBrowseButton);
            EXPECT_TRUE(platform::IsWindowVisible(d));
            Click(d, platform::IDOK);
        });
        EXPECT_EQ(result, 1) << c.name;
        EXPECT_EQ(Messages(), std::vector<std::string>{c.message}) << c.name;
        EXPECT_EQ(Title(), std::string("qv_dlg_") + c.name) << c.name;
        EXPECT_EQ(Path(), path) << c.name;
        ExpectFlatDriver(c.name);
        EXPECT_EQ(Driver().Efficiency, 90.0f) << c.name;
    }
}

TEST_F(OutputPortDialog, BrowseCancelledChangesNothing) {
    shell::CopyTextSlot(shell::WorkingNetwork.ElementFilePaths[element_], "/keep/me.wfr");
    platform::testing::ScriptFileDialogAnswers({""});
    const auto result = Run([](HWND d) {
        Click(d, kBrowseButton);
        EXPECT_EQ(Text(d, kDriverPathEdit), "/keep/me.wfr");
        Click(d, platform::IDOK);
    });
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(Path(), "/keep/me.wfr");
    EXPECT_EQ(Title(), kNoFileLoadedTitle);
    ExpectFlatDriver("cancelled");
}

// Finite values out of what a driver can hold get their defaults, and the dialog says so once.
TEST_F(OutputPortDialog, DriverValuesOutOfRangeGetDefaultsAndOneMessage) {
    auto record = MakeDriver("1e30");  // an efficiency no driver has
    record->Spl[5] = 3.4e38f;
    record->HbtReal[7] = -1e20f;
    record->HbtImag[8] = 2e5f;
    record->Phase[9] = 1e9f;
    const std::string path = TempPath("wild.wfr");
    WriteDriverFile(path, *record, shell::kDriverRecordBytes);
    platform::testing::ClearMessageBoxLog();
    platform::testing::ScriptFileDialogAnswers({path});
    Run([](HWND d) {
        Click(d, kBrowseButton);
        Click(d, platform::IDOK);
    });
    EXPECT_EQ(Driver().Spl[5], 90.0f);
    EXPECT_EQ(Driver().Real[7], 1.0f);
    EXPECT_EQ(Driver().Imag[8], 0.0f);
    EXPECT_EQ(Driver().Phase[9], 0.0f);
    EXPECT_EQ(Driver().Efficiency, 90.0f);
    EXPECT_EQ(Driver().Spl[6], record->Spl[6]) << "sound values are kept";
    const auto messages = Messages();
    ASSERT_EQ(messages.size(), 1u);
    for (const char* named :
         {"driver SPL", "driver phase", "driver response (2 values)", "driver efficiency"}) {
        EXPECT_NE(messages[0].find(named), std::string::npos) << named << " in " << messages[0];
    }
}

// The efficiency field is 11 characters; a text that fills it is read no further than the field.
TEST_F(OutputPortDialog, EfficiencyTextIsBoundedByItsField) {
    auto record = MakeDriver("00000000087");    // fills the field, no terminator
    std::memcpy(record->Texts0458[0], "5", 1);  // the next field's text follows at once
    const std::string path = TempPath("bounded.wfr");
    WriteDriverFile(path, *record, shell::kDriverRecordBytes);
    platform::testing::ScriptFileDialogAnswers({path});
    shell::ScratchDriverRecord = nullptr;  // without the start-up blocks the dialog reads as well
    Run([](HWND d) {
        Click(d, kBrowseButton);
        Click(d, platform::IDOK);
    });
    EXPECT_EQ(Driver().Efficiency, 87.0f);
    EXPECT_EQ(Driver().Spl[1999], record->Spl[1999]);
}

TEST_F(OutputPortDialog, ClearLoadedDriver) {
    const auto record = MakeDriver("85");
    const std::string path = TempPath("clear.wfr");
    WriteDriverFile(path, *record, shell::kDriverRecordBytes);
    platform::testing::ScriptFileDialogAnswers({path});
    const auto result = Run([&](HWND d) {
        Click(d, kBrowseButton);
        ASSERT_EQ(Driver().Spl[10], record->Spl[10]);
        for (auto& point : shell::WorkingNetwork.ElementTransfer[1]) point = {3.0f, 4.0f};
        for (auto& point : solver::MinimumPhaseResult) point = {5.0f, 6.0f};
        Click(d, kClearDriverButton);
        EXPECT_EQ(Text(d, kDriverPathEdit), "");
        Click(d, platform::IDCANCEL);
    });
    EXPECT_EQ(result, 2);
    ExpectFlatDriver("cleared");
    EXPECT_EQ(Driver().Efficiency, 85.0f);  // the efficiency keeps its value
    EXPECT_EQ(Title(), "No File Loaded");
    EXPECT_EQ(Path(), "");
    EXPECT_EQ(std::string(OutputPortDriverPath), "");
    for (int k = 0; k < shell::kGridPoints; ++k) {
        ASSERT_EQ(shell::WorkingNetwork.ElementTransfer[element_][k].re, 1.0f) << k;
        ASSERT_EQ(shell::WorkingNetwork.ElementTransfer[element_][k].im, 0.0f) << k;
        ASSERT_EQ(solver::MinimumPhaseResult[k].re, 1.0f) << k;
        ASSERT_EQ(solver::MinimumPhaseResult[k].im, 0.0f) << k;
    }
}

// Every message of Done in its order, with the dialog open after each refusal.
TEST_F(OutputPortDialog, DoneRefusalsInOrder) {
    shell::PaneStores[2].ElementParams[17][shell::kParamOutputPort] = 9.0f;
    const auto result = Run([this](HWND d) {
        TypeText(d, kOutputGainEdit, "-6");
        TypeText(d, kDelayEdit, "0.25");
        TypeText(d, kInputPortEdit, "0");  // empty slots hold 0: warning, then out of range
        Click(d, platform::IDOK);
        EXPECT_TRUE(platform::IsWindowVisible(d));
        EXPECT_EQ(Text(d, kInputPortEdit), "2");
        EXPECT_EQ(P()[shell::kParamOutputPort], 2.0f);
        EXPECT_EQ(P()[shell::kParamOutputGain], -6.0f);  // stored before the refusal
        EXPECT_EQ(P()[shell::kParamDelay], 0.25f);
        TypeText(d, kInputPortEdit, "17");
        Click(d, platform::IDOK);
        EXPECT_TRUE(platform::IsWindowVisible(d));
        TypeText(d, kInputPortEdit, "9");  // in pane 3's store: warning, accepted
        TypeText(d, kF1Edit, "5");
        Click(d, platform::IDOK);
        EXPECT_TRUE(platform::IsWindowVisible(d));
        EXPECT_EQ(Text(d, kF1Edit), "10.00");
        EXPECT_EQ(P()[shell::kParamOutputPort], 9.0f);
        Click(d, platform::IDOK);  // the port is no longer new: no second warning
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(Messages(), (std::vector<std::string>{kOutputPortAllocatedText, kOutputPortRangeText,
                                                    kOutputPortRangeText, kOutputPortAllocatedText,
                                                    kEqBandRangeText}));
    EXPECT_EQ(P()[shell::kParamOutputPort], 9.0f);
    EXPECT_EQ(P()[shell::kParamF1], 10.0f);
}

TEST_F(OutputPortDialog, DuplicateSearchCoversPanes1To6Only) {
    struct Case {
        int pane;
        int slot;
        float held;  // the output-port field of that slot
        const char* typed;
        bool warned;
        float stored;
    };
    const Case cases[] = {
        {1, 0, 5.0f, "5", true, 5.0f},
        {6, 63, 5.0f, "5", true, 5.0f},
        {7, 3, 5.0f, "5", false, 5.0f},  // pane 7 is not searched
        {4, 8, 5.9f, "5.9", true, 5.9f},
        {1, 0, 2.5f, "2.5", false, 2.5f},  // same integer part as the shown "2": no search
        {2, 5, 11.0f, "12", false, 12.0f},
    };
    for (const Case& c : cases) {
        ClearAllPaneStores();
        shell::PaneStores[c.pane - 1].ElementParams[c.slot][shell::kParamOutputPort] = c.held;
        P()[shell::kParamOutputPort] = 2.0f;
        platform::testing::ClearMessageBoxLog();
        const auto result = Run([&](HWND d) {
            TypeText(d, kInputPortEdit, c.typed);
            Click(d, platform::IDOK);
        });
        EXPECT_EQ(result, 1) << c.pane << " " << c.typed;
        EXPECT_EQ(P()[shell::kParamOutputPort], c.stored) << c.pane << " " << c.typed;
        const std::vector<std::string> want =
            c.warned ? std::vector<std::string>{kOutputPortAllocatedText}
                     : std::vector<std::string>{};
        EXPECT_EQ(Messages(), want) << c.pane << " " << c.typed;
    }
}

TEST_F(OutputPortDialog, BandClamping) {
    struct Case {
        const char* f1;
        const char* f2;
        bool refused;
        float f1_stored;
        float f2_stored;
        const char* f1_shown;
        const char* f2_shown;
    };
    const Case cases[] = {
        {"5", "1000", true, 10, 1000, "10.00", "1000.00"},
        {"50000", "1000", true, 40000, 1000, "40000.00", "1000.00"},
        {"100", "5", true, 100, 40000, "100.00", "40000.00"},
        {"100", "50000", true, 100, 40000, "100.00", "40000.00"},
        {"5", "5", true, 10, 40000, "10.00", "40000.00"},
        {"2000", "1000", false, 2000, 1000, nullptr, nullptr},
        {"10", "40000", false, 10, 40000, nullptr, nullptr},
    };
    for (const Case& c : cases) {
        P()[shell::kParamF1] = 100.0f;
        P()[shell::kParamF2] = 10000.0f;
        platform::testing::ClearMessageBoxLog();
        bool open = false;
        const auto result = Run([&](HWND d) {
            TypeText(d, kF1Edit, c.f1);
            TypeText(d, kF2Edit, c.f2);
            Click(d, platform::IDOK);
            open = platform::IsWindowVisible(d) != 0;
            if (!open) return;
            EXPECT_EQ(Text(d, kF1Edit), c.f1_shown) << c.f1 << " " << c.f2;
            EXPECT_EQ(Text(d, kF2Edit), c.f2_shown) << c.f1 << " " << c.f2;
            platform::EndDialog(d, 7);
        });
        EXPECT_EQ(open, c.refused) << c.f1 << " " << c.f2;
        EXPECT_EQ(result, c.refused ? 7 : 1) << c.f1 << " " << c.f2;
        EXPECT_EQ(P()[shell::kParamF1], c.f1_stored) << c.f1 << " " << c.f2;
        EXPECT_EQ(P()[shell::kParamF2], c.f2_stored) << c.f1 << " " << c.f2;
        const std::vector<std::string> want =
            c.refused ? std::vector<std::string>{kEqBandRangeText} : std::vector<std::string>{};
        EXPECT_EQ(Messages(), want) << c.f1 << " " << c.f2;
    }
}

TEST_F(OutputPortDialog, CancelAfterRefusedDoneRestoresPortDelayAndGain) {
    float* p = P();
    p[shell::kParamOutputPort] = 5.0f;
    p[shell::kParamDelay] = 0.125f;
    p[shell::kParamOutputGain] = -1.234567f;
    const auto result = Run([this](HWND d) {
        TypeText(d, kOutputGainEdit, "4");
        TypeText(d, kDelayEdit, "3");
        TypeText(d, kInputPortEdit, "8");
        TypeText(d, kF2Edit, "90000");
        Click(d, platform::IDOK);  // port 8 accepted, band refused
        EXPECT_TRUE(platform::IsWindowVisible(d));
        EXPECT_EQ(P()[shell::kParamOutputPort], 8.0f);
        EXPECT_EQ(P()[shell::kParamDelay], 3.0f);
        EXPECT_EQ(P()[shell::kParamOutputGain], 4.0f);
        TypeText(d, kInputPortEdit, "99");
        Click(d, platform::IDOK);  // port refused
        Click(d, platform::IDCANCEL);
    });
    EXPECT_EQ(result, 2);
    EXPECT_EQ(P()[shell::kParamOutputPort], 5.0f);
    EXPECT_EQ(P()[shell::kParamDelay], 0.125f);
    EXPECT_EQ(P()[shell::kParamOutputGain], -1.234567f);
    EXPECT_EQ(P()[shell::kParamF1], 100.0f);
    EXPECT_EQ(P()[shell::kParamF2], 10000.0f);
}

TEST_F(OutputPortDialog, DoneStoresTheInverseOfTheMinimumPhaseResponse) {
    // A driver response that is not flat, so that the correction is not 1.
    for (int k = 0; k < shell::kGridPoints; ++k) {
        Driver().Real[k] = static_cast<float>(0.8 + 0.0003 * k);
        Driver().Imag[k] = static_cast<float>(0.4 - 0.0002 * k);
    }
    for (auto& point : solver::MinimumPhaseResult) point = {7.0f, 7.0f};
    const auto result = Run([](HWND d) {
        TypeText(d, kOutputGainEdit, "-3.5");
        TypeText(d, kDelayEdit, "0.5");
        Click(d, platform::IDOK);
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(P()[shell::kParamOutputGain], -3.5f);
    EXPECT_EQ(P()[shell::kParamDelay], 0.5f);
    // The response Done inverted is the solver's correction of this element, run again here.
    const std::vector<shell::ComplexPoint> h(solver::MinimumPhaseResult,
                                             solver::MinimumPhaseResult + shell::kGridPoints);
    for (auto& point : solver::MinimumPhaseResult) point = {7.0f, 7.0f};
    ASSERT_EQ(solver::CalculateOutputHilbertBode(element_), 0);
    bool corrected = false;
    for (int k = 0; k < shell::kGridPoints; ++k) {
        ASSERT_EQ(h[k].re, solver::MinimumPhaseResult[k].re) << k;
        ASSERT_EQ(h[k].im, solver::MinimumPhaseResult[k].im) << k;
        corrected = corrected || h[k].re != 1.0f || h[k].im != 0.0f;
        const std::complex<double> want = 1.0 / std::complex<double>(h[k].re, h[k].im);
        const shell::ComplexPoint got = shell::WorkingNetwork.ElementTransfer[element_][k];
        ASSERT_NEAR(got.re, want.real(), 1e-5 * std::abs(want)) << k;
        ASSERT_NEAR(got.im, want.imag(), 1e-5 * std::abs(want)) << k;
    }
    EXPECT_TRUE(corrected) << "the driver's response gives a correction";
}

TEST_F(OutputPortDialog, DoneOnAFlatDriverGivesAFlatTransferCurve) {
    for (auto& point : shell::WorkingNetwork.ElementTransfer[element_]) point = {2.0f, 2.0f};
    EXPECT_EQ(Run([](HWND d) { Click(d, platform::IDOK); }), 1);
    for (const auto& point : shell::WorkingNetwork.ElementTransfer[element_]) {
        ASSERT_EQ(point.re, 1.0f);
        ASSERT_EQ(point.im, 0.0f);
    }
}

// Done keeps the element's own path: the last Browse of another port does not replace it.
TEST_F(OutputPortDialog, DoneKeepsTheElementsOwnPath) {
    const auto record = MakeDriver("90");
    const std::string other = TempPath("other_port.wfr");
    WriteDriverFile(other, *record, shell::kDriverRecordBytes);
    // Another output port browses first.
    const int other_port =
        AppendElement(shell::WorkingNetwork, HWND{}, shell::kElementOutputPort, 100, 40, 100, 80);
    shell::WorkingNetwork.ElementParams[other_port][shell::kParamOutputPort] = 6.0f;
    SelectedElement = other_port;
    platform::testing::ScriptFileDialogAnswers({other});
    Run([](HWND d) {
        Click(d, kBrowseButton);
        Click(d, platform::IDOK);
    });
    ASSERT_EQ(std::string(OutputPortDriverPath), other);
    // This port's path was typed.
    SelectedElement = element_;
    Run([](HWND d) {
        TypeText(d, kDriverPathEdit, "/own/path/mid.mrd");
        Click(d, platform::IDOK);
    });
    EXPECT_EQ(Path(), "/own/path/mid.mrd");
    // Opening and Done again keep it.
    Run([](HWND d) { Click(d, platform::IDOK); });
    EXPECT_EQ(Path(), "/own/path/mid.mrd");
    EXPECT_EQ(std::string(shell::WorkingNetwork.ElementFilePaths[other_port]), other);
}

TEST_F(OutputPortDialog, CloseBoxEndsWithDoneWithoutReadingTheEdits) {
    const auto result = Run([](HWND d) {
        TypeText(d, kOutputGainEdit, "9");
        TypeText(d, kDelayEdit, "2");
        TypeText(d, kInputPortEdit, "7");
        Click(d, kReversePhaseCheck);
        platform::testing::CloseBox(d);
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(P()[shell::kParamOutputGain], 0.0f);
    EXPECT_EQ(P()[shell::kParamDelay], 0.0f);
    EXPECT_EQ(P()[shell::kParamOutputPort], 7.0f);  // the port followed the typing
    EXPECT_EQ(P()[shell::kParamPolarity], -1.0f);
}

// The close box never leaves a port that Done would refuse: the port Done would put back (the
// one shown at opening, or the last one Done accepted) comes back instead.
TEST_F(OutputPortDialog, CloseBoxPutsBackAPortDoneWouldRefuse) {
    struct Case {
        const char* typed;
        float port;
    };
    const Case cases[] = {{"16", 16.0f}, {"1", 1.0f},    {"99", 2.0f},  {"0", 2.0f},
                          {"-4", 2.0f},  {"16.5", 2.0f}, {"abc", 2.0f}, {"9x", 9.0f}};
    for (const Case& c : cases) {
        P()[shell::kParamOutputPort] = 2.0f;
        const auto result = Run([&c](HWND d) {
            TypeText(d, kInputPortEdit, c.typed);
            platform::testing::CloseBox(d);
        });
        EXPECT_EQ(result, 1) << c.typed;
        EXPECT_EQ(P()[shell::kParamOutputPort], c.port) << c.typed;
    }
    // After a Done that accepted 5 and stopped at the band, a refused 40 gives 5 back.
    P()[shell::kParamF1] = 5.0f;
    Run([](HWND d) {
        TypeText(d, kInputPortEdit, "5");
        TypeText(d, kF1Edit, "5");
        Click(d, platform::IDOK);
        TypeText(d, kInputPortEdit, "40");
        platform::testing::CloseBox(d);
    });
    EXPECT_EQ(P()[shell::kParamOutputPort], 5.0f);
}

}  // namespace
}  // namespace network

// Whatever a person leaves in an element dialog (Done, Cancel, the close box, typed edge values)
// is saved with the project and opened again as the same network, byte for byte: the program
// never writes a project it then refuses to open.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "network/EditorState.h"
#include "network/ElementDialogs.h"
#include "network/PaneDrawing.h"
#include "network/Templates.h"
#include "network/WorkingNetwork.h"
#include "platform/testing/Dialogs.h"
#include "platform/testing/Input.h"
#include "platform/testing/MessageBoxLog.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Window.h"
#include "shell/FrequencyGrid.h"
#include "shell/Globals.h"
#include "shell/NetworkTables.h"
#include "shell/ProjectImage.h"
#include "solver/OutputPortDialog.h"
#include "tests/network/DialogTestSupport.h"

namespace network {
namespace {

using namespace solver;
using platform::HWND;
namespace pt = platform::testing;

// Slots of the 3-way template: the input node, the first filter and the three output ports.
constexpr int kInputSlot = 0;
constexpr int kFilterSlot = 1;
constexpr int kPortSlot = 6;

enum class Act { Type, Select, Click, CloseBox };
struct Step {
    Act act;
    int id;
    const char* text;  // Type
    int index;         // Select
};
Step Type(int id, const char* text) { return {Act::Type, id, text, 0}; }
Step Select(int id, int index) { return {Act::Select, id, nullptr, index}; }
Step Done() { return {Act::Click, platform::IDOK, nullptr, 0}; }
Step Cancel() { return {Act::Click, platform::IDCANCEL, nullptr, 0}; }
Step Close() { return {Act::CloseBox, 0, nullptr, 0}; }

struct RoundTripCase {
    const char* name;
    const char* dialog;  // template name
    int slot;
    std::vector<Step> steps;
};
void PrintTo(const RoundTripCase& c, std::ostream* os) { *os << c.name; }

class ElementDialogRoundTrip : public ::testing::TestWithParam<RoundTripCase> {
  protected:
    void SetUp() override {
        test::FreshElementDialogs();
        solver::ResetOutputPortDialog();
        shell::BuildFrequencyGrids(3, 6);  // the output port's Done corrects on the extended grid
        dir_ = std::filesystem::path(::testing::TempDir()) /
               ("qv_dialog_roundtrip_" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir_);
        ClearWorkingNetwork();
        Build3WayTemplate();
        float(*p)[16] = shell::WorkingNetwork.ElementParams;
        p[kInputSlot][shell::kParamInputPort] = 1.0f;
        p[6][shell::kParamOutputPort] = 2.0f;
        p[9][shell::kParamOutputPort] = 3.0f;
        p[12][shell::kParamOutputPort] = 1.0f;
        p[kFilterSlot][shell::kParamFamily] = 1.0f;
        p[kFilterSlot][shell::kParamSlope] = 1.0f;
        ActivePane = 1;
        SavePaneStore(1);
    }
    void TearDown() override {
        solver::ResetOutputPortDialog();
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }

    // Opens the dialog on the case's element, plays its steps while the dialog is open (and
    // cancels one that is still open at the end), then saves the pane as the pane does.
    void RunDialog(const RoundTripCase& c) {
        platform::DLGPROC proc =
            c.dialog == std::string("EnterOutputPort")  ? &solver::EnterOutputPortDlgProc
            : c.dialog == std::string("EnterInputPort") ? &EnterInputPortDlgProc
                                                        : &EnterBehringerDlgProc;
        ASSERT_NE(proc, nullptr);
        SelectedElement = c.slot;
        pt::OnModalDialog(c.dialog, [&c](HWND d) {
            for (const Step& step : c.steps) {
                if (!platform::IsWindowVisible(d)) return;
                switch (step.act) {
                    case Act::Type:
                        pt::TypeText(d, step.id, step.text);
                        break;
                    case Act::Select:
                        pt::Select(d, step.id, step.index);
                        break;
                    case Act::Click:
                        pt::Click(d, step.id);
                        break;
                    case Act::CloseBox:
                        pt::CloseBox(d);
                        break;
                }
            }
            if (platform::IsWindowVisible(d)) pt::Click(d, platform::IDCANCEL);
        });
        platform::DialogBox(platform::HINSTANCE{}, c.dialog, HWND{}, proc);
        SavePaneStore(1);
    }

    std::filesystem::path dir_;
};

TEST_P(ElementDialogRoundTrip, SaveThenOpenGivesTheSameNetwork) {
    RunDialog(GetParam());
    auto before = std::make_unique<shell::PaneStore[]>(shell::kPaneCount);
    std::memcpy(before.get(), shell::PaneStores, sizeof shell::PaneStores);
    const std::string path = (dir_ / "dialogs.hif").string();
    pt::ClearMessageBoxLog();
    ASSERT_EQ(shell::WriteProjectFile(HWND{}, path.c_str()), 1);
    ClearAllPaneStores();
    ASSERT_EQ(shell::ReadProjectFile(HWND{}, path.c_str()), 1)
        << "the saved project is refused; output port "
        << before[0].ElementParams[kPortSlot][shell::kParamOutputPort] << ", input port "
        << before[0].ElementParams[kInputSlot][shell::kParamInputPort];
    EXPECT_TRUE(pt::MessageBoxLog().empty());
    for (int k = 0; k < shell::kPaneCount; ++k) {
        before[k].ToolMode = shell::PaneStores[k].ToolMode;  // not part of the file
        EXPECT_EQ(std::memcmp(&before[k], &shell::PaneStores[k], sizeof(shell::PaneStore)), 0)
            << "pane " << k + 1 << " differs after Save and Open";
    }
}

const RoundTripCase kCases[] = {
    // The output-port dialog: the port follows the typing, whatever ends the dialog.
    {"PortTypedThenCloseBox", "EnterOutputPort", kPortSlot, {Type(kInputPortEdit, "99"), Close()}},
    {"PortZeroThenCloseBox", "EnterOutputPort", kPortSlot, {Type(kInputPortEdit, "0"), Close()}},
    {"PortNegativeThenCloseBox",
     "EnterOutputPort",
     kPortSlot,
     {Type(kInputPortEdit, "-3"), Close()}},
    {"PortFractionAboveSixteenThenCloseBox",
     "EnterOutputPort",
     kPortSlot,
     {Type(kInputPortEdit, "16.5"), Close()}},
    {"PortHugeThenCloseBox", "EnterOutputPort", kPortSlot, {Type(kInputPortEdit, "9e9"), Close()}},
    {"PortNotANumberThenCloseBox",
     "EnterOutputPort",
     kPortSlot,
     {Type(kInputPortEdit, "nan"), Close()}},
    {"PortRefusedByDoneThenCloseBox",
     "EnterOutputPort",
     kPortSlot,
     {Type(kInputPortEdit, "17"), Done(), Type(kInputPortEdit, "40"), Close()}},
    {"PortRefusedByDoneThenCancel",
     "EnterOutputPort",
     kPortSlot,
     {Type(kInputPortEdit, "0.5"), Done(), Cancel()}},
    {"PortSixteenDone", "EnterOutputPort", kPortSlot, {Type(kInputPortEdit, "16"), Done()}},
    {"PortOneWithUnitDone", "EnterOutputPort", kPortSlot, {Type(kInputPortEdit, "1x"), Done()}},
    {"PortValidThenCloseBox", "EnterOutputPort", kPortSlot, {Type(kInputPortEdit, "12"), Close()}},
    {"BandRefusedThenCloseBox",
     "EnterOutputPort",
     kPortSlot,
     {Type(kF1Edit, "5"), Type(kF2Edit, "90000"), Done(), Close()}},
    {"ExtremeDelayAndGainDone",
     "EnterOutputPort",
     kPortSlot,
     {Type(kDelayEdit, "3.4e38"), Type(kOutputGainEdit, "-3.4e38"), Done()}},
    {"DelayAndGainNotNumbersDone",
     "EnterOutputPort",
     kPortSlot,
     {Type(kDelayEdit, "inf"), Type(kOutputGainEdit, "1e39"), Done()}},
    {"ChecksThenCancel",
     "EnterOutputPort",
     kPortSlot,
     {Step{Act::Click, kReversePhaseCheck, nullptr, 0},
      Step{Act::Click, kPlotFlagCheck, nullptr, 0}, Type(kInputPortEdit, "77"), Cancel()}},
    // The input-node dialog.
    {"InputNineDoneThenCloseBox",
     "EnterInputPort",
     kInputSlot,
     {Type(kInputPortEdit, "9"), Done(), Close()}},
    {"InputZeroDoneThenCancel",
     "EnterInputPort",
     kInputSlot,
     {Type(kInputPortEdit, "0"), Done(), Cancel()}},
    {"InputFractionDone",
     "EnterInputPort",
     kInputSlot,
     {Type(kInputPortEdit, "8.5"), Done(), Type(kInputPortEdit, "8"), Done()}},
    {"InputTypedThenCloseBox", "EnterInputPort", kInputSlot, {Type(kInputPortEdit, "99"), Close()}},
    // The filter dialog.
    {"FilterOutOfRangeThenCloseBox",
     "EnterBehringer",
     kFilterSlot,
     {Type(kFoEdit, "1e39"), Type(kFilterGainEdit, "-3e38"), Type(kRqEdit, "nan"), Done(),
      Close()}},
    {"LinkwitzRefusedSlopeThenCloseBox",
     "EnterBehringer",
     kFilterSlot,
     {Select(kFamilyList, 2), Select(kSlopeList, 0), Done(), Close()}},
    {"KeeleReplacedRDone",
     "EnterBehringer",
     kFilterSlot,
     {Select(kFamilyList, 10), Type(kRqEdit, "0"), Done(), Done()}},
    {"EdgeValuesDone",
     "EnterBehringer",
     kFilterSlot,
     {Select(kFamilyList, 3), Type(kFoEdit, "10000Hz"), Type(kFilterGainEdit, "-3.4e38"),
      Type(kRqEdit, "1000"), Step{Act::Click, kBypassCheck, nullptr, 0}, Done()}},
    // What the dialogs store as typed, at the ends of what they accept.
    {"PortGainDelayAndBandAtTheirEndsDone",
     "EnterOutputPort",
     kPortSlot,
     {Type(kOutputGainEdit, "500"), Type(kDelayEdit, "10000"), Type(kF1Edit, "10"),
      Type(kF2Edit, "40000"), Done()}},
    {"PortLowestGainAndNegativeDelayDone",
     "EnterOutputPort",
     kPortSlot,
     {Type(kOutputGainEdit, "-3.4e38"), Type(kDelayEdit, "-10000"), Type(kF1Edit, "40000"),
      Type(kF2Edit, "10"), Done()}},
    {"PortGainAboveTheComputableCeilingThenDone",
     "EnterOutputPort",
     kPortSlot,
     {Type(kOutputGainEdit, "3e38"), Done(), Done()}},
    {"QParametricFoZeroDone",
     "EnterBehringer",
     kFilterSlot,
     {Select(kFamilyList, 3), Type(kFoEdit, "0"), Type(kFilterGainEdit, "6"), Type(kRqEdit, "2"),
      Done()}},
    {"QParametricFoEmptyDone",
     "EnterBehringer",
     kFilterSlot,
     {Select(kFamilyList, 3), Type(kFoEdit, ""), Type(kFilterGainEdit, "-300"), Done()}},
    {"FilterLowestComputableGainDone",
     "EnterBehringer",
     kFilterSlot,
     {Select(kFamilyList, 5), Type(kFoEdit, "-3.4e38"), Type(kFilterGainEdit, "-10000"),
      Type(kRqEdit, "-3.4e38"), Done()}},
};

// Every family with every slope, at the lowest frequency and gain Done accepts for it (the
// Butterworth, Bessel and Linkwitz sections refuse below 20 Hz; the Keele families keep their R).
std::vector<RoundTripCase> EveryFamilyCases() {
    static std::vector<std::string> names;
    std::vector<RoundTripCase> cases;
    names.reserve(kFilterFamilyNames * kFilterSlopeNames);
    for (int family = 0; family < kFilterFamilyNames; ++family) {
        for (int slope = 0; slope < kFilterSlopeNames; ++slope) {
            names.push_back("Family" + std::to_string(family) + "Slope" + std::to_string(slope));
            const char* fo = family <= 2 ? "20" : "-3.4e38";
            const char* rq = family == 8 || family == 9 ? "4" : family >= 10 ? "1.1" : "1000";
            cases.push_back(
                {names.back().c_str(),
                 "EnterBehringer",
                 kFilterSlot,
                 {Select(kFamilyList, family), Select(kSlopeList, slope), Type(kFoEdit, fo),
                  Type(kFilterGainEdit, "-10000"), Type(kRqEdit, rq), Done()}});
        }
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Dialogs, ElementDialogRoundTrip, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<RoundTripCase>& param_info) {
                             return std::string(param_info.param.name);
                         });
INSTANTIATE_TEST_SUITE_P(EveryFilter, ElementDialogRoundTrip,
                         ::testing::ValuesIn(EveryFamilyCases()),
                         [](const ::testing::TestParamInfo<RoundTripCase>& param_info) {
                             return std::string(param_info.param.name);
                         });

// Done stores what was typed, and only a value the solver cannot compute is bounded, with a
// message that says so; the dialog then stays open.
TEST_F(ElementDialogRoundTrip, DoneStoresTypedValuesAndBoundsOnlyWhatCannotBeComputed) {
    struct Case {
        const char* dialog;
        int slot;
        int edit;
        const char* typed;
        int param;
        float stored;
        const char* message;  // nullptr: none, and Done closes the dialog
    };
    const Case cases[] = {
        {"EnterBehringer", kFilterSlot, kFilterGainEdit, "-300", shell::kParamGain, -300.0f,
         nullptr},
        {"EnterBehringer", kFilterSlot, kFilterGainEdit, "150", shell::kParamGain, 100.0f, nullptr},
        {"EnterBehringer", kFilterSlot, kFilterGainEdit, "-20000", shell::kParamGain, -10000.0f,
         kFilterGainFloorText},
        {"EnterBehringer", kFilterSlot, kFoEdit, "0", shell::kParamFo, 0.0f, nullptr},
        {"EnterOutputPort", kPortSlot, kOutputGainEdit, "500", shell::kParamOutputGain, 500.0f,
         nullptr},
        {"EnterOutputPort", kPortSlot, kOutputGainEdit, "500.001", shell::kParamOutputGain, 500.0f,
         kOutputGainCeilingText},
        {"EnterOutputPort", kPortSlot, kDelayEdit, "99999", shell::kParamDelay, 10000.0f,
         kDelayCeilingText},
        {"EnterOutputPort", kPortSlot, kDelayEdit, "10000", shell::kParamDelay, 10000.0f, nullptr},
        {"EnterOutputPort", kPortSlot, kDelayEdit, "-10000.1", shell::kParamDelay, -10000.0f,
         kDelayFloorText},
    };
    for (const Case& c : cases) {
        SetUp();
        // Q-Parametric: any frequency up to 10 kHz passes.
        shell::WorkingNetwork.ElementParams[kFilterSlot][shell::kParamFamily] = 3.0f;
        pt::ClearMessageBoxLog();
        bool open_after_done = false;
        float after_done = 0.0f;
        SelectedElement = c.slot;
        pt::OnModalDialog(c.dialog, [&](HWND d) {
            pt::TypeText(d, c.edit, c.typed);
            pt::Click(d, platform::IDOK);
            after_done = shell::WorkingNetwork.ElementParams[c.slot][c.param];
            open_after_done = platform::IsWindowVisible(d);
            if (open_after_done) pt::Click(d, platform::IDCANCEL);
        });
        platform::DLGPROC proc = c.dialog == std::string("EnterOutputPort")
                                     ? &solver::EnterOutputPortDlgProc
                                     : &EnterBehringerDlgProc;
        platform::DialogBox(platform::HINSTANCE{}, c.dialog, HWND{}, proc);
        EXPECT_EQ(open_after_done, c.message != nullptr) << c.typed;
        EXPECT_EQ(after_done, c.stored) << c.typed;
        if (c.message == nullptr) {
            EXPECT_TRUE(pt::MessageBoxLog().empty()) << c.typed;
        } else {
            ASSERT_EQ(pt::MessageBoxLog().size(), 1u) << c.typed;
            EXPECT_EQ(pt::MessageBoxLog()[0].text, c.message);
        }
        TearDown();
    }
}

}  // namespace
}  // namespace network

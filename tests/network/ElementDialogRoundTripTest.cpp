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

#include "DialogTestSupport.h"
#include "network/EditorState.h"
#include "network/ElementDialogs.h"
#include "network/OutputPortDialog.h"
#include "network/PaneDrawing.h"
#include "network/Templates.h"
#include "network/WorkingNetwork.h"
#include "platform/testing/Dialogs.h"
#include "platform/testing/Input.h"
#include "platform/testing/MessageBoxLog.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Window.h"
#include "shell/Globals.h"
#include "shell/NetworkTables.h"
#include "shell/ProjectImage.h"

namespace network {
namespace {

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
        ResetOutputPortDialog(true);
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
        ResetOutputPortDialog(true);
        test::ForgetElementDialogs();
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }

    // Opens the dialog on the case's element, plays its steps while the dialog is open (and
    // cancels one that is still open at the end), then saves the pane as the pane does.
    void RunDialog(const RoundTripCase& c) {
        platform::DLGPROC proc = c.dialog == std::string("EnterOutputPort")  ? OutputPortDialogProc
                                 : c.dialog == std::string("EnterInputPort") ? InputNodeDialogProc
                                                                             : FilterDialogProc;
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
};

INSTANTIATE_TEST_SUITE_P(Dialogs, ElementDialogRoundTrip, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<RoundTripCase>& param_info) {
                             return std::string(param_info.param.name);
                         });

}  // namespace
}  // namespace network

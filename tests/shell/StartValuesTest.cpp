// shell::ResetGlobals gives every variable of the shell back the value it held when the program
// started, whatever the tests before it changed: shuffled runs depend on it.
#include <gtest/gtest.h>

#include "shell/ComplexFft.h"
#include "shell/FrameGlobals.h"
#include "shell/FrequencyGrid.h"
#include "shell/Globals.h"
#include "shell/NetworkTables.h"
#include "shell/PreferencesRecord.h"
#include "tests/StartValues.h"

namespace shell {
namespace {

const qvtest::StartBytes& kStart = qvtest::KeepStartBytes({
    // Globals
    QV_STATE(AppInstance),
    QV_STATE(FrameWindow),
    QV_STATE(MdiClientWindow),
    QV_STATE(MainMenu),
    QV_STATE(FileMenu),
    QV_STATE(FrameClientWidth),
    QV_STATE(FrameClientHeight),
    QV_STATE(ProgramDirectory),
    QV_STATE(ScratchPath),
    QV_STATE(AudioBusy),
    QV_STATE(ModalDialogOpen),
    QV_STATE(SubwooferMode),
    QV_STATE(WideWindow),
    QV_STATE(InputLayout),
    QV_STATE(OutputLayout),
    QV_STATE(PlayerDeviceWords),
    QV_STATE(BlockFrames),
    QV_STATE(BlockFrames2),
    QV_STATE(BlockFrames4),
    QV_STATE(PrintoutSettings),
    QV_STATE(FileWriteFaultAfterBytes),
    // The preferences' variables
    QV_STATE(PlotStartFrequencyIndex),
    QV_STATE(PlotStopFrequencyIndex),
    QV_STATE(PlotFamilyFlags),
    QV_STATE(CurveItemSelectFlags),
    QV_STATE(CurveColourScheme),
    QV_STATE(WindowPlacements),
    QV_STATE(MlsDataSign),
    QV_STATE(MlsRefSign),
    QV_STATE(ReservedTexts026C),
    QV_STATE(MlsOutputDelayText),
    QV_STATE(SpeedOfSoundText),
    QV_STATE(ReservedText0298),
    QV_STATE(Mls),
    // Units with state of their own
    QV_STATE(FftUseWideVectors),
    QV_STATE(FftUsePreparedTwiddles),
    QV_STATE(FrequencyGrid),
    QV_STATE(ExtendedFrequencyGrid),
    QV_STATE(WorkingNetwork),
    QV_STATE(PaneStores),
    QV_STATE(PaneToolModes),
    // The frame's windows and file names (its title is set when the program starts)
    QV_STATE(ComponentCADSelectionDialog),
    QV_STATE(SplPlottingWindow),
    QV_STATE(SplitterWindow),
    QV_STATE(Splitter1Window),
    QV_STATE(Splitter2Window),
    QV_STATE(Splitter3Window),
    QV_STATE(PreferencesChildWindow),
    QV_STATE(PenColourChildWindow),
    QV_STATE(EditorChildWindow),
    QV_STATE(TransferFunctionDialog),
    QV_STATE(DiffractionChildWindow),
    QV_STATE(DiffractionCalculatorDialog),
    QV_STATE(MlsControlDialog),
    QV_STATE(MlsImpChildWindow),
    QV_STATE(MlsSplChildWindow),
    QV_STATE(AppIcon),
    QV_STATE(ScreenWidth),
    QV_STATE(WorkAreaBottom),
    QV_STATE(SplPlotWidth),
    QV_STATE(SplPlotHeight),
    QV_STATE(ProjectFileName),
    QV_STATE(ProjectFilePath),
    QV_STATE(ProjectFileTitle),
    QV_STATE(DriverFilePath),
    QV_STATE(DriverFileTitle),
    QV_STATE(ImportFilePaths),
    QV_STATE(ImportFileTitles),
    QV_STATE(ExportFilePath),
    QV_STATE(ExportFileTitle),
});

TEST(ShellStartValues, ResetGivesBackEveryStartValue) {
    ASSERT_TRUE(kStart.Kept());
    kStart.Scramble();
    ResetGlobals();
    EXPECT_EQ(kStart.Changed(), "") << "variables the reset leaves as a test left them";
}

}  // namespace
}  // namespace shell

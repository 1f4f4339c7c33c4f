// The System-Wide Preferences window: its controls, its page, its commands and the wave-device
// lists it shows.
#include "frame/PreferencesWindow.h"

#include <cstdio>
#include <cstring>

#include "frame/ColourEditing.h"
#include "frame/ConfigWindows.h"
#include "frame/FrameCommands.h"
#include "platform/audio/Wave.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Paint.h"
#include "platform/ui/Window.h"
#include "shell/FrameGlobals.h"
#include "shell/Globals.h"
#include "shell/Ids.h"
#include "shell/NumberText.h"
#include "shell/PreferencesRecord.h"
#include "shell/ProjectImage.h"
#include "shell/StartupAllocation.h"

namespace frame {

using namespace shell;

using platform::HDC;
using platform::HWND;
using platform::LPARAM;
using platform::LRESULT;
using platform::UINT;
using platform::WPARAM;

namespace {

const ColourPageLayout& kLayout = kPreferencesColourLayout;

constexpr int kMlsDelayChars = 9;  // MlsOutputDelayText keeps at most 9 characters
constexpr int kHotkeyChars = 7;    // each trim-output text keeps at most 7

// The trim-output edits and the HotkeyOutputTexts index each writes (text n at index n - 1).
struct HotkeyEdit {
    int id;
    int text_index;
    int y;
};
constexpr HotkeyEdit kHotkeyEdits[] = {{kInsertOutput1Edit, 10, 225}, {kInsertOutput2Edit, 11, 250},
                                       {kArrowOutput1Edit, 0, 325},   {kArrowOutput2Edit, 1, 350},
                                       {kArrowOutput3Edit, 2, 375},   {kArrowOutput4Edit, 3, 400}};

// Edits in the order painting gives them the focus (the last one keeps it).
constexpr int kFocusOrder[] = {kMlsDelayEdit,     kInsertOutput1Edit, kInsertOutput2Edit,
                               kArrowOutput1Edit, kArrowOutput2Edit,  kArrowOutput3Edit,
                               kArrowOutput4Edit};

constexpr int kInputBoxes[3] = {kInputs2Box, kInputs8Box, kInputs12Box};
constexpr int kOutputBoxes[3] = {kOutputs8Box, kOutputs16Box, kOutputsSpdifBox};

// Rows of the settings lists (the rest of PreferenceListTexts).
const char* const kSampleRateRows[kSampleRateCount] = {"11025", "12000", "22050", "24000",
                                                       "44100", "48000", "96000", "192000"};
const char* const kBufferSizeRows[3] = {"1024 samples", "2048 samples", "4096 samples"};
const char* const kQueueRows[6] = {"2 Buffers", "3 Buffers", "4 Buffers",
                                   "5 Buffers", "6 Buffers", "7 Buffers"};

constexpr const char* kUnusedDeviceText = "***";

void CreateCheckBox(HWND window, int id, const char* text, int x, int y, int width) {
    CreatePageChild(window, "BUTTON", text, platform::BS_CHECKBOX, x, y, width, 15, id);
}

void CreateEdit(HWND window, int id, const char* text, int x, int y, int width, int limit) {
    CreatePageChild(window, "EDIT", text, platform::WS_BORDER, x, y, width, 20, id);
    platform::SendDlgItemMessage(window, id, platform::EM_LIMITTEXT, static_cast<WPARAM>(limit), 0);
}

// The text of device row d: the start-up table's slot, or `scratch` when the table is missing.
char* DeviceSlot(char (*table)[kDeviceTextSlot], int d, char* scratch) {
    return table != nullptr ? table[d] : scratch;
}

void CreateDeviceList(HWND window, int id, int y, char (*table)[kDeviceTextSlot]) {
    CreatePageList(window, id, 630, y, 300, 90, nullptr, 0);
    for (int d = 0; d < kDeviceTextCount; ++d) {
        char scratch[kDeviceTextSlot];
        std::snprintf(scratch, sizeof scratch, "%s", kUnusedDeviceText);
        const char* text = DeviceSlot(table, d, scratch);
        platform::SendDlgItemMessage(window, id, platform::LB_ADDSTRING, 0,
                                     reinterpret_cast<LPARAM>(text));
    }
}

// Row d of a device list := text.
void ReplaceDeviceRow(HWND window, int id, int d, const char* text) {
    if (!window) return;
    platform::SendDlgItemMessage(window, id, platform::LB_DELETESTRING, static_cast<WPARAM>(d), 0);
    platform::SendDlgItemMessage(window, id, platform::LB_INSERTSTRING, static_cast<WPARAM>(d),
                                 reinterpret_cast<LPARAM>(text));
}

// One direction of the device lists; returns the reported count.
template <class Caps>
int RefreshDirection(HWND window, int list_id, char (*table)[kDeviceTextSlot],
                     UINT (*count_devices)(), platform::MMRESULT (*get_caps)(UINT, Caps*, UINT),
                     const char* failure_format) {
    const UINT reported = count_devices();
    const int listed = reported > static_cast<UINT>(kDeviceTextCount) ? kDeviceTextCount
                                                                      : static_cast<int>(reported);
    for (int d = 0; d < listed; ++d) {
        char scratch[kDeviceTextSlot];
        char* text = DeviceSlot(table, d, scratch);
        Caps caps{};
        if (get_caps(static_cast<UINT>(d), &caps, sizeof caps) == platform::MMSYSERR_NOERROR) {
            caps.szPname[sizeof caps.szPname - 1] = '\0';
            std::snprintf(text, kDeviceTextSlot, "%s, ID: %d, %d", caps.szPname, d,
                          static_cast<int>(caps.wChannels));
        } else {
            std::snprintf(text, kDeviceTextSlot, failure_format, d);
        }
        ReplaceDeviceRow(window, list_id, d, text);
    }
    return reported > 0x7FFFFFFFu ? 0x7FFFFFFF : static_cast<int>(reported);
}

void CheckBox(HWND window, int id, bool checked) {
    platform::CheckDlgButton(window, id, checked ? platform::BST_CHECKED : platform::BST_UNCHECKED);
}

// A radio-like group of three boxes: `value` 0..2 checks its box, anything else none.
void ShowGroup(HWND window, const int (&boxes)[3], int value) {
    for (int i = 0; i < 3; ++i) CheckBox(window, boxes[i], false);
    if (value >= 0 && value <= 2) CheckBox(window, boxes[value], true);
}

int GroupIndex(const int (&boxes)[3], int id) {
    for (int i = 0; i < 3; ++i) {
        if (boxes[i] == id) return i;
    }
    return -1;
}

// The edit's text cut to `chars` characters into a slot.
template <std::size_t N>
void ReadEdit(HWND window, int id, int chars, char (&slot)[N]) {
    char text[32] = {};
    platform::GetDlgItemText(window, id, text, chars + 1 < 32 ? chars + 1 : 32);
    text[chars < 31 ? chars : 31] = '\0';
    CopyTextSlot(slot, text);
}

void ToggleSign(HWND window, int id, std::int32_t& sign) {
    if (sign == 1) {
        sign = -1;
        CheckBox(window, id, true);
    } else {
        sign = 1;
        CheckBox(window, id, false);
    }
}

void DrawFrame(HDC dc, int left, int top, int right, int bottom) {
    const platform::HPEN old_pen = platform::SelectObject(dc, PageBlackPen());
    const platform::HBRUSH old_brush =
        platform::SelectObject(dc, platform::GetStockObject(platform::NULL_BRUSH));
    platform::RoundRect(dc, left, top, right, bottom, 10, 10);
    if (old_brush) platform::SelectObject(dc, old_brush);
    if (old_pen) platform::SelectObject(dc, old_pen);
}

}  // namespace

DeviceListCounts RefreshDeviceLists(HWND window) {
    DeviceListCounts counts{};
    counts.inputs = RefreshDirection<platform::WAVEINCAPS>(
        window, kWaveInDeviceList, WaveInDeviceTexts, &platform::waveInGetNumDevs,
        &platform::waveInGetDevCaps, "Failed on waveInGetDevCaps, device id %d");
    counts.outputs = RefreshDirection<platform::WAVEOUTCAPS>(
        window, kWaveOutDeviceList, WaveOutDeviceTexts, &platform::waveOutGetNumDevs,
        &platform::waveOutGetDevCaps, "Failed on waveOutGetDevCaps, device id %d");
    return counts;
}

int CreatePreferencesControls(HWND window) {
    if (!window || platform::GetDlgItem(window, kRedBarId)) return 0;
    LoadColourEditState(kLayout);
    CreateColourControls(window, kLayout);
    CreateCheckBox(window, kInvertMlsDataBox, "Invert MLS Data Channel", 630, 20, 200);
    CreateCheckBox(window, kInvertMlsRefBox, "Invert MLS Reference Channel", 630, 40, 220);
    CreateCheckBox(window, kInputs2Box, "Inputs 1-2", 630, 60, 85);
    CreateCheckBox(window, kInputs8Box, "Inputs 1-8", 630, 80, 90);
    CreateCheckBox(window, kInputs12Box, "Inputs 1-12", 630, 100, 90);
    CreateCheckBox(window, kOutputs8Box, "8 Outputs", 730, 60, 85);
    CreateCheckBox(window, kOutputs16Box, "16 Outputs", 730, 80, 90);
    CreateCheckBox(window, kOutputsSpdifBox, "8 + SPDIF", 730, 100, 85);
    CreateEdit(window, kMlsDelayEdit, MlsOutputDelayText, 480, 130, 50, kMlsDelayChars);
    for (const HotkeyEdit& edit : kHotkeyEdits) {
        CreateEdit(window, edit.id, Project.Settings.HotkeyOutputTexts[edit.text_index], 480,
                   edit.y, 30, kHotkeyChars);
    }
    CreatePageList(window, kSampleRateList, 10, 50, 105, 70, kSampleRateRows, kSampleRateCount);
    SelectPageListRow(window, kSampleRateList, Project.Settings.SampleRateIndex);
    CreatePageList(window, kBufferSizeList, 150, 50, 105, 70, kBufferSizeRows, 3);
    CreatePageList(window, kBuffersOutList, 290, 50, 105, 70, kQueueRows, 6);
    CreatePageList(window, kBuffersInList, 430, 50, 105, 70, kQueueRows, 6);
    CreateDeviceList(window, kWaveInDeviceList, 200, WaveInDeviceTexts);
    CreateDeviceList(window, kWaveOutDeviceList, 410, WaveOutDeviceTexts);
    return 0;
}

int PaintPreferences(HWND window, HDC dc) {
    DrawFrame(dc, 5, 2, 945, 158);
    PageText(dc, 10, 5, "Audio Devices");
    PageText(dc, 10, 30, "Sampling [Hz]");
    PageText(dc, 150, 30, "Buffer Size");
    PageText(dc, 290, 30, "Buffers Out Queue");
    PageText(dc, 430, 30, "Buffers In Queue");
    PageText(dc, 260, 130, "Delay MLS Output By [samples]");
    DrawFrame(dc, 5, 160, 400, 690);
    PageText(dc, 10, 165, "Graph Colour Scheme");
    PaintColourPage(dc, kLayout);
    DrawFrame(dc, 405, 200, 560, 280);
    PageText(dc, 410, 205, "INSERT / DELETE");
    PageText(dc, 410, 225, "Output 1");
    PageText(dc, 410, 250, "Output 2");
    DrawFrame(dc, 405, 290, 560, 425);
    PageText(dc, 410, 295, "LEFT / RIGHT ARROW");
    PageText(dc, 410, 325, "Output 3");
    PageText(dc, 410, 350, "Output 4");
    PageText(dc, 410, 375, "Output 5");
    PageText(dc, 410, 400, "Output 6");

    // The controls, in the order the page brings them up to date.
    ShowColourControls(window, kLayout);
    SelectPageListRow(window, kSampleRateList, Project.Settings.SampleRateIndex);
    CheckBox(window, kInvertMlsDataBox, MlsDataSign == -1);
    CheckBox(window, kInvertMlsRefBox, MlsRefSign == -1);
    ShowGroup(window, kOutputBoxes, OutputLayout);
    ShowGroup(window, kInputBoxes, InputLayout);
    const DeviceListCounts counts = RefreshDeviceLists(window);
    if (Preferences != nullptr) {
        SelectPageListRow(window, kBufferSizeList, Preferences->BufferSizeIndex);
        SelectPageListRow(window, kBuffersOutList, Preferences->BuffersOutQueueIndex);
        SelectPageListRow(window, kBuffersInList, Preferences->BuffersInQueueIndex);
    }
    for (int id : kFocusOrder) platform::SetFocus(platform::GetDlgItem(window, id));
    SelectPageListRow(window, kWaveInDeviceList, PlayerDeviceWords[0]);
    SelectPageListRow(window, kWaveOutDeviceList, PlayerDeviceWords[8]);
    platform::SetWindowText(window, kPreferencesTitle);

    char text[64];
    std::snprintf(text, sizeof text, kPreferredInputLabel, counts.inputs);
    PageText(dc, 630, 180, text);
    std::snprintf(text, sizeof text, kPreferredOutputLabel, counts.outputs);
    PageText(dc, 630, 390, text);
    return 0;
}

int OnPreferencesCommand(HWND window, HDC dc, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == platform::WM_COMMAND) {
        const int id = platform::LOWORD(wParam);
        const int input = GroupIndex(kInputBoxes, id);
        const int output = GroupIndex(kOutputBoxes, id);
        if (input >= 0) {
            ShowGroup(window, kInputBoxes, input);
            InputLayout = input;
        } else if (output >= 0) {
            ShowGroup(window, kOutputBoxes, output);
            OutputLayout = output;
        } else if (id == kInvertMlsDataBox) {
            ToggleSign(window, id, MlsDataSign);
        } else if (id == kInvertMlsRefBox) {
            ToggleSign(window, id, MlsRefSign);
        } else if (id == kMlsDelayEdit) {
            ReadEdit(window, id, kMlsDelayChars, MlsOutputDelayText);
        } else if (id == kSampleRateList || id == kBufferSizeList || id == kBuffersOutList ||
                   id == kBuffersInList || id == kWaveInDeviceList || id == kWaveOutDeviceList) {
            const int row = PageListRow(window, id);
            if (row >= 0) {
                if (id == kSampleRateList) Project.Settings.SampleRateIndex = row;
                if (id == kWaveInDeviceList) PlayerDeviceWords[0] = row;
                if (id == kWaveOutDeviceList) PlayerDeviceWords[8] = row;
                if (Preferences != nullptr) {
                    if (id == kBufferSizeList) Preferences->BufferSizeIndex = row;
                    if (id == kBuffersOutList) Preferences->BuffersOutQueueIndex = row;
                    if (id == kBuffersInList) Preferences->BuffersInQueueIndex = row;
                }
            }
        } else {
            for (const HotkeyEdit& edit : kHotkeyEdits) {
                if (edit.id == id) {
                    ReadEdit(window, id, kHotkeyChars,
                             Project.Settings.HotkeyOutputTexts[edit.text_index]);
                }
            }
        }
    }
    // The colour routine runs once for every message: it acts on the colour controls and brings
    // the colour page up to date after any other change.
    ColourEditMessage(window, dc, kLayout, message, wParam, lParam);
    return 0;
}

LRESULT PreferencesChildWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case platform::WM_CREATE:
            CreatePreferencesControls(window);
            return 0;
        case platform::WM_PAINT:
            PaintPageWindow(window, &PaintPreferences);
            return 0;
        case platform::WM_COMMAND:
        case platform::WM_HSCROLL:
            if (FromChildOf(window, lParam)) {
                const HDC dc = platform::GetDC(window);
                OnPreferencesCommand(window, dc, message, wParam, lParam);
                platform::ReleaseDC(window, dc);
            }
            return 0;
        default:
            return PageChildMessage(window, message, wParam, lParam,
                                    WindowPlacements[kSlotPreferencesChild], kPreferencesTitle,
                                    PreferencesChildWindow);
    }
}

}  // namespace frame

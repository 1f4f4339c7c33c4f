// The modal "Test Tones" dialog: frequency edit 5038 and port list 5037.
#include <cstring>

#include "engine/Globals.h"
#include "engine/Ids.h"
#include "engine/TestTones.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Window.h"
#include "shell/Globals.h"
#include "shell/NumberText.h"

namespace engine {

using namespace platform;

INT_PTR TestTonesDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            SendDlgItemMessage(dialog, kTestToneFrequencyEdit, EM_LIMITTEXT, kTestToneTextSlot - 1,
                               0);
            SetDlgItemText(dialog, kTestToneFrequencyEdit, TestToneText);
            for (const char* name : TestTonePortNames)
                SendDlgItemMessage(dialog, kTestTonePortList, CB_ADDSTRING, 0,
                                   reinterpret_cast<LPARAM>(name));
            SendDlgItemMessage(dialog, kTestTonePortList, CB_SETCURSEL,
                               static_cast<WPARAM>(TestToneSelector), 0);
            return TRUE;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case kTestTonePortList:
                    if (shell::AudioBusy != 1) {
                        const LRESULT index =
                            SendDlgItemMessage(dialog, kTestTonePortList, CB_GETCURSEL, 0, 0);
                        if (index >= 0 && index < kTestTonePortCount)
                            TestToneSelector = static_cast<std::int32_t>(index);
                    } else {
                        // Refused while something runs: the list shows the tone in use again.
                        SendDlgItemMessage(dialog, kTestTonePortList, CB_SETCURSEL,
                                           static_cast<WPARAM>(TestToneSelector), 0);
                    }
                    return TRUE;
                case kTestToneFrequencyEdit:
                    if (shell::AudioBusy != 1) {
                        char text[kTestToneTextSlot] = {};
                        GetDlgItemText(dialog, kTestToneFrequencyEdit, text, kTestToneTextSlot);
                        text[kTestToneTextSlot - 1] = 0;
                        std::memcpy(TestToneText, text, kTestToneTextSlot);
                        double value = 0.0;
                        if (!shell::ReadTypedNumber(TestToneText, &value)) value = 0.0;
                        TestToneFrequency = static_cast<float>(value);
                    }
                    return TRUE;
                case IDOK:
                    EndDialog(dialog, 1);
                    return TRUE;
                case IDCANCEL:
                    EndDialog(dialog, 0);
                    return TRUE;
            }
            break;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == SC_CLOSE) {
                EndDialog(dialog, 1);
                return TRUE;
            }
            break;
    }
    return FALSE;
}

}  // namespace engine

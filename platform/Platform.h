// Everything the system's code uses of the platform layer, in namespace platform.
// Each owner of a part of the layer lists its public headers here.
#pragma once

#include "platform/App.h"
#include "platform/Types.h"

// Windows, messages, timers, painting, dialogs, menus, file dialogs, templates, message boxes.
#include "platform/ui/Dialog.h"
#include "platform/ui/FileDialog.h"
#include "platform/ui/Menu.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Paint.h"
#include "platform/ui/Resources.h"
#include "platform/ui/Timer.h"
#include "platform/ui/Window.h"

// Drawing, printing, clipboard, help.
#include "platform/gdi/Clipboard.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/Help.h"
#include "platform/gdi/Print.h"
#include "platform/gdi/WindowImage.h"

// Audio and RIFF files.
#include "platform/audio/Mmio.h"
#include "platform/audio/Wave.h"

// Threads, events, the performance counter.
#include "platform/sys/Threads.h"

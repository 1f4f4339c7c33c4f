// Opening documents with the desktop's viewer.
#include "platform/gdi/Help.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

#include "platform/internal/Headless.h"

namespace platform {

INT_PTR ShellExecute(HWND, const char* operation, const char* file, const char*, const char*, int) {
    constexpr INT_PTR kOpened = 42;  // any value above 32
    if (!file || (operation && QString::fromLatin1(operation) != QStringLiteral("open"))) {
        return SE_ERR_NOASSOC;
    }
    const QFileInfo info(QString::fromLocal8Bit(file));
    if (!info.exists() || !info.isFile()) return SE_ERR_FNF;
    if (!info.isReadable()) return SE_ERR_NOASSOC;
    if (internal::Headless()) return kOpened;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(info.absoluteFilePath())) ? kOpened
                                                                                   : SE_ERR_NOASSOC;
}

}  // namespace platform

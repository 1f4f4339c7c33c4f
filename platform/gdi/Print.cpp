// Printing: the printer dialog, print jobs on a printer device context and the default printer.
#include "platform/gdi/Print.h"

#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <cstring>

#include "platform/gdi/Gdi.h"
#include "platform/gdi/Globals.h"
#include "platform/internal/Headless.h"
#include "platform/ui/HostHooks.h"
#include "platform/ui/WindowTable.h"

namespace platform {

using namespace gdi;

namespace gdi {

int PrinterDeviceCaps(DcObject& dc, int index) {
    if (!dc.job || !dc.job->printer) return 0;
    QPrinter& p = *dc.job->printer;
    const QRect page = p.pageLayout().paintRectPixels(p.resolution());
    switch (index) {
        case HORZRES:
            return page.width();
        case VERTRES:
            return page.height();
        case BITSPIXEL:
            return 24;
        case PLANES:
            return 1;
        case LOGPIXELSX:
        case LOGPIXELSY:
            return p.resolution();
        default:
            return 0;
    }
}

void AbandonPrintJob(DcObject& dc) {
    if (!dc.job) return;
    PrintJob& job = *dc.job;
    if (job.painter && job.painter->isActive()) {
        if (job.output_file.isEmpty()) job.printer->abort();
        job.painter->end();
    }
    job.painter.reset();
    job.page_open = false;
    // A PDF that was begun and not finished must not look like a finished printout.
    if (!job.output_file.isEmpty()) QFile::remove(job.output_file);
}

}  // namespace gdi

namespace {

PrintJob* JobOf(HDC hdc) {
    DcObject* dc = FindDc(hdc);
    if (!dc || dc->kind != DcKind::Printer || !dc->job) return nullptr;
    return dc->job.get();
}

HDC MakePrinterDC(std::unique_ptr<QPrinter> printer) {
    HDC hdc{};
    DcObject& dc = NewDc(DcKind::Printer, hdc);
    dc.job = std::make_unique<PrintJob>();
    dc.job->printer = std::move(printer);
    return hdc;
}

bool StepAllowed(PrintStep step) {
    return !Hooks().print_step_allowed || Hooks().print_step_allowed(step);
}

// Fails the job: the painter ends and a begun PDF is removed.
int FailJob(HDC hdc) {
    if (DcObject* dc = FindDc(hdc)) AbandonPrintJob(*dc);
    return SP_ERROR;
}

}  // namespace

BOOL PrintDlg(PRINTDLG* dialog) {
    if (!dialog) return FALSE;
    dialog->hDC = HDC{};
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (internal::Headless()) {
        std::string pdf_path;
        if (!Hooks().answer_print_dialog || !Hooks().answer_print_dialog(&pdf_path)) return FALSE;
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(QString::fromStdString(pdf_path));
        printer->setPageLayout(
            QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    } else {
        printer->setFromTo(dialog->nFromPage, dialog->nToPage);
        printer->setCopyCount(dialog->nCopies > 0 ? dialog->nCopies : 1);
        QWidget* parent = nullptr;
        if (ui::Window* o = ui::Find(ui::TopLevelOf(dialog->hwndOwner)))
            parent = o->outer ? o->outer.data() : o->widget.data();
        const QPointer<QWidget> holder = ui::KeyboardHolder();
        QPrintDialog chooser(printer.get(), parent);
        QPrintDialog::PrintDialogOptions options;
        if (!(dialog->Flags & PD_NOSELECTION)) options |= QPrintDialog::PrintSelection;
        if (!(dialog->Flags & PD_NOPAGENUMS)) options |= QPrintDialog::PrintPageRange;
        // Qt's PDF output is not a "print to file" box but a printer of the list, the one a
        // machine without printers has: it stays, whether the print-to-file box is hidden or not.
        options |= QPrintDialog::PrintToFile;
        chooser.setOptions(options);
        QMetaObject::invokeMethod(
            &chooser, [&chooser] { ui::TakeKeyboard(&chooser); }, Qt::QueuedConnection);
        const int answer = chooser.exec();
        ui::GiveKeyboardBack(holder);
        if (answer != QDialog::Accepted) return FALSE;
    }
    if (!(dialog->Flags & PD_RETURNDC)) return TRUE;
    dialog->hDC = MakePrinterDC(std::move(printer));
    return TRUE;
}

int StartDoc(HDC printer, const DOCINFO* info) {
    PrintJob* job = JobOf(printer);
    if (!job || job->painter) return SP_ERROR;
    if (!StepAllowed(PrintStep::StartDoc)) return SP_ERROR;
    job->printer->setDocName(
        QString::fromLatin1(info && info->lpszDocName ? info->lpszDocName : ""));
    job->output_file = job->printer->outputFormat() == QPrinter::PdfFormat
                           ? job->printer->outputFileName()
                           : QString();
    job->painter = std::make_unique<QPainter>();
    if (!job->painter->begin(job->printer.get())) return FailJob(printer);
    job->pages = 0;
    return 1;
}

int StartPage(HDC printer) {
    PrintJob* job = JobOf(printer);
    if (!job || !job->painter || job->page_open) return SP_ERROR;
    if (job->pages > 0 && !job->printer->newPage()) return FailJob(printer);
    job->page_open = true;
    return 1;
}

int EndPage(HDC printer) {
    PrintJob* job = JobOf(printer);
    if (!job || !job->painter || !job->page_open) return SP_ERROR;
    if (!StepAllowed(PrintStep::EndPage)) return FailJob(printer);
    if (job->printer->printerState() == QPrinter::Error) return FailJob(printer);
    job->page_open = false;
    ++job->pages;
    return 1;
}

int EndDoc(HDC printer) {
    PrintJob* job = JobOf(printer);
    if (!job || !job->painter || job->page_open) return SP_ERROR;
    const bool ended = job->painter->end();
    job->painter.reset();
    if (!ended || job->printer->printerState() == QPrinter::Error) {
        if (!job->output_file.isEmpty()) QFile::remove(job->output_file);
        return SP_ERROR;
    }
    job->output_file.clear();  // finished: the file is the printout
    return 1;
}

int AbortDoc(HDC printer) {
    DcObject* dc = FindDc(printer);
    if (!dc || dc->kind != DcKind::Printer || !dc->job || !dc->job->painter) return SP_ERROR;
    AbandonPrintJob(*dc);
    return 1;
}

DWORD GetProfileString(const char* section, const char* key, const char* defaultText, char* out,
                       DWORD size) {
    if (!out || size == 0) return 0;
    std::string value = defaultText ? defaultText : "";
    if (section && key &&
        QString::fromLatin1(section).compare("windows", Qt::CaseInsensitive) == 0 &&
        QString::fromLatin1(key).compare("device", Qt::CaseInsensitive) == 0) {
        std::string description;
        if (Hooks().default_printer && Hooks().default_printer(&description)) {
            if (!description.empty()) value = description;
        } else if (!internal::Headless()) {
            const QPrinterInfo info = QPrinterInfo::defaultPrinter();
            if (!info.isNull()) {
                value = (info.printerName() + "," + info.makeAndModel() + "," + info.location())
                            .toStdString();
            }
        }
    }
    const std::size_t n = std::min<std::size_t>(value.size(), size - 1);
    std::memcpy(out, value.data(), n);
    out[n] = '\0';
    return static_cast<DWORD>(n);
}

}  // namespace platform

// Printing in tests: scripted answers for the printer dialog (a PDF file chosen by the test),
// failures of the next print job, a stand-in default printer, and a reader for the layout of the
// PDF files a job writes.
#pragma once

#include <string>
#include <vector>

namespace platform::testing {

struct PrintDialogAnswer {
    bool accept;           // false: the user cancels
    std::string pdf_path;  // accepted: the job prints to this PDF file (A4, no margins)
};

// Answers for the next printer dialogs, in order; when none is left a dialog is cancelled.
void ScriptPrintDialogAnswers(std::vector<PrintDialogAnswer> answers);
int PrintDialogCount();  // dialogs shown since the last script
void ClearPrintScript();

enum class PrintFailure { None, StartDoc, EndPage };
// Makes the next print job fail at the given step (StartDoc or EndPage return SP_ERROR).
void FailNextPrintJob(PrintFailure failure);

// The default printer reported by GetProfileString("windows", "device") from now on.
void SetDefaultPrinter(const std::string& name, const std::string& model,
                       const std::string& location);

// Where a PDF page places an image, in points from the page's top-left corner.
struct PdfImagePlacement {
    double x;
    double y;
    double width;
    double height;
};

struct PdfLayout {
    int pages = 0;
    double page_width = 0;                  // points, of the first page
    double page_height = 0;                 // points
    std::vector<PdfImagePlacement> images;  // every image drawn, in drawing order
};

// Reads a PDF written by the layer (compressed content streams are inflated). False when the
// file is missing or not a PDF.
bool ReadPdfLayout(const std::string& path, PdfLayout* layout);

}  // namespace platform::testing

// Printing in tests: scripted printer dialogs and job failures, and a reader for PDF layouts.
#include "platform/testing/PrintScript.h"

#include <QByteArray>
#include <QFile>
#include <QRegularExpression>
#include <cmath>
#include <cstring>
#include <deque>
#include <vector>

#include "platform/testing/HostScripts.h"
#include "platform/ui/HostHooks.h"

namespace platform::testing {
namespace {

std::deque<PrintDialogAnswer> answers;
int dialogs_shown = 0;
PrintFailure fail_next_job = PrintFailure::None;
bool printer_overridden = false;
std::string printer_description;  // "name,model,location" while overridden

bool AnswerPrintDialog(std::string* pdf_path) {
    ++dialogs_shown;
    if (answers.empty()) return false;
    const PrintDialogAnswer answer = answers.front();
    answers.pop_front();
    if (!answer.accept) return false;
    *pdf_path = answer.pdf_path;
    return true;
}

bool StepAllowed(PrintStep step) {
    const PrintFailure failing =
        step == PrintStep::StartDoc ? PrintFailure::StartDoc : PrintFailure::EndPage;
    if (fail_next_job != failing) return true;
    fail_next_job = PrintFailure::None;
    return false;
}

bool DefaultPrinter(std::string* description) {
    if (!printer_overridden) return false;
    *description = printer_description;
    return true;
}

}  // namespace

void ScriptPrintDialogAnswers(std::vector<PrintDialogAnswer> script) {
    answers.assign(script.begin(), script.end());
    dialogs_shown = 0;
}

int PrintDialogCount() { return dialogs_shown; }

void ClearPrintScript() {
    answers.clear();
    dialogs_shown = 0;
    fail_next_job = PrintFailure::None;
    printer_overridden = false;
    printer_description.clear();
}

void FailNextPrintJob(PrintFailure failure) { fail_next_job = failure; }

void SetDefaultPrinter(const std::string& name, const std::string& model,
                       const std::string& location) {
    printer_overridden = true;
    printer_description = name + "," + model + "," + location;
}

void InstallPrintHooks() {
    Hooks().answer_print_dialog = &AnswerPrintDialog;
    Hooks().print_step_allowed = &StepAllowed;
    Hooks().default_printer = &DefaultPrinter;
}

namespace {

// Inflates a zlib stream of unknown length.
QByteArray Inflate(const QByteArray& data) {
    for (quint32 guess = static_cast<quint32>(data.size()) * 4 + 1024; guess < (1u << 30);
         guess *= 4) {
        QByteArray framed(4, '\0');
        framed[0] = static_cast<char>((guess >> 24) & 0xFF);
        framed[1] = static_cast<char>((guess >> 16) & 0xFF);
        framed[2] = static_cast<char>((guess >> 8) & 0xFF);
        framed[3] = static_cast<char>(guess & 0xFF);
        framed += data;
        const QByteArray out = qUncompress(framed);
        if (!out.isEmpty()) return out;
    }
    return {};
}

// A 2-D affine matrix [a b c d e f] as PDF writes it: x' = a x + c y + e, y' = b x + d y + f.
struct Matrix {
    double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;
};

// m applied first, then n.
Matrix Multiply(const Matrix& m, const Matrix& n) {
    return {m.a * n.a + m.b * n.c, m.a * n.b + m.b * n.d,       m.c * n.a + m.d * n.c,
            m.c * n.b + m.d * n.d, m.e * n.a + m.f * n.c + n.e, m.e * n.b + m.f * n.d + n.f};
}

// Walks the operators of a content stream, keeping the graphics-state matrix, and records the
// unit square of every XObject drawn whose name is in `images`.
void ScanContent(const QByteArray& s, const QList<QByteArray>& images, double page_height,
                 std::vector<PdfImagePlacement>* out) {
    std::vector<Matrix> stack;
    Matrix ctm;
    std::vector<double> numbers;
    QByteArray last_name;
    const int n = static_cast<int>(s.size());
    int i = 0;
    auto is_delim = [](char ch) {
        return std::strchr("()<>[]{}/%", ch) != nullptr || ch == ' ' || ch == '\n' || ch == '\r' ||
               ch == '\t' || ch == '\f' || ch == '\0';
    };
    while (i < n) {
        const char ch = s[i];
        if (ch == ' ' || ch == '\n' || ch == '\r' || ch == '\t' || ch == '\f' || ch == '\0') {
            ++i;
        } else if (ch == '%') {
            while (i < n && s[i] != '\n' && s[i] != '\r') ++i;
        } else if (ch == '(') {
            int depth = 0;
            for (; i < n; ++i) {
                if (s[i] == '\\') {
                    ++i;
                } else if (s[i] == '(') {
                    ++depth;
                } else if (s[i] == ')' && --depth == 0) {
                    ++i;
                    break;
                }
            }
        } else if (ch == '<' && i + 1 < n && s[i + 1] == '<') {
            i += 2;
        } else if (ch == '>' && i + 1 < n && s[i + 1] == '>') {
            i += 2;
        } else if (ch == '<') {
            while (i < n && s[i] != '>') ++i;
            ++i;
        } else if (ch == '[' || ch == ']' || ch == '{' || ch == '}') {
            ++i;
        } else if (ch == '/') {
            int j = i + 1;
            while (j < n && !is_delim(s[j])) ++j;
            last_name = s.mid(i + 1, j - i - 1);
            i = j;
        } else {
            int j = i;
            while (j < n && !is_delim(s[j])) ++j;
            const QByteArray token = s.mid(i, j - i);
            i = j;
            bool is_number = false;
            const double v = token.toDouble(&is_number);
            if (is_number) {
                numbers.push_back(v);
                continue;
            }
            if (token == "q") {
                stack.push_back(ctm);
            } else if (token == "Q") {
                if (!stack.empty()) {
                    ctm = stack.back();
                    stack.pop_back();
                }
            } else if (token == "cm" && numbers.size() >= 6) {
                const std::size_t k = numbers.size() - 6;
                const Matrix m{numbers[k],     numbers[k + 1], numbers[k + 2],
                               numbers[k + 3], numbers[k + 4], numbers[k + 5]};
                ctm = Multiply(m, ctm);
            } else if (token == "Do" && images.contains(last_name)) {
                double xs[4], ys[4];
                const double ux[4] = {0, 1, 0, 1};
                const double uy[4] = {0, 0, 1, 1};
                for (int k = 0; k < 4; ++k) {
                    xs[k] = ctm.a * ux[k] + ctm.c * uy[k] + ctm.e;
                    ys[k] = ctm.b * ux[k] + ctm.d * uy[k] + ctm.f;
                }
                const double x0 = std::min(std::min(xs[0], xs[1]), std::min(xs[2], xs[3]));
                const double x1 = std::max(std::max(xs[0], xs[1]), std::max(xs[2], xs[3]));
                const double y0 = std::min(std::min(ys[0], ys[1]), std::min(ys[2], ys[3]));
                const double y1 = std::max(std::max(ys[0], ys[1]), std::max(ys[2], ys[3]));
                out->push_back({x0, page_height - y1, x1 - x0, y1 - y0});
            }
            numbers.clear();
        }
    }
}

}  // namespace

bool ReadPdfLayout(const std::string& path, PdfLayout* layout) {
    if (!layout) return false;
    *layout = PdfLayout{};
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QByteArray pdf = file.readAll();
    if (!pdf.startsWith("%PDF")) return false;

    static const QRegularExpression page_re(QStringLiteral("/Type\\s*/Page(?![a-zA-Z])"));
    auto pages = page_re.globalMatch(QString::fromLatin1(pdf));
    while (pages.hasNext()) {
        pages.next();
        ++layout->pages;
    }
    static const QRegularExpression box_re(QStringLiteral(
        "/MediaBox\\s*\\[\\s*([-\\d.]+)\\s+([-\\d.]+)\\s+([-\\d.]+)\\s+([-\\d.]+)\\s*\\]"));
    const auto box = box_re.match(QString::fromLatin1(pdf));
    if (box.hasMatch()) {
        layout->page_width = box.captured(3).toDouble() - box.captured(1).toDouble();
        layout->page_height = box.captured(4).toDouble() - box.captured(2).toDouble();
    }

    // Objects that are images, by the names the resources give them: "/Name N 0 R" where
    // object N has /Subtype /Image.
    QList<QByteArray> image_objects;
    static const QRegularExpression obj_re(QStringLiteral("(\\d+)\\s+0\\s+obj"));
    const QString text = QString::fromLatin1(pdf);
    auto objs = obj_re.globalMatch(text);
    while (objs.hasNext()) {
        const auto m = objs.next();
        const int start = static_cast<int>(m.capturedEnd());
        const int end = static_cast<int>(text.indexOf(QStringLiteral("stream"), start));
        const int endobj = static_cast<int>(text.indexOf(QStringLiteral("endobj"), start));
        const int limit = (end >= 0 && (endobj < 0 || end < endobj)) ? end : endobj;
        if (limit < 0) continue;
        const QString dict = text.mid(start, limit - start);
        if (dict.contains(QRegularExpression(QStringLiteral("/Subtype\\s*/Image")))) {
            image_objects.push_back(m.captured(1).toLatin1());
        }
    }
    QList<QByteArray> image_names;
    static const QRegularExpression ref_re(QStringLiteral("/([A-Za-z0-9_.]+)\\s+(\\d+)\\s+0\\s+R"));
    auto refs = ref_re.globalMatch(text);
    while (refs.hasNext()) {
        const auto m = refs.next();
        if (image_objects.contains(m.captured(2).toLatin1())) {
            image_names.push_back(m.captured(1).toLatin1());
        }
    }

    // Content streams: every stream, inflated when compressed.
    int at = 0;
    while (true) {
        const int s = static_cast<int>(pdf.indexOf("stream", at));
        if (s < 0) break;
        if (s >= 3 && pdf.mid(s - 3, 3) == "end") {
            at = s + 6;
            continue;
        }
        int data = s + 6;
        if (data < pdf.size() && pdf[data] == '\r') ++data;
        if (data < pdf.size() && pdf[data] == '\n') ++data;
        const int e = static_cast<int>(pdf.indexOf("endstream", data));
        if (e < 0) break;
        const int dict_start = static_cast<int>(pdf.lastIndexOf("obj", s));
        const QByteArray dict = pdf.mid(dict_start, s - dict_start);
        QByteArray content = pdf.mid(data, e - data);
        if (!dict.contains("/Subtype /Image") && !dict.contains("/Subtype/Image")) {
            if (dict.contains("FlateDecode")) content = Inflate(content);
            if (content.contains("Do")) {
                ScanContent(content, image_names, layout->page_height, &layout->images);
            }
        }
        at = e + 9;
    }
    return true;
}

}  // namespace platform::testing

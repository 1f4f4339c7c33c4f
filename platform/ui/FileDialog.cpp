// The open-file and save-file dialogs: filter pairs, initial folder and name, the returned path
// and title, and the create and overwrite questions.

#include "platform/ui/FileDialog.h"

#include <QFileDialog>
#include <algorithm>
#include <cctype>
#include <cstring>
#include <deque>
#include <filesystem>

#include "platform/internal/Headless.h"
#include "platform/testing/FileDialogs.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/WindowTable.h"

namespace platform {
namespace {

std::deque<std::string> scripted;
std::vector<testing::FileDialogEntry> file_log;
DWORD last_error = 0;

// The filter pairs of an OPENFILENAME: description and patterns, up to the empty text.
std::vector<std::pair<std::string, std::string>> Pairs(const char* filter) {
    std::vector<std::pair<std::string, std::string>> out;
    if (!filter) return out;
    for (int guard = 0; *filter && guard < 64; ++guard) {
        std::string description = filter;
        filter += description.size() + 1;
        std::string patterns = filter;
        filter += patterns.size() + 1;
        out.emplace_back(description, patterns);
        if (patterns.empty()) break;
    }
    return out;
}

// Wildcard match of `name` against one pattern ('*', '?'), without regard to case.
bool WildcardMatch(const char* pattern, const char* name) {
    if (!*pattern) return !*name;
    if (*pattern == '*')
        return WildcardMatch(pattern + 1, name) || (*name && WildcardMatch(pattern, name + 1));
    if (!*name) return false;
    if (*pattern != '?' && std::tolower(static_cast<unsigned char>(*pattern)) !=
                               std::tolower(static_cast<unsigned char>(*name)))
        return false;
    return WildcardMatch(pattern + 1, name + 1);
}

// Whether a name is shown under the patterns of a pair ("*.WFR;*.TWE").
bool PairShows(const std::string& patterns, const std::string& name) {
    std::size_t start = 0;
    while (start <= patterns.size()) {
        const std::size_t end = std::min(patterns.find(';', start), patterns.size());
        const std::string one = patterns.substr(start, end - start);
        if (!one.empty() && WildcardMatch(one.c_str(), name.c_str())) return true;
        start = end + 1;
    }
    return false;
}

// A pattern Qt matches without regard to case on every system: letters become [xX].
QString AnyCase(const std::string& pattern) {
    QString out;
    for (char c : pattern) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (std::isalpha(u)) {
            out += '[';
            out += QChar::fromLatin1(static_cast<char>(std::tolower(u)));
            out += QChar::fromLatin1(static_cast<char>(std::toupper(u)));
            out += ']';
        } else {
            out += QChar::fromLatin1(c == ';' ? ' ' : c);
        }
    }
    return out;
}

// Qt's name filter for one pair.
QString QtFilter(const std::pair<std::string, std::string>& pair) {
    QString patterns = AnyCase(pair.second);
    QString description = ui::ToQt(pair.first);
    description.remove('(').remove(')');
    return description.trimmed() + " (" + patterns + ")";
}

std::string InitialPath(const OPENFILENAME* ofn) {
    std::string file = ofn->lpstrFile ? std::string(ofn->lpstrFile) : std::string();
    namespace fs = std::filesystem;
    const fs::path p(file);
    if (!file.empty() && p.has_parent_path()) return file;
    const std::string dir = ofn->lpstrInitialDir ? ofn->lpstrInitialDir : "";
    if (dir.empty()) return file;
    return (fs::path(dir) / p).string();
}

// Fills the returned path, title and offsets; FALSE when they do not fit.
BOOL Return(OPENFILENAME* ofn, std::string path) {
    namespace fs = std::filesystem;
    fs::path p(path);
    // A wildcard default extension ("*.*", "*") names no extension: nothing is appended.
    const bool default_ext =
        ofn->lpstrDefExt && *ofn->lpstrDefExt && std::strpbrk(ofn->lpstrDefExt, "*?") == nullptr;
    if (!p.has_extension() && default_ext) {
        path += std::string(".") + ofn->lpstrDefExt;
        p = fs::path(path);
    }
    const std::string title = p.filename().string();
    if (!ofn->lpstrFile || path.size() + 1 > ofn->nMaxFile ||
        (ofn->lpstrFileTitle && title.size() + 1 > ofn->nMaxFileTitle)) {
        last_error = FNERR_BUFFERTOOSMALL;
        return FALSE;
    }
    std::memcpy(ofn->lpstrFile, path.c_str(), path.size() + 1);
    if (ofn->lpstrFileTitle) std::memcpy(ofn->lpstrFileTitle, title.c_str(), title.size() + 1);
    ofn->nFileOffset = static_cast<WORD>(path.size() - title.size());
    const auto dot = title.rfind('.');
    ofn->nFileExtension =
        dot == std::string::npos ? 0 : static_cast<WORD>(ofn->nFileOffset + dot + 1);
    return TRUE;
}

BOOL Run(OPENFILENAME* ofn, bool save) {
    last_error = 0;
    if (!ofn) return FALSE;
    const auto pairs = Pairs(ofn->lpstrFilter);
    testing::FileDialogEntry entry{save,
                                   ofn->hwndOwner,
                                   {},
                                   ofn->lpstrFile ? ofn->lpstrFile : "",
                                   ofn->lpstrInitialDir ? ofn->lpstrInitialDir : "",
                                   ofn->Flags,
                                   false,
                                   "",
                                   false};
    for (const auto& pair : pairs) entry.filters.push_back(pair.first + "|" + pair.second);
    std::string chosen;
    if (internal::Headless()) {
        if (!scripted.empty()) {
            chosen = scripted.front();
            scripted.pop_front();
        }
    } else {
        QStringList filters;
        for (const auto& pair : pairs) filters << QtFilter(pair);
        QString selected;
        const DWORD index = ofn->nFilterIndex > 0 ? ofn->nFilterIndex - 1 : 0;
        if (index < static_cast<DWORD>(filters.size())) selected = filters[static_cast<int>(index)];
        const QString caption =
            ofn->lpstrTitle ? ui::ToQt(ofn->lpstrTitle) : QString(save ? "Save As" : "Open");
        const QString start = ui::ToQt(InitialPath(ofn));
        const QString joined = filters.join(";;");
        // The dialog is modal for the person while the layer's loop goes on dispatching posted
        // messages and timers (sound buffers keep coming back while it is open).
        QWidget* parent = nullptr;
        if (ui::Window* o = ui::Find(ui::TopLevelOf(ofn->hwndOwner)))
            parent = o->outer ? o->outer.data() : o->widget.data();
        QFileDialog dialog(parent, caption, start, joined);
        dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dialog.setFileMode(!save && (ofn->Flags & OFN_FILEMUSTEXIST) ? QFileDialog::ExistingFile
                                                                     : QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        if (!selected.isEmpty()) dialog.selectNameFilter(selected);
        dialog.setWindowModality(Qt::ApplicationModal);
        int answer = -1;
        QObject::connect(&dialog, &QDialog::finished, &dialog, [&answer](int r) {
            answer = r;
            PostMessage(HWND{}, WM_NULL, 0, 0);  // wakes the loop below
        });
        dialog.open();
        while (answer < 0) {
            MSG msg;
            if (!GetMessage(&msg, HWND{}, 0, 0)) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                QObject::disconnect(&dialog, nullptr, nullptr, nullptr);  // no wake-up left behind
                dialog.reject();
                answer = QDialog::Rejected;
                break;
            }
            TranslateMessage(&msg);
            DispatchMessage(&msg);
        }
        QString path;
        if (answer == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            path = dialog.selectedFiles().first();
        selected = dialog.selectedNameFilter();
        chosen = ui::FromQt(path);
        const int at = filters.indexOf(selected);
        if (at >= 0) ofn->nFilterIndex = static_cast<DWORD>(at + 1);
    }
    BOOL result = FALSE;
    if (!chosen.empty()) {
        namespace fs = std::filesystem;
        std::error_code ec;
        const bool exists = fs::exists(chosen, ec);
        const std::string name = fs::path(chosen).filename().string();
        bool ok = true;
        if (!save && !exists && (ofn->Flags & OFN_FILEMUSTEXIST)) {
            MessageBox(ofn->hwndOwner, (name + "\nFile not found.").c_str(), "Open",
                       MB_OK | MB_ICONEXCLAMATION);
            ok = false;
        } else if (!save && !exists && (ofn->Flags & OFN_CREATEPROMPT)) {
            ok = MessageBox(ofn->hwndOwner, (name + " does not exist.\nCreate it?").c_str(), "Open",
                            MB_YESNO | MB_ICONQUESTION) == IDYES;
        } else if (save && exists && (ofn->Flags & OFN_OVERWRITEPROMPT)) {
            ok = MessageBox(ofn->hwndOwner,
                            (name + " already exists.\nDo you want to replace it?").c_str(),
                            "Save As", MB_YESNO | MB_ICONEXCLAMATION) == IDYES;
        }
        if (ok) result = Return(ofn, chosen);
    }
    entry.chosen = result != FALSE;
    if (result) entry.path = ofn->lpstrFile;
    const DWORD index = ofn->nFilterIndex > 0 ? ofn->nFilterIndex - 1 : 0;
    entry.shown = !chosen.empty() && index < pairs.size() &&
                  PairShows(pairs[index].second, std::filesystem::path(chosen).filename().string());
    file_log.push_back(entry);
    return result;
}

}  // namespace

BOOL GetOpenFileName(OPENFILENAME* ofn) { return Run(ofn, false); }
BOOL GetSaveFileName(OPENFILENAME* ofn) { return Run(ofn, true); }
DWORD CommDlgExtendedError() { return last_error; }

namespace testing {

void ScriptFileDialogAnswers(std::vector<std::string> answers) {
    scripted.assign(answers.begin(), answers.end());
}
const std::vector<FileDialogEntry>& FileDialogLog() { return file_log; }
void ClearFileDialogLog() {
    file_log.clear();
    scripted.clear();
}

}  // namespace testing
}  // namespace platform

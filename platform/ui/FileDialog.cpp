// The open-file and save-file dialogs: filter pairs, initial folder and name, the returned path
// and title, and the create and overwrite questions.

#include "platform/ui/FileDialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>

#include "platform/internal/Headless.h"
#include "platform/ui/HostHooks.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/WindowTable.h"

namespace platform {
namespace {

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

// Qt's name filter for one pair. Qt's file list matches patterns without regard to case, and in
// the save flavour it puts the first pattern's extension on the name when the filter changes, so
// the patterns go over as they stand.
QString QtFilter(const std::pair<std::string, std::string>& pair) {
    QString patterns = ui::ToQt(pair.second);
    patterns.replace(';', ' ');
    QString description = ui::ToQt(pair.first);
    description.remove('(').remove(')');
    return description.trimmed() + " (" + patterns.simplified() + ")";
}

// The extension of the first pattern of a pair ("*.wfr;*.uba" gives "wfr"), or "" when that
// pattern names none ("*.*", "*").
std::string FirstPatternExtension(const std::string& patterns) {
    const std::string first = patterns.substr(0, patterns.find(';'));
    const auto dot = first.rfind('.');
    if (dot == std::string::npos) return {};
    const std::string ext = first.substr(dot + 1);
    if (ext.empty() || ext.find_first_of("*?[]/\\") != std::string::npos) return {};
    return ext;
}

// The name the caller put in its buffer, read no further than the buffer's declared size: a
// buffer without a terminating NUL inside it holds no name.
std::string CallerFile(const OPENFILENAME* ofn) {
    if (!ofn->lpstrFile || ofn->nMaxFile == 0) return {};
    const std::size_t length = strnlen(ofn->lpstrFile, ofn->nMaxFile);
    if (length == ofn->nMaxFile) return {};
    return std::string(ofn->lpstrFile, length);
}

std::string InitialPath(const OPENFILENAME* ofn) {
    const std::string file = CallerFile(ofn);
    namespace fs = std::filesystem;
    const fs::path p(file);
    if (!file.empty() && p.has_parent_path()) return file;
    const std::string dir = ofn->lpstrInitialDir ? ofn->lpstrInitialDir : "";
    if (dir.empty()) return file;
    return (fs::path(dir) / p).string();
}

// The extension a name typed without one gets: in the save flavour the selected filter's first
// pattern's, else (and when that pattern names none) the default extension; a wildcard default
// extension ("*.*", "*") names none.
std::string AppendedExtension(const OPENFILENAME* ofn, bool save) {
    if (save) {
        const auto pairs = Pairs(ofn->lpstrFilter);
        const DWORD index = ofn->nFilterIndex > 0 ? ofn->nFilterIndex - 1 : 0;
        if (index < pairs.size()) {
            std::string ext = FirstPatternExtension(pairs[index].second);
            if (!ext.empty()) return ext;
        }
    }
    if (ofn->lpstrDefExt && *ofn->lpstrDefExt && std::strpbrk(ofn->lpstrDefExt, "*?") == nullptr)
        return ofn->lpstrDefExt;
    return {};
}

// The chosen path with the extension a name typed without one gets.
std::string Completed(const OPENFILENAME* ofn, std::string path, bool save) {
    const std::string ext = AppendedExtension(ofn, save);
    if (!std::filesystem::path(path).has_extension() && !ext.empty()) path += "." + ext;
    return path;
}

// Fills the returned path, title and offsets; FALSE when they do not fit.
BOOL Return(OPENFILENAME* ofn, const std::string& path) {
    namespace fs = std::filesystem;
    const fs::path p(path);
    const std::string title = p.filename().string();
    if (!ofn->lpstrFile || path.size() + 1 > ofn->nMaxFile ||
        (ofn->lpstrFileTitle && title.size() + 1 > ofn->nMaxFileTitle)) {
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

// Keeps the name the chooser offers selected whole until the person first presses a key or a
// mouse button in the chooser, so that what is typed replaces it. The chooser fills its file list
// after it is shown; finding the offered file there, it writes the name into the field again
// while the field does not yet hold the keyboard (the chooser not yet active), which clears the
// selection and would leave typed text appended to the name.
class OfferedNameGuard : public QObject {
  public:
    OfferedNameGuard(QFileDialog* dialog, QLineEdit* name)
        : dialog_(dialog), name_(name), offered_(name ? name->text() : QString()) {
        if (offered_.isEmpty()) return;
        QObject::connect(name_, &QLineEdit::selectionChanged, this, [this] { Select(); });
        qApp->installEventFilter(this);
    }
    // Selects the offered name whole while the person has not acted in the chooser.
    void Select() {
        if (name_ && !offered_.isEmpty() && name_->text() == offered_ &&
            name_->selectedText() != offered_)
            name_->selectAll();
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type != QEvent::KeyPress && type != QEvent::MouseButtonPress) return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && widget->window() == dialog_) {
            offered_.clear();
            qApp->removeEventFilter(this);
        }
        return false;
    }

  private:
    QFileDialog* dialog_;
    QPointer<QLineEdit> name_;
    QString offered_;
};

BOOL Run(OPENFILENAME* ofn, bool save) {
    if (!ofn) return FALSE;
    const auto pairs = Pairs(ofn->lpstrFilter);
    FileDialogRecord entry{save,
                           ofn->hwndOwner,
                           {},
                           CallerFile(ofn),
                           ofn->lpstrInitialDir ? ofn->lpstrInitialDir : "",
                           ofn->Flags,
                           false,
                           "",
                           false};
    for (const auto& pair : pairs) entry.filters.push_back(pair.first + "|" + pair.second);
    std::string chosen;
    const HostHooks& hooks = Hooks();
    if (internal::Headless()) {
        if (hooks.answer_file_dialog) chosen = hooks.answer_file_dialog(entry);
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
        const QPointer<QWidget> holder = ui::KeyboardHolder();
        QWidget* parent = nullptr;
        if (ui::Window* o = ui::Find(ui::TopLevelOf(ofn->hwndOwner)))
            parent = o->outer ? o->outer.data() : o->widget.data();
        QFileDialog dialog(parent, caption, start, joined);
        dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dialog.setFileMode(!save && (ofn->Flags & OFN_FILEMUSTEXIST) ? QFileDialog::ExistingFile
                                                                     : QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        if (!selected.isEmpty()) dialog.selectNameFilter(selected);
        // Selecting a filter puts its extension on the name in the save flavour: the caller's
        // name is shown again as it stands, selected, so that typing replaces it.
        const std::string initial_file = CallerFile(ofn);
        if (!initial_file.empty()) dialog.selectFile(start);
        int answer = -1;
        QObject::connect(&dialog, &QDialog::finished, &dialog, [&answer](int r) {
            answer = r;
            PostMessage(HWND{}, WM_NULL, 0, 0);  // wakes the loop below
        });
        auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        OfferedNameGuard offered(&dialog, name);
        ui::ShowModal(&dialog);
        if (name) {
            name->setFocus(Qt::OtherFocusReason);
            offered.Select();
        }
        const ui::ModalLoopScope loop;
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
        dialog.hide();
        ui::GiveKeyboardBack(holder);
        QString path;
        if (answer == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            path = dialog.selectedFiles().first();
        selected = dialog.selectedNameFilter();
        chosen = ui::FromQt(path);
        const int at = filters.indexOf(selected);
        if (at >= 0) ofn->nFilterIndex = static_cast<DWORD>(at + 1);
    }
    BOOL result = FALSE;
    if (!chosen.empty()) chosen = Completed(ofn, chosen, save);
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
    if (hooks.file_dialog_done) hooks.file_dialog_done(entry);
    return result;
}

}  // namespace

BOOL GetOpenFileName(OPENFILENAME* ofn) { return Run(ofn, false); }
BOOL GetSaveFileName(OPENFILENAME* ofn) { return Run(ofn, true); }

}  // namespace platform

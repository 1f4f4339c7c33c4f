// Logged and scripted file dialogs.
#include "platform/testing/FileDialogs.h"

#include <deque>

#include "platform/testing/HostScripts.h"

namespace platform::testing {
namespace {

std::deque<std::string> scripted;
std::vector<FileDialogEntry> file_log;

std::string Answer(const FileDialogRecord&) {
    if (scripted.empty()) return {};
    std::string chosen = scripted.front();
    scripted.pop_front();
    return chosen;
}

void Log(const FileDialogRecord& dialog) { file_log.push_back(dialog); }

}  // namespace

void ScriptFileDialogAnswers(std::vector<std::string> answers) {
    scripted.assign(answers.begin(), answers.end());
}

const std::vector<FileDialogEntry>& FileDialogLog() { return file_log; }

void ClearFileDialogLog() {
    file_log.clear();
    scripted.clear();
}

void InstallFileDialogHooks() {
    Hooks().answer_file_dialog = &Answer;
    Hooks().file_dialog_done = &Log;
}

}  // namespace platform::testing

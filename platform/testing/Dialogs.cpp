// Scripted modal dialogs.

#include "platform/testing/Dialogs.h"

#include <algorithm>
#include <cctype>
#include <deque>

#include "platform/testing/HostScripts.h"
#include "platform/ui/HostHooks.h"

namespace platform::testing {
namespace {

struct Action {
    std::string name;
    std::function<void(HWND)> run;
};

std::deque<Action> actions;
std::vector<std::string> unanswered;

bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace

void OnModalDialog(const std::string& name, std::function<void(HWND dialog)> action) {
    actions.push_back(Action{name, std::move(action)});
}

std::size_t PendingModalActions() { return actions.size(); }

const std::vector<std::string>& UnansweredDialogs() { return unanswered; }

void ClearDialogScripts() {
    actions.clear();
    unanswered.clear();
}

namespace {

void RunModalAction(HWND dialog, const std::string& template_name) {
    auto it = std::find_if(actions.begin(), actions.end(),
                           [&](const Action& a) { return SameName(a.name, template_name); });
    if (it == actions.end()) return;
    auto run = std::move(it->run);
    actions.erase(it);
    run(dialog);
}

void NoteUnanswered(const std::string& name) { unanswered.push_back(name); }

}  // namespace

void InstallDialogHooks() {
    Hooks().modal_loop_started = &RunModalAction;
    Hooks().modal_loop_idle = &NoteUnanswered;
}

}  // namespace platform::testing

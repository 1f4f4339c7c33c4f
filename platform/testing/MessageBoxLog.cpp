// Logged and scripted message boxes.
#include "platform/testing/MessageBoxLog.h"

#include <deque>

#include "platform/testing/HostScripts.h"

namespace platform::testing {
namespace {

std::vector<MessageBoxEntry> box_log;
std::deque<int> scripted_answers;
int beep_count = 0;

void Answer(MessageBoxRecord& box) {
    if (scripted_answers.empty()) return;  // the default button's answer stands
    box.answer = scripted_answers.front();
    scripted_answers.pop_front();
}

void Log(const MessageBoxRecord& box) { box_log.push_back(box); }

void Beep() { ++beep_count; }

}  // namespace

const std::vector<MessageBoxEntry>& MessageBoxLog() { return box_log; }

void ClearMessageBoxLog() {
    box_log.clear();
    scripted_answers.clear();
    beep_count = 0;
}

void ScriptMessageBoxAnswers(std::vector<int> answers) {
    scripted_answers.assign(answers.begin(), answers.end());
}

int BeepCount() { return beep_count; }

void InstallMessageBoxHooks() {
    Hooks().answer_message_box = &Answer;
    Hooks().message_box_shown = &Log;
    Hooks().beeped = &Beep;
}

}  // namespace platform::testing

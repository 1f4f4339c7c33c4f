// The log of drawn texts: the layer reports texts only while the hook is filled.
#include "platform/testing/DrawnTexts.h"

namespace platform::testing {
namespace {

std::vector<DrawnText> drawn_texts;

void Log(const DrawnTextRecord& text) { drawn_texts.push_back(text); }

}  // namespace

void RecordDrawnTexts(bool on) {
    if (on) drawn_texts.clear();
    Hooks().text_drawn = on ? &Log : nullptr;
}

const std::vector<DrawnText>& DrawnTexts() { return drawn_texts; }

}  // namespace platform::testing

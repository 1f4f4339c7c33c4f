#include "shell/ValueRepairs.h"

namespace shell {

namespace {
constexpr std::size_t kLinesShown = 12;
}  // namespace

void ValueRepairs::Note(const std::string& what) {
    for (Item& item : items_) {
        if (item.what == what) {
            ++item.count;
            return;
        }
    }
    items_.push_back({what, 1});
}

int ValueRepairs::Count() const {
    int total = 0;
    for (const Item& item : items_) total += item.count;
    return total;
}

std::string ValueRepairs::Text(const char* heading) const {
    std::string text = heading;
    for (std::size_t i = 0; i < items_.size() && i < kLinesShown; ++i) {
        text += "\n";
        text += items_[i].what;
        if (items_[i].count > 1) text += " (" + std::to_string(items_[i].count) + " values)";
    }
    if (items_.size() > kLinesShown) {
        text += "\n... and " + std::to_string(items_.size() - kLinesShown) + " more";
    }
    return text;
}

}  // namespace shell

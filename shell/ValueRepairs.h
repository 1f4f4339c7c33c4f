// The values a loaded file held out of range or not as numbers, replaced by their defaults: each
// kind of value is named once, with how many values of that kind were replaced, so that the user
// is told once per file what was changed.
#pragma once

#include <string>
#include <vector>

namespace shell {

class ValueRepairs {
  public:
    // Counts one replaced value under `what` (a name the user can recognise).
    void Note(const std::string& what);
    bool Empty() const { return items_.empty(); }
    int Count() const;
    // `heading`, then one line per kind of value (at most 12, then how many kinds more).
    std::string Text(const char* heading) const;
    void Clear() { items_.clear(); }

  private:
    struct Item {
        std::string what;
        int count;
    };
    std::vector<Item> items_;
};

}  // namespace shell

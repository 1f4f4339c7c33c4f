#include "network/Topology.h"

#include <cstring>

#include "platform/ui/MessageBox.h"
#include "shell/Globals.h"
#include "shell/NetworkTables.h"

namespace network {

namespace {

using shell::JointPoint;
using shell::kJointGroupPoints;
using shell::kMaxElements;
using shell::kMaxJointGroups;
using shell::WorkingNetwork;

using Group = JointPoint[kJointGroupPoints];

bool GroupEmpty(const Group& group) { return group[0].x == 0; }

// Index of the first free place of a group (a point whose x is 0), or -1 when it is full.
int FirstFreePlace(const Group& group) {
    for (int p = 0; p < kJointGroupPoints; ++p) {
        if (group[p].x == 0) return p;
    }
    return -1;
}

bool GroupHolds(const Group& group, std::int32_t x, std::int32_t y) {
    for (int p = 0; p < kJointGroupPoints; ++p) {
        if (group[p].x != 0 && group[p].x == x && group[p].y == y) return true;
    }
    return false;
}

bool OnTerminal(std::int32_t x, std::int32_t y) {
    for (int e = 0; e < kMaxElements; ++e) {
        const auto& g = WorkingNetwork.ElementGeometry[e];
        if ((g.x1 == x && g.y1 == y) || (g.x2 == x && g.y2 == y)) return true;
    }
    return false;
}

// Elements are visited from slot 0 while the next slot's kind is positive; the scan stops after
// the last slot whatever the table holds.
bool NextSlotInUse(int e) {
    return e + 1 < kMaxElements && WorkingNetwork.ElementGeometry[e + 1].kind > 0;
}

void Warn(const char* text) {
    platform::MessageBox(shell::FrameWindow, text, kTopologyCaption,
                         platform::MB_OK | platform::MB_ICONEXCLAMATION);
}

// Appends the points of group h to group g from g's first free place; false on overflow (a point
// put into the 64th place).
bool AppendGroup(int g, int h) {
    Group& to = WorkingNetwork.JointGroup[g];
    const Group& from = WorkingNetwork.JointGroup[h];
    int place = FirstFreePlace(to);
    for (int p = 0; p < kJointGroupPoints && from[p].x != 0; ++p) {
        to[place] = from[p];
        if (place == kJointGroupPoints - 1) return false;
        ++place;
    }
    return true;
}

void RemoveGroup(int h) {
    auto& groups = WorkingNetwork.JointGroup;
    for (int g = h; g < kMaxJointGroups - 1; ++g) {
        std::memcpy(groups[g], groups[g + 1], sizeof(Group));
    }
}

// One pass of the merge walk. 0: a merge was made (walk again), 1: overflow, 2: walk finished.
int MergeOnce() {
    auto& groups = WorkingNetwork.JointGroup;
    for (int g = 0; g < kMaxJointGroups; ++g) {
        if (GroupEmpty(groups[g])) {
            WorkingNetwork.WMatrixOrder = g;
            return 2;
        }
        for (int p = 0; p < kJointGroupPoints && groups[g][p].x != 0; ++p) {
            const JointPoint point = groups[g][p];
            for (int h = g + 1; h < kMaxJointGroups; ++h) {
                if (GroupEmpty(groups[h]) || !GroupHolds(groups[h], point.x, point.y)) continue;
                // A full group cannot take anything: the match is skipped.
                if (FirstFreePlace(groups[g]) < 0) continue;
                if (!AppendGroup(g, h)) return 1;
                DedupeJointGroups();
                RemoveGroup(h);
                return 0;
            }
        }
    }
    // All 64 groups in use: WMatrixOrder keeps its value.
    DedupeJointGroups();
    return 2;
}

}  // namespace

int WireEndsOnTerminals(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
    return (OnTerminal(x1, y1) && OnTerminal(x2, y2)) ? 1 : 0;
}

void DedupeJointGroups() {
    auto& groups = WorkingNetwork.JointGroup;
    for (int g = 0; g < kMaxJointGroups; ++g) {
        Group& group = groups[g];
        if (group[0].x == 0 && group[0].y == 0) break;
        for (int p = 0; p < kJointGroupPoints; ++p) {
            if (group[p].x == 0) continue;
            int q = p + 1;
            while (q < kJointGroupPoints) {
                if (group[q].x == group[p].x && group[q].y == group[p].y) {
                    for (int r = q; r < kJointGroupPoints - 1; ++r) group[r] = group[r + 1];
                    group[kJointGroupPoints - 1] = JointPoint{0, 0};
                } else {
                    ++q;
                }
            }
        }
    }
}

int MergeJointGroups() {
    for (;;) {
        const int result = MergeOnce();
        if (result == 1) return 1;
        if (result == 2) return 0;
    }
}

void NumberElementTerminals() {
    auto& geometry = WorkingNetwork.ElementGeometry;
    for (auto& g : geometry) g.node1 = g.node2 = -1;
    const auto find = [](std::int32_t x, std::int32_t y) {
        for (int group = 0; group < kMaxJointGroups; ++group) {
            for (int p = 0; p < kJointGroupPoints; ++p) {
                const JointPoint& point = WorkingNetwork.JointGroup[group][p];
                if (point.x != 0 && point.x == x && point.y == y) return group;
            }
        }
        return -1;
    };
    for (int e = 0; e < kMaxElements; ++e) {
        auto& g = geometry[e];
        g.node1 = find(g.x1, g.y1);
        g.node2 = find(g.x2, g.y2);
        if (!NextSlotInUse(e)) break;
    }
}

int AddWireToJoints(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
    auto& groups = WorkingNetwork.JointGroup;
    for (int g = 0; g < kMaxJointGroups; ++g) {
        Group& group = groups[g];
        if (GroupEmpty(group)) {
            group[0] = JointPoint{x1, y1};
            group[1] = JointPoint{x2, y2};
            break;
        }
        const int free_place = FirstFreePlace(group);
        if (GroupHolds(group, x1, y1)) {
            if (free_place < 0) continue;
            group[free_place] = JointPoint{x2, y2};
            break;
        }
        if (GroupHolds(group, x2, y2)) {
            if (free_place < 0) continue;
            group[free_place] = JointPoint{x1, y1};
            break;
        }
    }
    if (MergeJointGroups() == 0) {
        NumberElementTerminals();
        return 0;
    }
    Warn(kTooManyJointsText);
    return 1;
}

int RebuildNetworkNodes() {
    std::memset(WorkingNetwork.JointGroup, 0, sizeof WorkingNetwork.JointGroup);
    if (WorkingNetwork.WireCount == 0) WorkingNetwork.WMatrixOrder = 0;
    const int wires =
        WorkingNetwork.WireCount < shell::kMaxWires ? WorkingNetwork.WireCount : shell::kMaxWires;
    for (int w = 0; w < wires; ++w) {
        const auto& wire = WorkingNetwork.Wire[w];
        AddWireToJoints(wire.x1, wire.y1, wire.x2, wire.y2);
    }

    const auto& geometry = WorkingNetwork.ElementGeometry;
    for (int e = 0; e < kMaxElements; ++e) {
        if (geometry[e].kind == shell::kElementFilter) {
            for (int f = e + 1; f < kMaxElements; ++f) {
                if (geometry[f].kind != shell::kElementFilter) continue;
                if (geometry[e].node2 == geometry[f].node2 && geometry[e].node2 != -1 &&
                    geometry[f].node2 != -1) {
                    Warn(kParallelOutputsText);
                    return 1;
                }
            }
        }
        if (!NextSlotInUse(e)) break;
    }
    return 0;
}

}  // namespace network

// Network topology: the wires of the WorkingNetwork become network nodes. Wire ends are
// collected into joint groups (group g = node g), every element terminal is numbered by the
// group that holds its point, WMatrixOrder counts the groups, and two filter outputs tied to
// one node are warned about. UI thread only.
#pragma once

#include <cstdint>

namespace network {

// 1 when both ends of the proposed wire lie on element terminals (any of the 64 slots), else 0.
int WireEndsOnTerminals(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2);

// Rebuilds all joint groups and node numbers from the wire table, then runs the
// parallel-outputs test; 1 when it warned about parallel outputs, else 0. The edit that led to
// the rebuild stays in every case.
int RebuildNetworkNodes();

// Adds one wire's ends to the groups, merges groups and numbers the terminals; 1 when a group
// overflowed ("Unable to proceed, too many joints !"), else 0.
int AddWireToJoints(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2);

// Merges every two groups that share a point and sets WMatrixOrder; 1 on overflow, else 0.
int MergeJointGroups();

// Removes repeated points inside each group in use.
void DedupeJointGroups();

// Writes node1 and node2 of every element from the joint groups (-1 for a terminal on no wire).
void NumberElementTerminals();

// Texts and caption of the topology's warnings.
inline constexpr const char* kTopologyCaption = "Splitter Window";
inline constexpr const char* kParallelOutputsText =
    "Parallel Connection of Outputs Is NOT Permitted\nPlease Disconnect This Link";
inline constexpr const char* kTooManyJointsText = "Unable to proceed, too many joints !";

}  // namespace network

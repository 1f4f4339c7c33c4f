// The baffle outline of the diffraction calculator: its check and its subdivision into short
// straight edge elements, the secondary sources of the edge diffraction sum. GUI thread only.
#pragma once

#include "shell/BaffleRecord.h"

namespace driverdata {

// Distance of two points in the plane (z and the flag word ignored), worked in extended
// precision and returned as float.
float PointDistance2D(const shell::BafflePoint& a, const shell::BafflePoint& b);

// The angle at a between the directions to b and to c [rad]. Points that make the cosine rule's
// argument leave -1..1 (rounding near collinear points) are clamped; a zero side gives 0.
float VertexAngle(const shell::BafflePoint& a, const shell::BafflePoint& b,
                  const shell::BafflePoint& c);

// Checks the outline of *shell::Baffle and fills the node, side, point and element tables.
// Returns 0 when the elements are built, 1 when the outline is refused: after a message
// (owned by the frame window), except for an outline of fewer than 3 nodes. A refusal leaves the
// element tables of the previous build.
int BuildBaffleEdges();

}  // namespace driverdata

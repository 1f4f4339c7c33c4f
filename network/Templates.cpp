#include "network/Templates.h"

#include <cstring>
#include <initializer_list>

#include "network/WorkingNetwork.h"

namespace network {

namespace {

using shell::kElementFilter;
using shell::kElementGround;
using shell::kElementInputNode;
using shell::kElementJunction;
using shell::kElementOutputPort;
using shell::kElementRoomEq;

// Writes exactly what a template writes of an element: both terminals, the kind and two nodes.
void SetElement(int slot, std::int32_t kind, int x1, int y1, int x2, int y2, int node1, int node2) {
    ElementGeometryRecord& g = WorkingNetwork.ElementGeometry[slot];
    g.x1 = x1;
    g.y1 = y1;
    g.x2 = x2;
    g.y2 = y2;
    g.kind = kind;
    g.node1 = node1;
    g.node2 = node2;
}

void Filter(int slot, int x, int y, int node1, int node2) {
    SetElement(slot, kElementFilter, x, y, x + 40, y, node1, node2);
}
void RoomEq(int slot, int x, int y, int node1, int node2) {
    SetElement(slot, kElementRoomEq, x, y, x + 40, y, node1, node2);
}
void Port(int slot, int x, int y, int node1, int node2) {
    SetElement(slot, kElementOutputPort, x, y, x, y + 40, node1, node2);
}
void Point(int slot, std::int32_t kind, int x, int y, int node) {
    SetElement(slot, kind, x, y, x, y, node, node);
}

// Appends a wire in template order (the wire slots are written in sequence from 0).
struct WireWriter {
    int next = 0;
    void Add(int x1, int y1, int x2, int y2) {
        WireRecord& w = WorkingNetwork.Wire[next++];
        w.x1 = x1;
        w.y1 = y1;
        w.x2 = x2;
        w.y2 = y2;
    }
};

void Finish(int elements, int wires, int nodes) {
    WorkingNetwork.ElementCount = elements;
    WorkingNetwork.WireCount = wires;
    WorkingNetwork.WMatrixOrder = nodes;
    WorkingNetwork.ToolMode = 1;  // Draw
}

// Input node, two filters and the junction on row y, junction at column j; wires 0 to 2.
void CommonFront(WireWriter& wires, int y, int j) {
    Point(0, kElementInputNode, 20, y, 0);
    Filter(1, 30, y, 0, 1);
    Filter(2, 100, y, 1, 2);
    Point(3, kElementJunction, j, y, 2);
    wires.Add(20, y, 30, y);
    wires.Add(70, y, 100, y);
    wires.Add(140, y, j, y);
}

// ---- 2 to 4 ways: filter A, filter B, output port, ground ----

struct ShortRow {
    int y;
    int a, b, port, ground;  // slots
    int n1, n2, n3;          // nodes: A-B, B-port, port-ground
};

void PlaceShortRow(const ShortRow& r) {
    Filter(r.a, 180, r.y, 2, r.n1);
    Filter(r.b, 250, r.y, r.n1, r.n2);
    Port(r.port, 330, r.y, r.n2, r.n3);
    Point(r.ground, kElementGround, 330, r.y + 60, r.n3);
}
void ShortAB(WireWriter& w, int y) { w.Add(220, y, 250, y); }
void ShortBPort(WireWriter& w, int y) { w.Add(290, y, 330, y); }
void ShortPortGround(WireWriter& w, int y) { w.Add(330, y + 40, 330, y + 60); }

// ---- 5 to 8 ways: filter A, filter B, room EQ, output port, ground ----

struct LongRow {
    int y;
    int first;   // slots first..first+3: filter A, filter B, room EQ, output port
    int ground;  // slot of the ground
    int a, b, c, d;
};

void PlaceLongRow(const LongRow& r) {
    Filter(r.first, 190, r.y, 2, r.a);
    Filter(r.first + 1, 260, r.y, r.a, r.b);
    RoomEq(r.first + 2, 340, r.y, r.b, r.c);
    Port(r.first + 3, 420, r.y, r.c, r.d);
    Point(r.ground, kElementGround, 420, r.y + 60, r.d);
}
void LongAB(WireWriter& w, int y) { w.Add(230, y, 260, y); }
void LongBEq(WireWriter& w, int y) { w.Add(300, y, 340, y); }
void LongEqPort(WireWriter& w, int y) { w.Add(380, y, 420, y); }
void LongPortGround(WireWriter& w, int y) { w.Add(420, y + 40, 420, y + 60); }

// Rows 40..480 top to bottom: slots of the 5-way scheme, nodes from the given bases.
LongRow MakeRow(int y, int first, int ground, int r, int a0, int b0, int c0, int d0) {
    return LongRow{y, first, ground, a0 + r, b0 + r, c0 + r, d0 + r};
}

// Front, the feed to row 360 and the four vertical feeds shared by 5 to 8 ways.
void LongFront(WireWriter& w) {
    CommonFront(w, 360, 180);
    w.Add(180, 360, 190, 360);
    w.Add(190, 260, 190, 360);
    w.Add(190, 160, 190, 260);
    w.Add(190, 40, 190, 160);
    w.Add(190, 360, 190, 480);
}

constexpr int kRowsTo480[5] = {40, 160, 260, 360, 480};

void AllRowLinks(WireWriter& w, const int* ys, int count) {
    for (int i = 0; i < count; ++i) LongAB(w, ys[i]);
    for (int i = 0; i < count; ++i) LongBEq(w, ys[i]);
    for (int i = 0; i < count; ++i) LongEqPort(w, ys[i]);
    for (int i = 0; i < count; ++i) LongPortGround(w, ys[i]);
}

// Rows 40..480 of 5 and 6 ways (grounds 24..28).
void PlaceRows5(int a0, int b0, int c0, int d0) {
    constexpr int kFirst[5] = {20, 12, 8, 4, 16};
    for (int r = 0; r < 5; ++r) {
        PlaceLongRow(MakeRow(kRowsTo480[r], kFirst[r], 24 + r, r, a0, b0, c0, d0));
    }
}

// Rows 40..600 of 7 and 8 ways, with the row at 720; grounds from `ground0` down the rows.
void PlaceRows7(int ground0) {
    constexpr int kYs[6] = {40, 160, 260, 360, 480, 600};
    constexpr int kFirst[6] = {24, 12, 8, 4, 16, 20};
    for (int r = 0; r < 6; ++r)
        PlaceLongRow(MakeRow(kYs[r], kFirst[r], ground0 + r, r, 3, 9, 15, 21));
    PlaceLongRow(LongRow{720, 28, ground0 + 6, 27, 28, 29, 30});
}

// Wires of 7 ways up to the A-B, B-EQ, EQ-port links of row 720.
void Wires7Through720(WireWriter& w) {
    LongFront(w);
    w.Add(190, 480, 190, 600);
    constexpr int kYs[6] = {40, 160, 260, 360, 480, 600};
    AllRowLinks(w, kYs, 6);
    w.Add(190, 600, 190, 720);
    LongAB(w, 720);
    LongBEq(w, 720);
    LongEqPort(w, 720);
}

}  // namespace

int ClearAllPaneStores() {
    ClearPane1Store();
    ClearPane2Store();
    ClearPane3Store();
    ClearPane4Store();
    ClearPane5Store();
    ClearPane6Store();
    ClearPane7Store();
    return 0;
}

int ClearWorkingNetwork() {
    NetworkTables& t = WorkingNetwork;
    RestoredPane = 0;
    t.WMatrixOrder = 0;
    t.WireCount = 0;
    t.ElementCount = 0;
    t.ToolMode = 0;
    std::memset(t.SpareMatrix, 0, sizeof t.SpareMatrix);
    std::memset(t.JointGroup, 0, sizeof t.JointGroup);
    for (int e = 0; e < shell::kMaxElements; ++e) {
        ResetElementSlot(t, e, SlotDefaults::kWorkingNetwork, "No File Loaded");
    }
    for (int w = 0; w < shell::kMaxWires; ++w) ResetWireSlot(t, w);
    return 0;
}

int Build2WayTemplate() {
    WireWriter w;
    CommonFront(w, 90, 170);
    const ShortRow rows[2] = {{30, 4, 6, 8, 10, 3, 7, 5}, {130, 5, 7, 9, 11, 4, 8, 6}};
    for (const auto& r : rows) PlaceShortRow(r);
    w.Add(180, 30, 170, 90);
    w.Add(180, 130, 170, 90);
    ShortAB(w, 30);
    ShortAB(w, 130);
    ShortPortGround(w, 30);
    ShortPortGround(w, 130);
    ShortBPort(w, 30);
    ShortBPort(w, 130);
    Finish(12, w.next, 9);
    return 0;
}

int Build3WayTemplate() {
    WireWriter w;
    CommonFront(w, 140, 170);
    const ShortRow rows[3] = {
        {40, 10, 11, 12, 13, 3, 9, 6}, {140, 4, 5, 6, 14, 4, 10, 7}, {240, 7, 8, 9, 15, 5, 11, 8}};
    for (const auto& r : rows) PlaceShortRow(r);
    w.Add(170, 140, 180, 140);
    w.Add(180, 40, 170, 140);
    w.Add(180, 240, 170, 140);
    for (int y : {40, 140, 240}) ShortAB(w, y);
    for (int y : {40, 140, 240}) ShortPortGround(w, y);
    for (int y : {40, 140, 240}) ShortBPort(w, y);
    Finish(16, w.next, 12);
    return 0;
}

int Build4WayTemplate() {
    WireWriter w;
    CommonFront(w, 140, 170);
    const ShortRow rows[4] = {{40, 10, 11, 12, 13, 3, 12, 7},
                              {140, 4, 5, 6, 14, 4, 13, 8},
                              {240, 7, 8, 9, 15, 5, 6, 9},
                              {340, 16, 17, 18, 19, 10, 14, 11}};
    for (const auto& r : rows) PlaceShortRow(r);
    w.Add(170, 140, 180, 140);
    for (int y : {40, 140, 240}) ShortAB(w, y);
    ShortBPort(w, 240);
    for (int y : {40, 140, 240}) ShortPortGround(w, y);
    w.Add(180, 40, 180, 140);
    w.Add(180, 140, 180, 340);  // overlaps the next wire between y 240 and 340; both stored
    w.Add(180, 240, 180, 340);
    ShortAB(w, 340);
    ShortPortGround(w, 340);
    for (int y : {40, 140, 340}) ShortBPort(w, y);
    Finish(20, w.next, 15);
    return 0;
}

int Build5WayTemplate() {
    WireWriter w;
    LongFront(w);
    PlaceRows5(3, 8, 13, 18);
    AllRowLinks(w, kRowsTo480, 5);
    Finish(29, w.next, 23);
    return 0;
}

int Build6WayTemplate() {
    WireWriter w;
    LongFront(w);
    PlaceRows5(3, 8, 13, 18);
    PlaceLongRow(LongRow{600, 29, 33, 23, 24, 25, 26});
    AllRowLinks(w, kRowsTo480, 5);
    LongPortGround(w, 600);
    w.Add(190, 480, 190, 600);
    LongAB(w, 600);
    LongBEq(w, 600);
    LongEqPort(w, 600);
    Finish(34, w.next, 27);
    return 0;
}

int Build7WayTemplate() {
    WireWriter w;
    PlaceRows7(32);
    Wires7Through720(w);
    LongPortGround(w, 720);
    Finish(39, w.next, 31);
    return 0;
}

int Build8WayTemplate() {
    WireWriter w;
    PlaceRows7(36);
    PlaceLongRow(LongRow{840, 32, 43, 31, 32, 33, 34});
    Wires7Through720(w);
    w.Add(190, 720, 190, 840);
    LongAB(w, 840);
    LongBEq(w, 840);
    LongEqPort(w, 840);
    LongPortGround(w, 720);
    LongPortGround(w, 840);
    Finish(44, w.next, 35);
    return 0;
}

int BuildWayTemplate(int ways) {
    switch (ways) {
        case 2:
            return Build2WayTemplate();
        case 3:
            return Build3WayTemplate();
        case 4:
            return Build4WayTemplate();
        case 5:
            return Build5WayTemplate();
        case 6:
            return Build6WayTemplate();
        case 7:
            return Build7WayTemplate();
        case 8:
            return Build8WayTemplate();
        default:
            return 1;
    }
}

}  // namespace network

#include "solver/NodalSolution.h"

#include <cmath>
#include <cstring>

#include "solver/FilterSections.h"
#include "solver/SharedState.h"

namespace solver {

namespace {

using Complex = std::complex<double>;

// Branch impedances and the port load, as single-precision values (ohm).
constexpr float kSenseImpedance = 1000000.0f;
constexpr float kDriveImpedance = 0.1f;
constexpr float kSourceImpedance = 0.001f;
constexpr float kLoadImpedance = 10000.0f;

KeeleRampState KeeleRamps[kMaxElements];

bool NodeInRange(const NetworkTables& net, int node) {
    return node >= 0 && node < net.WMatrixOrder;
}

}  // namespace

int CountElements(const NetworkTables& net) {
    int count = 0;
    while (count < kMaxElements && net.ElementGeometry[count].kind > 0) ++count;
    return count;
}

int FindHotNode(const NetworkTables& net, int element) {
    const int n1 = net.ElementGeometry[element].node1;
    const int n2 = net.ElementGeometry[element].node2;
    for (int g = 0; g < kMaxElements; ++g) {
        if (net.ElementGeometry[g].kind != shell::kElementGround) continue;
        const int g1 = net.ElementGeometry[g].node1;
        const int g2 = net.ElementGeometry[g].node2;
        if (n1 == g1 || n1 == g2) return n2;
        if (n2 == g1 || n2 == g2) return n1;
    }
    return -1;
}

void ResetKeeleRamps() {
    for (KeeleRampState& ramp : KeeleRamps) ramp = KeeleRampState{0.0f, 0};
}

std::complex<float> ElementFilterResponse(NetworkTables& net, int element, float f) {
    float* p = net.ElementParams[element];
    const FilterSectionFields fields{p[shell::kParamFamily], p[shell::kParamSlope],
                                     p[shell::kParamFo],     p[shell::kParamBypass],
                                     p[shell::kParamRQ],     p[shell::kParamGain]};
    float clamped_r = p[shell::kParamRQ];
    const std::complex<float> h =
        EvaluateFilterSection(fields, f, &clamped_r, &KeeleRamps[element]);
    p[shell::kParamRQ] = clamped_r;
    return h;
}

std::complex<float>* ComputeFilterSectionResponse(std::complex<float>* out, float f, int element) {
    if (element < 0 || element >= kMaxElements) {
        *out = {1.0f, 0.0f};
        return out;
    }
    *out = ElementFilterResponse(shell::WorkingNetwork, element, f);
    return out;
}

int BuildNodalLayout(const NetworkTables& net, NodalLayout* layout) {
    std::memset(layout, 0, sizeof(*layout));
    if (net.WMatrixOrder <= 0 || net.WMatrixOrder > kMaxNodes) return kLayoutBadNode;
    const int count = CountElements(net);
    layout->element_count = count;
    layout->input_element = -1;
    int first_ground_node = -1;
    bool is_ground_node[kMaxNodes] = {};

    // Census: ports, sections, the input node and the ground nodes, in slot order.
    for (int i = 0; i < count; ++i) {
        const int kind = ElementKindAt(net, i);
        const int n1 = net.ElementGeometry[i].node1;
        const int n2 = net.ElementGeometry[i].node2;
        if (kind == shell::kElementOutputPort || kind == shell::kElementInputNode ||
            kind == shell::kElementFilter || kind == shell::kElementGround ||
            kind == shell::kElementRoomEq) {
            if (!NodeInRange(net, n1) || !NodeInRange(net, n2)) return kLayoutBadNode;
        }
        switch (kind) {
            case shell::kElementOutputPort: {
                if (layout->m >= kMaxPortSlots) return kLayoutTooManyPorts;
                const float* p = net.ElementParams[i];
                PortSlot& slot = layout->slots[layout->m];
                slot.element = i;
                slot.port = TruncatedIndex(p[shell::kParamOutputPort], 0, 16, 0);
                slot.hot_node = FindHotNode(net, i);
                slot.hot_row = -1;
                slot.delay_ms = PortDelayMs(p[shell::kParamDelay]);
                slot.plot_flag = TruncatedIndex(p[shell::kParamPlotFlag], -1, 1, 0);
                ++layout->m;
                break;
            }
            case shell::kElementFilter:
            case shell::kElementRoomEq:
                ++layout->q;
                break;
            case shell::kElementInputNode:
                if (layout->input_element < 0) layout->input_element = i;
                break;
            case shell::kElementGround:
                if (first_ground_node < 0) first_ground_node = n1;
                is_ground_node[n1] = true;
                is_ground_node[n2] = true;
                break;
            default:
                break;
        }
    }
    layout->slot_count = layout->m;
    if (layout->input_element < 0 || first_ground_node < 0) return kLayoutNoInput;
    layout->e = 2 * layout->q + 1;
    layout->b = layout->m + layout->e;

    // Incidence: output ports first (the higher-numbered node gets -1), then two branches per
    // section to the first ground's node, then the input branch as the last column.
    const int g = first_ground_node;
    int col = 0;
    for (int s = 0; s < layout->m; ++s) {
        const int i = layout->slots[s].element;
        const int a = net.ElementGeometry[i].node1;
        const int c = net.ElementGeometry[i].node2;
        if (a > c) {
            layout->a[a][col] = -1;
            layout->a[c][col] = +1;
        } else {
            layout->a[a][col] = +1;
            layout->a[c][col] = -1;
        }
        ++col;
    }
    for (int i = 0; i < count; ++i) {
        const int kind = ElementKindAt(net, i);
        if (kind != shell::kElementFilter && kind != shell::kElementRoomEq) continue;
        layout->a[net.ElementGeometry[i].node1][col] = -1;
        layout->a[g][col] = +1;
        layout->a[net.ElementGeometry[i].node2][col + 1] = -1;
        layout->a[g][col + 1] = +1;
        layout->branch_element[col - layout->m] = i;
        layout->branch_element[col + 1 - layout->m] = i;
        col += 2;
    }
    const int input = layout->input_element;
    layout->a[net.ElementGeometry[input].node2][col] = -1;
    layout->a[g][col] = +1;
    layout->branch_element[col - layout->m] = input;

    // Ground reduction: every ground node and every node that carries no branch is removed; the
    // rows kept are numbered in network order, and every later lookup goes through this map.
    layout->n = 0;
    for (int node = 0; node < net.WMatrixOrder; ++node) {
        bool carries = false;
        for (int c = 0; c < layout->b && !carries; ++c) carries = layout->a[node][c] != 0;
        if (is_ground_node[node] || !carries) {
            layout->node_row[node] = -1;
        } else {
            layout->node_row[node] = layout->n;
            layout->row_node[layout->n] = node;
            ++layout->n;
        }
    }
    for (int node = net.WMatrixOrder; node < kMaxNodes; ++node) layout->node_row[node] = -1;
    layout->input_row = layout->node_row[net.ElementGeometry[input].node2];
    if (layout->n == 0) return kLayoutNoNodes;
    for (int c = 0; c < layout->b; ++c) {
        layout->column_entries[c] = 0;
        for (int r = 0; r < layout->n; ++r) {
            const int entry = layout->a[layout->row_node[r]][c];
            if (entry == 0) continue;
            // A column touches two nodes at most: the incidence sets, never adds, its entries.
            if (layout->column_entries[c] >= 2) break;
            const int slot = layout->column_entries[c]++;
            layout->column_row[c][slot] = r;
            layout->column_sign[c][slot] = entry;
        }
    }
    for (int s = 0; s < layout->m; ++s) {
        PortSlot& slot = layout->slots[s];
        if (!NodeInRange(net, slot.hot_node)) return kLayoutHotNode;
        slot.hot_row = layout->node_row[slot.hot_node];
        if (slot.hot_row < 0) return kLayoutHotNode;
    }
    return kLayoutOk;
}

int SolveComplexSystem(int n, std::complex<double> (*mat)[kMaxNodes], std::complex<double>* rhs,
                       std::complex<double>* v) {
    // Gaussian elimination with partial pivoting. A pivot that is not finite, or negligible
    // against the largest entry of the matrix, means the network has no unique solution.
    double scale = 0.0;
    for (int r = 0; r < n; ++r) {
        for (int c = 0; c < n; ++c) scale = std::fmax(scale, std::abs(mat[r][c]));
    }
    if (!(scale > 0.0) || !std::isfinite(scale)) return 1;
    const double tiny = scale * 1e-13;
    for (int p = 0; p < n; ++p) {
        int best = p;
        double best_abs = std::abs(mat[p][p]);
        for (int r = p + 1; r < n; ++r) {
            const double a = std::abs(mat[r][p]);
            if (a > best_abs) {
                best = r;
                best_abs = a;
            }
        }
        if (!(best_abs > tiny) || !std::isfinite(best_abs)) return 1;
        if (best != p) {
            for (int c = p; c < n; ++c) std::swap(mat[p][c], mat[best][c]);
            std::swap(rhs[p], rhs[best]);
        }
        const Complex inv = 1.0 / mat[p][p];
        for (int r = p + 1; r < n; ++r) {
            if (mat[r][p] == 0.0) continue;
            const Complex factor = mat[r][p] * inv;
            const double fr = factor.real();
            const double fi = factor.imag();
            for (int c = p + 1; c < n; ++c) {
                // Plain products: the values are finite here, so no special-case handling.
                const double pr = mat[p][c].real();
                const double pi = mat[p][c].imag();
                mat[r][c] = Complex(mat[r][c].real() - (fr * pr - fi * pi),
                                    mat[r][c].imag() - (fr * pi + fi * pr));
            }
            rhs[r] -= factor * rhs[p];
        }
    }
    for (int r = n - 1; r >= 0; --r) {
        Complex sum = rhs[r];
        for (int c = r + 1; c < n; ++c) sum -= mat[r][c] * v[c];
        v[r] = sum / mat[r][r];
        if (!std::isfinite(v[r].real()) || !std::isfinite(v[r].imag())) return 1;
    }
    return 0;
}

int SolveNodalPoint(const NodalLayout& layout, NetworkTables& net, int k, float f, Complex* v) {
    const int n = layout.n;
    const int m = layout.m;
    const int e = layout.e;
    Complex mat[kMaxNodes][kMaxNodes];
    Complex rhs[kMaxNodes];
    for (int r = 0; r < n; ++r) {
        for (int c = 0; c < n; ++c) mat[r][c] = 0.0;
        rhs[r] = 0.0;
    }

    // Element branches: admittance ye of each branch and its gain entries G[j][j] and, for a
    // section's output branch, G[j][j-1] = H. Me[r][c] += Ae[r][j] ye_j G[j][i] Ae[c][i].
    auto stamp = [&](int j, int i, double ye, Complex gain) {
        const int cj = m + j;
        const int ci = m + i;
        for (int u = 0; u < layout.column_entries[cj]; ++u) {
            const int r = layout.column_row[cj][u];
            for (int w = 0; w < layout.column_entries[ci]; ++w) {
                const int c = layout.column_row[ci][w];
                mat[r][c] +=
                    static_cast<double>(layout.column_sign[cj][u] * layout.column_sign[ci][w]) *
                    ye * gain;
            }
        }
    };
    const double ye_sense = 1.0f / kSenseImpedance;
    const double ye_drive = 1.0f / kDriveImpedance;
    const double ye_source = 1.0f / kSourceImpedance;
    for (int j = 0; j + 1 < e; j += 2) {
        const int element = layout.branch_element[j];
        Complex h;
        if (ElementKindAt(net, element) == shell::kElementFilter) {
            const std::complex<float> hf = ElementFilterResponse(net, element, f);
            h = Complex(hf.real(), hf.imag());
        } else if (net.ElementParams[element][shell::kParamBypass] == 1.0f) {
            h = 1.0;
        } else {
            const shell::ComplexPoint t = net.ElementTransfer[element][k];
            h = Complex(t.re, t.im);
        }
        stamp(j, j, ye_sense, -1.0);
        stamp(j + 1, j + 1, ye_drive, -1.0);
        stamp(j + 1, j, ye_drive, h);
    }
    stamp(e - 1, e - 1, ye_source, 1.0);
    // Injection J = Re(Ae Ye) s with the source at the input branch; the system is M V = -J.
    for (int r = 0; r < n; ++r) {
        rhs[r] = -static_cast<double>(layout.a[layout.row_node[r]][m + e - 1]) * ye_source;
    }
    // Loads: Mo = Ao YL AoT, subtracted.
    const Complex yl = Complex(1.0, 0.0) / Complex(kLoadImpedance, 0.0);
    for (int p = 0; p < m; ++p) {
        for (int u = 0; u < layout.column_entries[p]; ++u) {
            for (int w = 0; w < layout.column_entries[p]; ++w) {
                mat[layout.column_row[p][u]][layout.column_row[p][w]] -=
                    static_cast<double>(layout.column_sign[p][u] * layout.column_sign[p][w]) * yl;
            }
        }
    }

    return SolveComplexSystem(n, mat, rhs, v);
}

}  // namespace solver

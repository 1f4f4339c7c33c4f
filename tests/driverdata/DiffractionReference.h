// The edge diffraction model worked out a second time, in double precision and from the
// outline's own geometry, so that the calculator's code is pinned to the model's formulas: the
// direct sound, each edge element's view angle, the paths of the three edge profiles, the piston
// sampling and the one- and two-driver sums with the power curve.
#pragma once

#include <cmath>
#include <complex>
#include <vector>

namespace diffraction_reference {

using Complex = std::complex<double>;

struct Vec {
    double x;
    double y;
};

inline double Distance(Vec a, Vec b) { return std::hypot(a.x - b.x, a.y - b.y); }

// The outline points of a w x h rectangle with its corner at (0, 0), counter-clockwise from the
// corner, as the calculator subdivides sides of even length up to 120 units: a point every 2.
inline std::vector<Vec> RectanglePoints(int w, int h) {
    std::vector<Vec> points;
    for (int x = 0; x < w; x += 2) points.push_back({double(x), 0.0});
    for (int y = 0; y < h; y += 2) points.push_back({double(w), double(y)});
    for (int x = w; x > 0; x -= 2) points.push_back({double(x), double(h)});
    for (int y = h; y > 0; y -= 2) points.push_back({0.0, double(y)});
    return points;
}

struct Settings {
    int profile = 0;                                        // 0 square, 1 bevel, 2 round
    double bevel_a = 10.0, bevel_b = 10.0, round_r = 10.0;  // cm
    bool directivity = false;
    bool dipole = false;
    double raster_cm = 1.0;
    double mic_distance_cm = 100.0;
    Vec mic{40.0, 40.0};
};

// The pressure at the microphone of a point source at `source` (raster units) at `f` Hz.
inline Complex Pressure(const std::vector<Vec>& outline, Vec source, double f, const Settings& s) {
    constexpr double kSpeed = 344.0;
    const double omega = 6.284 * f;
    const double m = 0.01 * s.raster_cm;  // metres per raster unit
    const double z = 0.01 * s.mic_distance_cm;
    const double direct = std::hypot(z, m * Distance(s.mic, source));
    const double reference = s.directivity ? 0.0 : direct;
    const double direct_phase = s.directivity ? -omega * direct / kSpeed : 0.0;
    Complex sum = std::polar(2.0 / direct, direct_phase);

    const double dipole = s.dipole ? 2.0 : 1.0;  // the dipole weights are twice the others
    const auto path = [&](double length, double norm, double weight, double k, double phi) {
        const double w = dipole * weight / norm * (-6.0 / 7.0) * k * phi;
        return std::polar(w, -omega * (length - reference) / kSpeed);
    };
    const std::size_t n = outline.size();
    for (std::size_t e = 0; e < n; ++e) {
        const Vec a = outline[e];
        const Vec b = outline[(e + 1) % n];
        const Vec mid{0.5 * (a.x + b.x), 0.5 * (a.y + b.y)};
        const double L = std::hypot(m * Distance(s.mic, mid), z);
        const double l = m * Distance(a, b);
        const double sd = m * Distance(source, mid);
        const double q = (0.5 * l - sd) / (0.5 * l + sd);
        // The angle at the midpoint between the source and the element's second end.
        const double ms = Distance(mid, source), mb = Distance(mid, b), sb = Distance(source, b);
        const double theta = std::acos((ms * ms + mb * mb - sb * sb) / (2.0 * ms * mb));
        const double t = std::tan(0.5 * theta);
        const double phi = std::atan2(q / t + q * t, 1.0 - q * q) + M_PI / 2.0;
        if (s.profile == 0) {
            sum += path(sd + L, L, 1.0, 1.0 / (1.55 * M_PI), phi);
        } else if (s.profile == 1) {
            const double k = 1.0 / (1.7 * M_PI);
            // a: the bevel's depth along the side wall (away from the microphone), b: its width
            // along the baffle face.
            const double d = std::hypot(sd + 0.01 * s.bevel_b, z + 0.01 * s.bevel_a);
            const double face = 0.01 * std::hypot(s.bevel_a, s.bevel_b);
            sum += path(sd + L, L, 0.65, k, phi);
            sum += path(sd + d + face, d + face, 0.55, k, phi);
        } else if (s.profile == 2) {
            const double k = 1.0 / (1.75 * M_PI);
            const double r = 0.01 * s.round_r;
            const double chord = 2.0 * r * std::sin(M_PI / 16.0);
            const double angles[4] = {M_PI / 8.0, 0.7855, 3.0 * M_PI / 8.0, M_PI / 2.0};
            const double weights[4] = {0.25, 0.12, 0.06, 0.03};
            sum += path(sd + L, L, 0.45, k, phi);
            for (int j = 0; j < 4; ++j) {
                // Around the quarter round: out along the face by r sin(alpha), down the wall by
                // r (1 - cos(alpha)), and j + 1 chords of arc.
                const double d =
                    std::hypot(sd + r * std::sin(angles[j]), z + r - r * std::cos(angles[j]));
                const double arc = (j + 1) * chord;
                sum += path(sd + d + arc, arc + d, weights[j], k, phi);
            }
        }
    }
    return sum;
}

// The piston's sample offsets (cm, added to raster positions as they are) for list index i.
inline std::vector<Vec> PistonOffsets(double radius, int list_index) {
    std::vector<Vec> out;
    const double step = 2.0 * radius / (list_index + 2);
    for (double ox = -radius; ox < 1.1 * radius; ox += step)
        for (double oy = -radius; oy < 1.1 * radius; oy += step)
            if (std::sqrt(ox * ox + oy * oy + 1e-7) <= 1.075 * radius) out.push_back({ox, oy});
    return out;
}

// The mean pressure of a driver's piston.
inline Complex DriverPressure(const std::vector<Vec>& outline, Vec centre,
                              const std::vector<Vec>& offsets, double f, const Settings& s) {
    Complex sum = 0.0;
    for (const Vec& o : offsets) sum += Pressure(outline, {centre.x + o.x, centre.y + o.y}, f, s);
    return sum / double(offsets.size());
}

struct Point {
    double spl;    // dB
    double phase;  // degrees
};

// One driver: the level and phase of its mean pressure.
inline Point OneDriver(Complex h) {
    return {10.0 * std::log10(std::norm(h)), std::atan2(h.imag(), h.real()) * 57.288};
}

// Two drivers: each at 0.7071 of its pressure, levels added by power, phase of the sum.
inline Point TwoDrivers(Complex h1, Complex h2) {
    h1 *= 0.7071;
    h2 *= 0.7071;
    const Complex sum = h1 + h2;
    return {10.0 * std::log10(std::norm(h1) + std::norm(h2)),
            std::atan2(sum.imag(), sum.real()) * 57.288};
}

// The power response of two drivers `spacing_m` apart.
inline double PowerResponse(double f, double spacing_m) {
    const double x = 6.284 * f * spacing_m / 344.0;
    return 10.0 * std::log10(1.0 + std::sin(x) / x);
}

// The sweep frequency k of a plot from fstart to fstop.
inline double SweepFrequency(int k, double fstart, double fstop) {
    return fstart * std::pow(fstop / fstart, (k + 1) / 2000.0);
}

// The difference of two phases in degrees, across the wrap.
inline double PhaseDifference(double a, double b) {
    double d = std::fmod(a - b, 360.0);
    if (d > 180.0) d -= 360.0;
    if (d < -180.0) d += 360.0;
    return d;
}

}  // namespace diffraction_reference

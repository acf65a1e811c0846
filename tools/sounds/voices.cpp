#include "voices.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace snd {

namespace {

constexpr double kTwoPi = 6.283185307179586;

// Fixed-seed noise so that every build renders the same samples.
struct Noise {
    uint32_t s = 0x9E3779B9u;
    double next() {
        s ^= s << 13; s ^= s >> 17; s ^= s << 5;
        return (s >> 8) / double(1u << 23) - 1.0;
    }
};

size_t frames(double seconds) { return size_t(seconds * kRate); }

// Band-limited sawtooth step (polyBLEP).
double polyBlep(double t, double dt) {
    if (t < dt) { t /= dt; return t + t - t * t - 1.0; }
    if (t > 1.0 - dt) { t = (t - 1.0) / dt; return t * t + t + t + 1.0; }
    return 0.0;
}

struct Saw {
    double phase = 0, inc = 0;
    explicit Saw(double f, double p0 = 0) : phase(p0), inc(f / kRate) {}
    double next() {
        double v = 2.0 * phase - 1.0 - polyBlep(phase, inc);
        phase += inc;
        if (phase >= 1.0) phase -= 1.0;
        return v;
    }
};

// Short linear fade at both ends so that no sample starts or stops with a click.
void fadeEnds(std::vector<float>& st, double inSec, double outSec) {
    const size_t n = st.size() / 2, fi = frames(inSec), fo = frames(outSec);
    for (size_t i = 0; i < n; ++i) {
        double g = 1.0;
        if (i < fi) g = double(i) / fi;
        if (i + fo > n) g = std::min(g, double(n - i) / fo);
        st[2 * i] *= float(g);
        st[2 * i + 1] *= float(g);
    }
}

void normalise(std::vector<float>& st, double peak) {
    float m = 0;
    for (float v : st) m = std::max(m, std::fabs(v));
    if (m > 0)
        for (float& v : st) v = float(v * peak / m);
}

std::vector<float> mono(const std::vector<double>& m) {
    std::vector<float> st(m.size() * 2);
    for (size_t i = 0; i < m.size(); ++i) st[2 * i] = st[2 * i + 1] = float(m[i]);
    return st;
}

// A slowly sweeping six-stage phaser over a detuned sawtooth chord; the two
// channels sweep in quadrature.
std::vector<float> phaser() {
    const size_t n = frames(3.0);
    std::vector<float> st(n * 2);
    Saw oscs[] = {Saw(110.0), Saw(110.6, 0.3), Saw(164.8, 0.1), Saw(220.4, 0.7), Saw(329.2, 0.5)};
    const double gains[] = {0.35, 0.35, 0.25, 0.2, 0.12};
    double ap[2][6] = {}, fb[2] = {};
    for (size_t i = 0; i < n; ++i) {
        double x = 0;
        for (int k = 0; k < 5; ++k) x += oscs[k].next() * gains[k];
        const double t = i / kRate;
        for (int ch = 0; ch < 2; ++ch) {
            const double lfo = 0.5 + 0.5 * std::sin(kTwoPi * 0.45 * t + ch * kTwoPi / 4);
            const double fc = 200.0 * std::pow(20.0, lfo);  // 200 Hz .. 4 kHz
            const double tn = std::tan(M_PI * fc / kRate), a = (tn - 1) / (tn + 1);
            double y = x + fb[ch] * 0.55;
            for (int s = 0; s < 6; ++s) {
                // First-order allpass, transposed direct form.
                const double out = a * y + ap[ch][s];
                ap[ch][s] = y - a * out;
                y = out;
            }
            fb[ch] = y;
            st[2 * i + ch] = float(0.5 * (x + y));
        }
    }
    fadeEnds(st, 0.04, 0.5);
    return st;
}

std::vector<float> kick() {
    const size_t n = frames(0.55);
    std::vector<double> m(n);
    double ph = 0;
    Noise nz;
    for (size_t i = 0; i < n; ++i) {
        const double t = i / kRate;
        const double f = 45.0 + 115.0 * std::exp(-t / 0.035);
        ph += kTwoPi * f / kRate;
        const double click = t < 0.004 ? nz.next() * (1 - t / 0.004) * 0.4 : 0.0;
        m[i] = std::sin(ph) * std::exp(-t / 0.22) + click;
    }
    return mono(m);
}

std::vector<float> snare() {
    const size_t n = frames(0.35);
    std::vector<double> m(n);
    Noise nz;
    double lp = 0, prev = 0;
    for (size_t i = 0; i < n; ++i) {
        const double t = i / kRate;
        const double tone = (std::sin(kTwoPi * 185 * t) + 0.6 * std::sin(kTwoPi * 330 * t)) * std::exp(-t / 0.05);
        const double w = nz.next();
        lp += 0.25 * (w - lp);
        const double hp = lp - prev * 0.2;
        prev = lp;
        m[i] = 0.6 * tone + 0.9 * hp * std::exp(-t / 0.09);
    }
    return mono(m);
}

std::vector<float> hihat() {
    const size_t n = frames(0.16);
    std::vector<float> st(n * 2);
    const double fr[] = {205.3, 304.4, 369.6, 522.7, 540.0, 800.0};
    Noise nz;
    double prevL = 0, prevR = 0, hpL = 0, hpR = 0;
    for (size_t i = 0; i < n; ++i) {
        const double t = i / kRate;
        double metal = 0;
        for (double f : fr) metal += std::sin(kTwoPi * f * 8.0 * t) > 0 ? 1.0 : -1.0;
        const double env = std::exp(-t / 0.035);
        const double xl = metal / 6.0 + nz.next() * 0.5, xr = metal / 6.0 + nz.next() * 0.5;
        hpL = 0.85 * (hpL + xl - prevL); prevL = xl;
        hpR = 0.85 * (hpR + xr - prevR); prevR = xr;
        st[2 * i] = float(hpL * env);
        st[2 * i + 1] = float(hpR * env);
    }
    return st;
}

std::vector<float> clap() {
    const size_t n = frames(0.4);
    std::vector<double> m(n);
    Noise nz;
    // Band-pass around 1.1 kHz (state-variable filter).
    double low = 0, band = 0;
    const double f = 2 * std::sin(M_PI * 1100.0 / kRate), q = 0.6;
    for (size_t i = 0; i < n; ++i) {
        const double t = i / kRate;
        double env = std::exp(-t / 0.09) * 0.7;
        for (double b : {0.0, 0.011, 0.022}) {
            if (t >= b && t < b + 0.010) env = std::max(env, std::exp(-(t - b) / 0.004));
        }
        const double x = nz.next();
        low += f * band;
        const double high = x - low - q * band;
        band += f * high;
        m[i] = band * env;
    }
    return mono(m);
}

std::vector<float> tom() {
    const size_t n = frames(0.45);
    std::vector<double> m(n);
    double ph = 0;
    for (size_t i = 0; i < n; ++i) {
        const double t = i / kRate;
        ph += kTwoPi * (95.0 + 40.0 * std::exp(-t / 0.08)) / kRate;
        m[i] = (std::sin(ph) + 0.15 * std::sin(2 * ph)) * std::exp(-t / 0.16);
    }
    return mono(m);
}

// Plucked string at 440 Hz (a delay line with an averaging loop filter and a
// fractional read so that it stays in tune); each channel has its own
// excitation, which widens it a little.
std::vector<float> pluck() {
    const size_t n = frames(1.6);
    std::vector<float> st(n * 2);
    const double period = kRate / 440.0 - 0.5;  // the averager adds half a sample
    Noise nz;
    for (int ch = 0; ch < 2; ++ch) {
        std::vector<double> line(512, 0.0);
        const size_t len = line.size();
        const int ip = int(period);
        const double frac = period - ip;
        for (int i = 0; i <= ip; ++i) line[size_t(i)] = nz.next();
        size_t w = size_t(ip) + 1;
        double last = 0;
        for (size_t i = 0; i < n; ++i) {
            const size_t r0 = (w + len - size_t(ip)) % len, r1 = (w + len - size_t(ip) - 1) % len;
            const double d = line[r0] * (1 - frac) + line[r1] * frac;
            const double y = 0.5 * (d + last) * 0.996;
            last = d;
            line[w] = y;
            w = (w + 1) % len;
            st[2 * i + ch] = float(y);
        }
    }
    fadeEnds(st, 0.001, 0.2);
    return st;
}

std::vector<float> organ() {
    const size_t n = frames(1.5);
    std::vector<float> st(n * 2);
    const double ratios[] = {0.5, 1, 2, 3, 4, 6};
    const double amps[] = {0.5, 1.0, 0.7, 0.35, 0.3, 0.15};
    for (size_t i = 0; i < n; ++i) {
        const double t = i / kRate;
        for (int ch = 0; ch < 2; ++ch) {
            // A slight, different vibrato per channel for width.
            const double vib = 1.0 + 0.0025 * std::sin(kTwoPi * (5.6 + ch * 0.7) * t);
            double v = 0;
            for (int k = 0; k < 6; ++k) v += amps[k] * std::sin(kTwoPi * 440.0 * ratios[k] * t * vib);
            st[2 * i + ch] = float(v);
        }
    }
    fadeEnds(st, 0.01, 0.15);
    return st;
}

// FM bell: modulator at 3.5 times the carrier, its index decaying.
std::vector<float> bell() {
    const size_t n = frames(2.0);
    std::vector<float> st(n * 2);
    for (size_t i = 0; i < n; ++i) {
        const double t = i / kRate;
        const double index = 0.6 + 4.0 * std::exp(-t / 0.25);
        const double env = std::exp(-t / 0.7);
        const double l = std::sin(kTwoPi * 440 * t + index * std::sin(kTwoPi * 1540 * t));
        const double r = std::sin(kTwoPi * 440.5 * t + index * std::sin(kTwoPi * 1541.2 * t));
        st[2 * i] = float(l * env);
        st[2 * i + 1] = float(r * env);
    }
    fadeEnds(st, 0.002, 0.1);
    return st;
}

}  // namespace

std::vector<Sound> allSounds() {
    std::vector<Sound> s = {
        {"phaser.wav", phaser()}, {"kick.wav", kick()},     {"snare.wav", snare()},
        {"hihat.wav", hihat()},   {"clap.wav", clap()},     {"tom.wav", tom()},
        {"pluck_a4.wav", pluck()}, {"organ_a4.wav", organ()}, {"bell_a4.wav", bell()},
    };
    for (auto& x : s) {
        fadeEnds(x.frames, 0.0005, 0.005);  // no step from or to silence
        normalise(x.frames, 0.89);          // about -1 dBFS
    }
    return s;
}

}  // namespace snd

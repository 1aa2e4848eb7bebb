// Sounds of the template set, synthesised here: three short tunes (battle,
// victory, game over) encoded to MP3 with the `lame` encoder, and three menu
// and attack effects written as PCM WAV.
#include "Template.h"

#include "model/core/Files.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>
#include <cmath>
#include <cstdio>
#include <vector>

namespace tmpl {

namespace {

constexpr double kPi = 3.14159265358979323846;

QString baseName(const QString& path) { return path.section('/', -1).section('.', 0, 0); }

struct Track {
    int rate;
    std::vector<float> s;
    explicit Track(int r, double seconds) : rate(r), s(static_cast<size_t>(r * seconds), 0.0f) {}
};

double midiHz(int note) { return 440.0 * std::pow(2.0, (note - 69) / 12.0); }

enum class Wave { Square, Triangle, Saw, Sine };

double osc(Wave w, double phase) {
    const double f = phase - std::floor(phase);
    switch (w) {
    case Wave::Square:
        return f < 0.5 ? 0.6 : -0.6;
    case Wave::Triangle:
        return 4 * std::abs(f - 0.5) - 1;
    case Wave::Saw:
        return 2 * f - 1;
    default:
        return std::sin(2 * kPi * f);
    }
}

// Adds one note with a short attack and an exponential release.
void note(Track& t, double start, double len, int midi, double vol, Wave w, double decay = 3.0) {
    if (midi <= 0) return;
    const double hz = midiHz(midi);
    const size_t a = static_cast<size_t>(start * t.rate), n = static_cast<size_t>(len * t.rate);
    for (size_t i = 0; i < n && a + i < t.s.size(); ++i) {
        const double time = double(i) / t.rate;
        double env = std::min(1.0, time / 0.01) * std::exp(-decay * time);
        const double tail = len - time;
        if (tail < 0.03) env *= std::max(0.0, tail / 0.03);
        t.s[a + i] += static_cast<float>(vol * env * osc(w, hz * time));
    }
}

void noiseHit(Track& t, double start, double len, double vol, uint32_t seed, double tone = 0.0) {
    const size_t a = static_cast<size_t>(start * t.rate), n = static_cast<size_t>(len * t.rate);
    uint32_t x = seed * 2654435761u + 1;
    double lp = 0;
    for (size_t i = 0; i < n && a + i < t.s.size(); ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        const double white = (x & 0xFFFF) / 32768.0 - 1.0;
        lp += (white - lp) * (tone > 0 ? tone : 1.0);
        const double time = double(i) / t.rate;
        t.s[a + i] += static_cast<float>(vol * std::exp(-time * 30.0 / len) * (tone > 0 ? lp : white));
    }
}

void kick(Track& t, double start, double vol) {
    const size_t a = static_cast<size_t>(start * t.rate), n = static_cast<size_t>(0.18 * t.rate);
    double phase = 0;
    for (size_t i = 0; i < n && a + i < t.s.size(); ++i) {
        const double time = double(i) / t.rate;
        const double hz = 120 * std::exp(-time * 18) + 45;
        phase += hz / t.rate;
        t.s[a + i] += static_cast<float>(vol * std::exp(-time * 16) * std::sin(2 * kPi * phase));
    }
}

void normalise(Track& t, double peak = 0.85) {
    float m = 0.0001f;
    for (float v : t.s) m = std::max(m, std::abs(v));
    const double g = peak / m;
    const size_t fade = std::min<size_t>(t.s.size(), static_cast<size_t>(t.rate * 0.05));
    for (size_t i = 0; i < t.s.size(); ++i) {
        double v = t.s[i] * g;
        if (i + fade >= t.s.size()) v *= double(t.s.size() - i) / fade;
        t.s[i] = static_cast<float>(v);
    }
}

QByteArray wav(const Track& t) {
    QByteArray out;
    const quint32 dataBytes = static_cast<quint32>(t.s.size() * 2);
    auto u32 = [&](quint32 v) {
        char b[4];
        qToLittleEndian(v, b);
        out.append(b, 4);
    };
    auto u16 = [&](quint16 v) {
        char b[2];
        qToLittleEndian(v, b);
        out.append(b, 2);
    };
    out.append("RIFF", 4);
    u32(36 + dataBytes);
    out.append("WAVE", 4);
    out.append("fmt ", 4);
    u32(16);
    u16(1);
    u16(1);
    u32(static_cast<quint32>(t.rate));
    u32(static_cast<quint32>(t.rate * 2));
    u16(2);
    u16(16);
    out.append("data", 4);
    u32(dataBytes);
    for (float v : t.s) u16(static_cast<quint16>(static_cast<qint16>(std::lround(std::clamp(v, -1.0f, 1.0f) * 32767))));
    return out;
}

// A minimal valid MP3: silent MPEG-1 layer III frames (128 kbit/s, 44.1 kHz).
QByteArray silentMp3(double seconds) {
    QByteArray frame(417, '\0');
    frame[0] = char(0xFF);
    frame[1] = char(0xFB);
    frame[2] = char(0x90);
    frame[3] = char(0x64);
    QByteArray out;
    const int frames = static_cast<int>(seconds * 44100 / 1152) + 1;
    for (int i = 0; i < frames; ++i) out += frame;
    return out;
}

void writeMp3(const QString& path, const Track& t) {
    const QString lame = QStandardPaths::findExecutable("lame");
    if (lame.isEmpty()) {
        std::fprintf(stderr, "quillmark-template: warning: 'lame' not found, %s is silent\n", qPrintable(path));
        put(path, silentMp3(double(t.s.size()) / t.rate));
        return;
    }
    // the encoder works in a folder of its own, so that two builds drawing the
    // set at the same time never share intermediate files
    QTemporaryDir work;
    const QString wavPath = work.filePath("in.wav"), mp3Path = work.filePath("out.mp3");
    put(wavPath, wav(t));
    QProcess proc;
    proc.start(lame, {"--quiet", "-b", "128", "--noreplaygain", "--tt", baseName(path), wavPath, mp3Path});
    const bool ok = work.isValid() && proc.waitForFinished(30000) && proc.exitStatus() == QProcess::NormalExit &&
                    proc.exitCode() == 0;
    QFile mp3(mp3Path);
    if (!ok || !mp3.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "quillmark-template: warning: lame failed, %s is silent\n", qPrintable(path));
        put(path, silentMp3(double(t.s.size()) / t.rate));
        return;
    }
    put(path, mp3.readAll());
}

// ---------------------------------------------------------------- the tunes

Track battleTune() {
    const double beat = 60.0 / 152;  // quarter note
    Track t(44100, beat * 4 * 8 + 0.5);
    // A minor, driving: i – VI – VII – i, twice
    const int bass[8] = {45, 41, 43, 45, 45, 41, 43, 40};
    const int lead[8][8] = {
        {69, 72, 76, 72, 74, 72, 71, 72}, {77, 76, 74, 72, 74, 0, 72, 74},  {79, 77, 76, 74, 76, 0, 74, 72},
        {76, 0, 69, 0, 72, 71, 69, 68},   {69, 72, 76, 79, 81, 79, 76, 72}, {77, 81, 84, 81, 79, 77, 76, 74},
        {79, 0, 83, 0, 86, 84, 83, 79},   {81, 0, 0, 0, 76, 0, 0, 0},
    };
    for (int bar = 0; bar < 8; ++bar) {
        const double b0 = bar * 4 * beat;
        for (int e = 0; e < 8; ++e) {
            const double at = b0 + e * beat / 2;
            note(t, at, beat / 2 * 0.95, bass[bar] - 12 + ((e % 2) ? 12 : 0), 0.30, Wave::Triangle, 4);
            if (lead[bar][e]) note(t, at, beat / 2 * 0.9, lead[bar][e], 0.16, Wave::Square, 5);
            noiseHit(t, at, 0.04, 0.05, static_cast<uint32_t>(bar * 8 + e));
        }
        for (int q = 0; q < 4; ++q) {
            if (q % 2 == 0)
                kick(t, b0 + q * beat, 0.5);
            else
                noiseHit(t, b0 + q * beat, 0.12, 0.22, static_cast<uint32_t>(bar * 4 + q + 100), 0.35);
        }
    }
    normalise(t);
    return t;
}

Track victoryTune() {
    const double beat = 60.0 / 132;
    Track t(44100, beat * 8 + 1.0);
    const int fan[] = {72, 72, 72, 72, 68, 70, 72, 70, 72};
    const double len[] = {1.0 / 3, 1.0 / 3, 1.0 / 3, 1.0, 1.0, 1.0, 2.0 / 3, 1.0 / 3, 3.0};
    double at = 0;
    for (int i = 0; i < 9; ++i) {
        note(t, at, len[i] * beat * 0.95, fan[i], 0.2, Wave::Square, i == 8 ? 0.8 : 2.5);
        note(t, at, len[i] * beat * 0.95, fan[i] - 12, 0.12, Wave::Triangle, 1.5);
        at += len[i] * beat;
    }
    // the closing chord
    const double end = at - 3.0 * beat;
    for (int n : {60, 64, 67}) note(t, end, 3.0 * beat, n, 0.12, Wave::Triangle, 0.7);
    note(t, end, 3.0 * beat, 48, 0.25, Wave::Triangle, 0.6);
    normalise(t);
    return t;
}

Track gameOverTune() {
    const double beat = 60.0 / 66;
    Track t(44100, beat * 8 + 1.5);
    const int melody[] = {74, 72, 70, 69, 67, 65, 64, 62};
    for (int i = 0; i < 8; ++i) {
        note(t, i * beat, beat * (i == 7 ? 2.5 : 1.0), melody[i], 0.22, Wave::Triangle, i == 7 ? 0.6 : 1.2);
        note(t, i * beat, beat, melody[i] - 12, 0.06, Wave::Sine, 1.0);
    }
    const int pads[4][3] = {{50, 53, 57}, {46, 50, 53}, {43, 46, 50}, {45, 49, 52}};
    for (int c = 0; c < 4; ++c)
        for (int n : pads[c]) note(t, c * 2 * beat, 2 * beat + (c == 3 ? 1.5 : 0), n, 0.07, Wave::Sine, 0.4);
    normalise(t, 0.75);
    return t;
}

Track attackEffect() {
    Track t(22050, 0.35);
    // a swish sweeping down, then the hit
    uint32_t x = 77;
    double lp = 0;
    for (size_t i = 0; i < t.s.size(); ++i) {
        const double time = double(i) / t.rate;
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        const double white = (x & 0xFFFF) / 32768.0 - 1.0;
        const double cutoff = 0.5 * std::exp(-time * 9) + 0.04;
        lp += (white - lp) * cutoff;
        const double env = std::min(1.0, time / 0.03) * std::exp(-time * 9);
        t.s[i] += static_cast<float>(lp * env * 0.9);
    }
    kick(t, 0.12, 0.7);
    noiseHit(t, 0.12, 0.08, 0.35, 5, 0.5);
    normalise(t, 0.8);
    return t;
}

Track menuEffect() {
    Track t(22050, 0.09);
    note(t, 0.0, 0.09, 84, 0.3, Wave::Square, 30);
    normalise(t, 0.55);
    return t;
}

Track selectEffect() {
    Track t(22050, 0.3);
    note(t, 0.0, 0.09, 83, 0.3, Wave::Square, 12);
    note(t, 0.07, 0.23, 88, 0.3, Wave::Square, 9);
    normalise(t, 0.6);
    return t;
}

}  // namespace

void writeSounds(const QString& dataFolder) {
    writeMp3(dataFolder + "Battle.mp3", battleTune());
    writeMp3(dataFolder + "BattleWin.mp3", victoryTune());
    writeMp3(dataFolder + "GameOver.mp3", gameOverTune());
    put(dataFolder + "Ataque.wav", wav(attackEffect()));
    put(dataFolder + "Menu.wav", wav(menuEffect()));
    put(dataFolder + "MenuSelect.wav", wav(selectEffect()));
}

}  // namespace tmpl

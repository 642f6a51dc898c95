#include "WavWriter.h"

#include <QSaveFile>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace bmpgen {

namespace {
void put16(QByteArray& b, quint16 v)
{
    char raw[2];
    qToLittleEndian(v, raw);
    b.append(raw, 2);
}
void put32(QByteArray& b, quint32 v)
{
    char raw[4];
    qToLittleEndian(v, raw);
    b.append(raw, 4);
}
} // namespace

QList<qint16> synthesize(const QList<Tone>& tones, int sampleRate)
{
    constexpr double amplitude = 0.45 * 32767.0;
    QList<qint16> out;
    for (const Tone& t : tones) {
        const int n = std::max(0, int(std::lround(double(t.ms) * sampleRate / 1000.0)));
        const int fade = std::min(n / 2, sampleRate / 200); // 5 ms
        for (int i = 0; i < n; ++i) {
            double v = 0;
            if (t.freqHz > 0) {
                v = std::sin(2.0 * std::numbers::pi * t.freqHz * i / sampleRate);
                double env = 1.0;
                if (fade > 0 && i < fade)
                    env = double(i) / fade;
                if (fade > 0 && n - 1 - i < fade)
                    env = std::min(env, double(n - 1 - i) / fade);
                if (t.decay)
                    env *= std::exp(-4.0 * i / n);
                v *= env;
            }
            out.append(qint16(std::lround(v * amplitude)));
        }
    }
    return out;
}

QByteArray encodeWav(const QList<qint16>& samples, int sampleRate)
{
    const quint32 dataBytes = quint32(samples.size()) * 2;
    QByteArray b;
    b.reserve(int(44 + dataBytes));
    b.append("RIFF", 4);
    put32(b, 36 + dataBytes);
    b.append("WAVE", 4);
    b.append("fmt ", 4);
    put32(b, 16);
    put16(b, 1); // PCM
    put16(b, 1); // mono
    put32(b, quint32(sampleRate));
    put32(b, quint32(sampleRate) * 2); // bytes per second
    put16(b, 2);                        // block align
    put16(b, 16);                       // bits per sample
    b.append("data", 4);
    put32(b, dataBytes);
    for (qint16 s : samples)
        put16(b, quint16(s));
    return b;
}

bool writeWav(const QList<Tone>& tones, const QString& path, QString* error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    file.write(encodeWav(synthesize(tones)));
    if (!file.commit()) {
        if (error)
            *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

} // namespace bmpgen

#pragma once
#include <QByteArray>
#include <QList>
#include <QString>

namespace bmpgen {

// One step of a beep: a sine at freqHz for ms milliseconds (freqHz 0 is a rest).
// A decaying step fades out over its whole length, like a struck bell.
struct Tone {
    double freqHz = 0;
    int ms = 0;
    bool decay = false;
};

constexpr int kWavSampleRate = 22050;

// 16-bit PCM mono samples of the tones in order, each step with a short fade in
// and out so that no step clicks.
QList<qint16> synthesize(const QList<Tone>& tones, int sampleRate = kWavSampleRate);

// A RIFF/WAVE file (PCM, mono, 16 bits) holding the samples.
QByteArray encodeWav(const QList<qint16>& samples, int sampleRate = kWavSampleRate);

bool writeWav(const QList<Tone>& tones, const QString& path, QString* error);

} // namespace bmpgen

#pragma once
#include <QList>
#include <QString>
#include "WavWriter.h"

namespace bmpgen {

// A system sound the suite asks for by name, and the beep that stands for it.
struct SoundSpec {
    QString name;      // as the program asks for it: "InfBeg", "Alarm1.wav"
    QList<Tone> tones;

    // File in the sounds folder: the name, with ".wav" added unless it has it.
    QString fileName() const;
};

// Every sound the suite plays: link up, link down, hang-up failure, login done,
// update done.
QList<SoundSpec> systemSounds();

} // namespace bmpgen

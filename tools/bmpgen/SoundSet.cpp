#include "SoundSet.h"

namespace bmpgen {

QString SoundSpec::fileName() const
{
    if (name.endsWith(QStringLiteral(".wav"), Qt::CaseInsensitive))
        return name;
    return name + QStringLiteral(".wav");
}

QList<SoundSpec> systemSounds()
{
    return {
        // Link connected: two rising notes.
        {QStringLiteral("InfBeg"), {{659.3, 90}, {880.0, 140}}},
        // Link hung up: two falling notes.
        {QStringLiteral("InfEnd"), {{880.0, 90}, {587.3, 160}}},
        // Hang-up failed: one bell-like strike.
        {QStringLiteral("Ding"), {{1046.5, 350, true}}},
        // Login succeeded: two short and one long note.
        {QStringLiteral("Alarm1.wav"), {{987.8, 110}, {0, 60}, {987.8, 110}, {0, 60}, {1318.5, 240, true}}},
        // Update finished: a rising arpeggio.
        {QStringLiteral("Alarm3"), {{523.3, 110}, {659.3, 110}, {784.0, 110}, {1046.5, 280, true}}},
    };
}

} // namespace bmpgen

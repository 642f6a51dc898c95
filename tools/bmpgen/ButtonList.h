#pragma once
#include <QList>
#include <QString>

namespace bmpgen {

// One button image family: a label and the pixel size its file names encode.
struct ButtonSpec {
    QString label;
    int width = 0;
    int height = 0;

    // "조회_4226"
    QString baseName() const;
    // "조회_4226.bmp", "조회_4226_d.bmp", "조회_D4226.bmp"
    QString normalFile() const;
    QString pressedFile() const;
    QString dimmedFile() const;

    bool operator==(const ButtonSpec& other) const = default;
};

// Reads one button name in any of the forms the screens use: "조회_4226",
// "조회_4226_d", "앞으로_D3224", optionally with a "BMP\" (or "BMP/") prefix and a
// ".bmp" suffix. Every form names the same family. False, with a reason, when the
// text is not such a name or encodes a zero size.
bool parseButtonName(const QString& text, ButtonSpec* spec, QString* error);

// Reads a list: one name per line, blank lines and lines starting with '#' are
// skipped, a repeated family is kept once (first occurrence). False with the
// line number in the error on the first malformed line.
bool parseButtonList(const QString& text, QList<ButtonSpec>* specs, QString* error);

} // namespace bmpgen

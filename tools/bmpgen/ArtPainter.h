#pragma once
#include <QImage>
#include <QList>
#include <QString>

namespace bmpgen {

// A picture of the program folder that is not a button face.
struct ArtSpec {
    QString fileName; // inside BMP/
    int width = 0;
    int height = 0;
    QImage (*paint)(int width, int height) = nullptr;
};

// The bank's name as the title bar shows it.
QString bankTitle();

QImage paintTitleIcon(int width, int height);   // bank emblem in the title bar
QImage paintTitleBar(int width, int height);    // "타브린은행 PDA 뱅킹"
QImage paintStartBackground(int width, int height);
QImage paintCheque(int width, int height);      // above the cheque entry grids
QImage paintEnrolGuide(int width, int height);  // the enrolment guide dialog

// Every picture the generator draws besides the buttons, with its file and size.
QList<ArtSpec> programArt();

} // namespace bmpgen

#pragma once
#include <QString>
#include <QVector>

#include "DialogBase.h"

class QLabel;
class QStackedWidget;
class CBmpButton;

namespace gallery {

// The gallery's one screen over the work area: sample pages stacked above a
// bar with previous/next image buttons.
class GalleryScreen : public platform::DialogBase {
    Q_OBJECT
public:
    explicit GalleryScreen(QWidget* parent = nullptr);

    int pageCount() const;
    void showPage(int index);
    // Saves a PNG of the device for every page and for the keypad in each kind;
    // returns the files written.
    QStringList saveShots(const QString& dir);

private:
    void addPage(QWidget* page, const QString& caption, const QString& slug);
    void updateCaption();

    QStackedWidget* stack_;
    QLabel* pageLabel_;
    CBmpButton* prev_;
    CBmpButton* next_;
    QLabel* titleText_ = nullptr;
    QStringList captions_;
    QStringList slugs_;
};

} // namespace gallery

#pragma once
#include <QAbstractButton>
#include <QFont>
#include <QPixmap>
#include <QStringList>
#include <QString>
#include "LatticeExport.h"
#include "LatticeTypes.h"

// A push button drawn from bitmap files. File names are relative to the program
// folder ("BMP\\조회_4226.bmp"); absolute paths are taken as they are. The button
// shows the pressed face while the stylus is down and the disabled face while it
// is disabled (the normal face, dimmed, when none was given). When the normal face
// cannot be loaded it draws a plain text button labelled from the file name
// ("BMP\\조회_4226_d.bmp" -> "조회"), sized by the digits of the name.
class LATTICE_EXPORT CBmpButton : public QAbstractButton {
    Q_OBJECT
public:
    enum Face { NormalFace, PressedFace, DisabledFace, TextFace };

    explicit CBmpButton(QWidget* parent = nullptr);
    ~CBmpButton() override;

    // Normal, pressed and disabled faces; empty names are skipped. TRUE when the
    // normal face was loaded from its file.
    BOOL LoadBitmap(const QString& normal, const QString& pressed = {}, const QString& disabled = {});
    // Resizes the button to its normal face (or to the size named in the file name).
    void SizeToContent();
    // A button of the screens' usual kind: faces "BMP\\<image>.bmp" and
    // "BMP\\<image>_d.bmp" ("조회_4226"), sized to its face, placed at (x, y).
    static CBmpButton* Create(QWidget* parent, const char* objectName, const QString& image, int x, int y);
    void EnableWindow(BOOL bEnable = TRUE) { setEnabled(bEnable); }

    bool hasBitmap() const { return !normal_.isNull(); }
    // The face the button shows now.
    Face currentFace() const;
    QString fallbackLabel() const { return label_; }

    // Label and size read from a button file name: "BMP\\계좌상세_6524_d.bmp" gives
    // "계좌상세" and 65x24; "BMP\\앞으로_D3224.bmp" gives "앞으로" and 32x24.
    static QString labelFromFileName(const QString& file);
    static QSize sizeFromFileName(const QString& file);
    // How the fallback face sets a label inside a button of the given inner size:
    // the lines (one, or two halves of a long label) and, in *font, the pixel size
    // at which each line fits whole.
    static QStringList fitFallbackLabel(const QString& label, QFont* font, const QSize& room);
    // Where a relative "BMP\\..." name lives on this machine.
    static QString resolvePath(const QString& file);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    QPixmap normal_;
    QPixmap pressed_;
    QPixmap disabled_;
    QString label_;
    QSize namedSize_;
};

// Korean translation of Qt's standard texts and the handheld's Hangul font.
#include "Services.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace platform {

bool installKoreanTranslation(QCoreApplication& app)
{
    static QTranslator* installed = nullptr;
    if (installed)
        return true;
    auto* tr = new QTranslator(&app);
    const QString dir = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!tr->load(QStringLiteral("qtbase_ko"), dir) && !tr->load(QStringLiteral("qt_ko"), dir)) {
        delete tr;
        return false;
    }
    QCoreApplication::installTranslator(tr);
    QLocale::setDefault(QLocale(QLocale::Korean, QLocale::SouthKorea));
    installed = tr;
    QObject::connect(&app, &QObject::destroyed, [] { installed = nullptr; });
    return true;
}

void applyDeviceFont(QApplication& app)
{
    Q_UNUSED(app);
    // The first installed of these is used; Qt resolves the list when text is first
    // drawn, so start-up does not wait for a scan of every installed font.
    QFont font = QApplication::font();
    font.setFamilies({QStringLiteral("NanumGothic"), QStringLiteral("NanumBarunGothic"),
                      QStringLiteral("Noto Sans CJK KR"), QStringLiteral("UnDotum")});
    // Pixel size rather than points, so that the screens fit 240 pixels whatever the DPI.
    font.setPixelSize(12);
    QApplication::setFont(font);
}

} // namespace platform

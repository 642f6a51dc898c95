#include <QFontInfo>
#include <QFontMetricsF>
#include <gtest/gtest.h>

#include "ArtPainter.h"
#include "ButtonPainter.h"
#include "TestFiles.h"

using namespace bmpgen;
using namespace bmpgen::test;

TEST(LabelFit, EveryListedLabelFitsItsButtonInTheKoreanFontAtALegibleSize)
{
    const QList<ButtonSpec> specs = listedButtons();
    ASSERT_GT(specs.size(), 30);
    for (const ButtonSpec& s : specs) {
        const LabelLayout layout = fitLabel(s.label, s.width, s.height);
        const QRect area = labelArea(s.width, s.height);
        EXPECT_EQ(QFontInfo(layout.font).family(), QStringLiteral("NanumGothic")) << s.baseName().toStdString();
        EXPECT_GE(layout.font.pixelSize(), 9) << s.baseName().toStdString();
        EXPECT_GE(layout.font.stretch(), 75) << s.baseName().toStdString();
        EXPECT_EQ(layout.lines.join(QString()), s.label) << s.baseName().toStdString();
        EXPECT_LE(layout.lineHeight * layout.lines.size(), area.height()) << s.baseName().toStdString();
        const QFontMetricsF fm(layout.font);
        for (const QString& line : layout.lines)
            EXPECT_LE(fm.horizontalAdvance(line), area.width()) << s.baseName().toStdString();
    }
}

TEST(LabelFit, ShortLabelsStayOnOneLineAndLongOnesInNarrowButtonsStack)
{
    EXPECT_EQ(fitLabel(QStringLiteral("확인"), 45, 24).lines.size(), 1);
    EXPECT_EQ(fitLabel(QStringLiteral("자주쓰는입금계좌"), 90, 24).lines.size(), 1);
    EXPECT_EQ(fitLabel(QStringLiteral("exit"), 28, 26).lines.size(), 1);
    const LabelLayout stacked = fitLabel(QStringLiteral("이전으로"), 32, 24);
    ASSERT_EQ(stacked.lines.size(), 2);
    EXPECT_EQ(stacked.lines[0], QStringLiteral("이전"));
    EXPECT_EQ(stacked.lines[1], QStringLiteral("으로"));
    // A label with room keeps the full size; a long one is shrunk to fit.
    const LabelLayout roomy = fitLabel(QStringLiteral("확인"), 45, 24);
    const LabelLayout crowded = fitLabel(QStringLiteral("자주쓰는입금계좌"), 90, 24);
    EXPECT_EQ(roomy.font.pixelSize(), 13);
    EXPECT_EQ(roomy.font.stretch(), 100);
    EXPECT_LT(crowded.font.pixelSize() * crowded.font.stretch(), roomy.font.pixelSize() * roomy.font.stretch());
}

TEST(ButtonFace, DrawnAtTheExactSizeWithACentredLabel)
{
    for (const ButtonSpec& s : {ButtonSpec{QStringLiteral("조회"), 42, 26}, ButtonSpec{QStringLiteral("exit"), 28, 26},
                                ButtonSpec{QStringLiteral("이전으로"), 32, 24},
                                ButtonSpec{QStringLiteral("동의하지않음"), 90, 24}}) {
        for (Face face : {Face::Normal, Face::Pressed, Face::Dimmed}) {
            const QImage img = paintButton(s, face);
            ASSERT_EQ(img.size(), QSize(s.width, s.height));
            const QRect area = labelArea(s.width, s.height);
            const Ink ink = labelInk(img, area);
            EXPECT_GE(ink.count, area.width() * area.height() / 20) << s.baseName().toStdString();
            EXPECT_NEAR(ink.centreX, s.width / 2.0, s.width * 0.12) << s.baseName().toStdString();
            EXPECT_NEAR(ink.centreY, s.height / 2.0, s.height * 0.2) << s.baseName().toStdString();
        }
    }
}

TEST(ButtonFace, DifferentLabelsGiveDifferentFaces)
{
    const QImage a = paintButton({QStringLiteral("확인"), 45, 24}, Face::Normal);
    const QImage b = paintButton({QStringLiteral("취소"), 45, 24}, Face::Normal);
    EXPECT_GT(differingPixels(a, b), 40);
}

TEST(ProgramArt, PicturesCarryTheirContent)
{
    const QImage title = paintTitleBar(213, 26);
    ASSERT_EQ(title.size(), QSize(213, 26));
    // The bank's name is written across the bar: white ink on the dark bar.
    int white = 0;
    for (int y = 0; y < 26; ++y)
        for (int x = 0; x < 213; ++x)
            white += qGray(title.pixel(x, y)) > 200;
    EXPECT_GT(white, 150);
    EXPECT_EQ(bankTitle(), QStringLiteral("타브린은행 PDA 뱅킹"));

    const QImage icon = paintTitleIcon(26, 26);
    ASSERT_EQ(icon.size(), QSize(26, 26));
    EXPECT_NE(icon.pixel(13, 13), icon.pixel(0, 0)); // an emblem, not a flat square

    // The start background keeps the dialog colour where the form sits.
    const QImage bg = paintStartBackground(240, 294);
    ASSERT_EQ(bg.size(), QSize(240, 294));
    const QColor mid(bg.pixel(120, 150));
    EXPECT_NEAR(mid.red(), 182, 20);
    EXPECT_NEAR(mid.green(), 197, 20);
    EXPECT_NEAR(mid.blue(), 225, 20);
}

// Reading a text resource: code page 949 bytes up to the first zero byte.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "CodePage949Qt.h"
#include "ResourceText.h"

TEST(ResourceText, MissingResourceGivesEmptyText)
{
    EXPECT_TRUE(reftext::loadResourceText(QStringLiteral(":/reftext/Nothing/TEXT/129")).isEmpty());
}

TEST(ResourceText, TextEndsAtTheFirstZeroByte)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("t.bin"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(cp949::encode(QStringLiteral("보안")) + QByteArray("\0\0junk", 6));
    f.close();
    EXPECT_EQ(reftext::loadResourceText(path), QStringLiteral("보안"));
}

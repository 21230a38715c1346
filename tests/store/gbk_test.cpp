#include <gtest/gtest.h>

#include "store/gbk.h"

using namespace tessaro::store;

TEST(Gbk, EncodesAndDecodesChineseText) {
  const QString label = QStringLiteral("1＃配比(误差大)");
  const auto bytes = gbk::encode(label);
  ASSERT_TRUE(bytes);
  EXPECT_EQ(*bytes, QByteArray("1\xA3\xA3\xC5\xE4\xB1\xC8(\xCE\xF3\xB2\xEE\xB4\xF3)"));
  bool ok = false;
  EXPECT_EQ(gbk::decode(*bytes, &ok), label);
  EXPECT_TRUE(ok);
}

TEST(Gbk, RefusesCharactersOutsideGbkAndNamesThem) {
  const auto emoji = gbk::encode(QStringLiteral("长石😀"));
  EXPECT_FALSE(emoji);
  EXPECT_EQ(emoji.error(), QStringLiteral("😀"));
  const auto hangul = gbk::encode(QStringLiteral("a한b"));
  EXPECT_FALSE(hangul);
  EXPECT_EQ(hangul.error(), QStringLiteral("한"));
}

TEST(Gbk, FlagsBytesThatAreNotGbk) {
  bool ok = true;
  (void)gbk::decode(QByteArray("\xFF\xA1"), &ok);
  EXPECT_FALSE(ok);
  EXPECT_FALSE(gbk::isValid(QByteArray("ab\xB3")));  // lead byte without its trail byte
  EXPECT_TRUE(gbk::isValid(QByteArray("ab\xB3\xA4")));
}

TEST(Gbk, CutsOnlyAtCharacterBoundaries) {
  const QByteArray bytes = *gbk::encode(QStringLiteral("1＃配比"));  // 1 + 2 + 2 + 2 bytes
  EXPECT_EQ(gbk::cutLength(bytes, 7), 7);
  EXPECT_EQ(gbk::cutLength(bytes, 6), 5);
  EXPECT_EQ(gbk::cutLength(bytes, 2), 1);
  EXPECT_EQ(gbk::cutLength(bytes, 0), 0);
  EXPECT_EQ(gbk::cutLength(bytes, 100), 7);
}

TEST(Gbk, AFailureNeverCarriesOverToTheNextText) {
  bool ok = true;
  (void)gbk::decode(QByteArray("\x81\x20"), &ok);
  EXPECT_FALSE(ok);
  EXPECT_EQ(gbk::decode(QByteArray("\xB3\xA4"), &ok), QStringLiteral("长"));
  EXPECT_TRUE(ok);
  (void)gbk::decode(QByteArray("ab\xB3"), &ok);  // a lead byte at the end
  EXPECT_FALSE(ok);
  EXPECT_EQ(gbk::decode(QByteArray("\xCA\xAF"), &ok), QStringLiteral("石"));
  EXPECT_TRUE(ok);
  EXPECT_FALSE(gbk::encode(QStringLiteral("😀")));
  EXPECT_EQ(gbk::encode(QStringLiteral("石?")).valueOr(QByteArray()), QByteArray("\xCA\xAF?"));
}

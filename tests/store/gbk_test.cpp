#include <gtest/gtest.h>

#include <QStringDecoder>

#include <cstdint>
#include <random>

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

namespace {

// What the codec itself makes of `bytes`: a lead byte at the end without
// its trail byte, which the codec drops, is read as U+FFFD.
QString codecText(QByteArrayView bytes, bool* ok) {
  QStringDecoder d("GBK", QStringConverter::Flag::Stateless);
  QString text = d.decode(bytes);
  qsizetype i = 0;
  while (i < bytes.size()) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    i += (c >= 0x81 && c <= 0xFE) ? 2 : 1;
  }
  const bool cut = i > bytes.size();
  if (cut) text += QChar::ReplacementCharacter;
  *ok = !cut && !text.contains(QChar::ReplacementCharacter);
  return text;
}

testing::AssertionResult decodesAsTheCodec(const QByteArray& bytes) {
  bool expectedOk = false;
  const QString expected = codecText(bytes, &expectedOk);
  bool ok = !expectedOk;
  const QString text = gbk::decode(bytes, &ok);
  if (text == expected && ok == expectedOk && gbk::isValid(bytes) == expectedOk) return testing::AssertionSuccess();
  return testing::AssertionFailure() << "bytes " << bytes.toHex(' ').toStdString() << ": got \""
                                     << text.toUtf8().toHex(' ').toStdString() << "\" ok " << ok << ", codec \""
                                     << expected.toUtf8().toHex(' ').toStdString() << "\" ok " << expectedOk;
}

}  // namespace

// The decoder reads through a table of every byte and byte pair; it gives
// what the codec gives, U+FFFD for every byte that is not GBK included.
TEST(Gbk, DecodesEveryByteAndEveryPairAsTheCodecDoes) {
  for (int first = 0; first <= 0xFF; ++first) {
    const char one = char(first);
    ASSERT_TRUE(decodesAsTheCodec(QByteArray(&one, 1)));
    ASSERT_TRUE(decodesAsTheCodec(QByteArray("ab") + one));
    if (first < 0x80) continue;
    for (int second = 0; second <= 0xFF; ++second) {
      const QByteArray pair = QByteArray(1, one) + char(second);
      ASSERT_TRUE(decodesAsTheCodec(pair));
      ASSERT_TRUE(decodesAsTheCodec("a" + pair + "\xB3\xA4"));
    }
  }
  // Texts of bytes mixed at random: lead bytes, trail bytes, bytes that
  // cannot follow a lead byte, ASCII.
  std::mt19937 random(936);
  const QByteArray kinds[] = {"\x81\xA1\xB3\xCA\xFE", "\x40\x7E\x80\xA1\xAF\xFE", QByteArray("\x00\x20\x39\x7F\xFF", 5),
                             "aZ 0"};
  for (int round = 0; round < 20000; ++round) {
    QByteArray bytes;
    const int length = 1 + int(random() % 12);
    for (int i = 0; i < length; ++i) {
      const QByteArray& kind = kinds[random() % 4];
      bytes += kind[qsizetype(random() % std::uint32_t(kind.size()))];
    }
    ASSERT_TRUE(decodesAsTheCodec(bytes));
  }
}

#include "system/platform/text.h"

#include <gtest/gtest.h>

namespace velandra::platform {
namespace {

// "表" is 0x95 0x5C in CP932: its trail byte is a backslash.
TEST(Cp932, FindSkipsTrailBytes) {
  const std::string path = "C:\\表\\a";  // C : \ 95 5C \ a
  ASSERT_EQ(path.size(), 7u);
  EXPECT_EQ(Cp932Find(path, '\\'), 2u);
  EXPECT_EQ(Cp932Find(path, '\\', 3), 5u);
  EXPECT_EQ(Cp932FindLast(path, '\\'), 5u);
}

TEST(Cp932, CaseFoldLeavesTrailBytesAlone) {
  // "ア" is 0x83 0x41: its trail byte is 'A'; "ャ" 0x83 0x61 has trail 'a'.
  EXPECT_FALSE(Cp932EqualsNoCase("ア", "ャ"));
  EXPECT_TRUE(Cp932EqualsNoCase("Tcpip", "TCPIP"));
  EXPECT_EQ(Cp932ToUpperAscii("ャa"), std::string("ャA"));
}

TEST(Cp932, ConvertsBothWays) {
  const std::string cp932 = "接続場所";
  bool ok = false;
  std::string utf8 = Cp932ToUtf8(cp932, &ok);
  EXPECT_TRUE(ok);
  EXPECT_EQ(utf8, "\xe6\x8e\xa5\xe7\xb6\x9a\xe5\xa0\xb4\xe6\x89\x80");
  EXPECT_EQ(Utf8ToCp932(utf8, &ok), cp932);
  EXPECT_TRUE(ok);
  std::u16string wide = Cp932ToUtf16(cp932, &ok);
  EXPECT_EQ(wide, u"\u63a5\u7d9a\u5834\u6240");
  EXPECT_EQ(Utf16ToCp932(wide), cp932);
}

TEST(Cp932, BadBytesAreReported) {
  bool ok = true;
  std::string utf8 = Cp932ToUtf8(std::string("a\x81", 2), &ok);
  EXPECT_FALSE(ok);
  EXPECT_EQ(utf8.substr(0, 1), "a");
}

}  // namespace
}  // namespace velandra::platform

namespace velandra::platform {
namespace {

TEST(Cp932, CharactersCp932LacksAreReportedNotReplaced) {
  bool ok = true;
  std::string out = Utf16ToCp932(u"caf\u00e9", &ok);
  EXPECT_FALSE(ok);
  EXPECT_NE(out, "cafe");  // no look-alike substitute
  ok = true;
  Utf8ToCp932("caf\xc3\xa9", &ok);
  EXPECT_FALSE(ok);
}

TEST(Cp932, CutKeepsWholeCharacters) {
  const std::string text = "a表示";  // 1 + 2 + 2 bytes
  EXPECT_EQ(Cp932Cut(text, 5), text);
  EXPECT_EQ(Cp932Cut(text, 4), "a表");
  EXPECT_EQ(Cp932Cut(text, 2), "a");
  EXPECT_EQ(Cp932Cut(text, 0), "");
}

}  // namespace
}  // namespace velandra::platform

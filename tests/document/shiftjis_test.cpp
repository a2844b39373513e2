#include "document/shiftjis.h"

#include <gtest/gtest.h>

using namespace pavelora;

TEST(ShiftJis, EncodesBoardNamesAsTheCodePageDoes) {
    // "Ａ３縦": full-width A (0x8260), full-width 3 (0x8252), 縦 (0x8f63).
    EXPECT_EQ(toShiftJis(QStringLiteral("Ａ３縦"), 255), std::string("\x82\x60\x82\x52\x8f\x63"));
    EXPECT_EQ(toShiftJis(QStringLiteral("Tiling 1"), 255), "Tiling 1");
    EXPECT_EQ(fromShiftJis(std::string("\x8a\xaf\x90\xbb\x82\xcd\x82\xaa\x82\xab\x89\xa1")),
              QStringLiteral("官製はがき横"));
}

TEST(ShiftJis, NeverCutsATwoByteCharacter) {
    const QString text = QStringLiteral("aＡ３");
    EXPECT_EQ(toShiftJis(text, 5), std::string("a\x82\x60\x82\x52"));
    EXPECT_EQ(toShiftJis(text, 4), std::string("a\x82\x60"));
    EXPECT_EQ(toShiftJis(text, 2), std::string("a"));
    EXPECT_EQ(toShiftJis(text, 0), std::string());
}

TEST(ShiftJis, ReplacesWhatTheCodePageCannotHold) {
    // U+00E9 (é) and U+1F600 (an emoji) have no Shift-JIS form.
    EXPECT_EQ(toShiftJis(QStringLiteral("caf\u00e9!"), 255), "caf?!");
    EXPECT_EQ(toShiftJis(QString::fromUtf8("x\xF0\x9F\x98\x80y"), 255), "x?y");
}

TEST(ShiftJis, DecodesUpToTheFirstZeroAndMarksBrokenBytes) {
    const std::string field("ab\0cd", 5);
    EXPECT_EQ(fromShiftJis(field), QStringLiteral("ab"));
    // A lead byte at the very end has no second byte.
    EXPECT_EQ(fromShiftJis(std::string("a\x82")),
              QStringLiteral("a") + QChar(QChar::ReplacementCharacter));
    // Round trip of a title with mixed text.
    const QString title = QStringLiteral("ペンローズ・タイル No.1 (試作)");
    EXPECT_EQ(fromShiftJis(toShiftJis(title, 255)), title);
}

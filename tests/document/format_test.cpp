// The bytes of written documents, checked against the record layout: offsets and sizes
// below are worked out from the record tables (header 14, BOARD 48, TILESET 48, kind 16,
// pair colour 8, GTILETBL 20, group 12, tile 40, edge 48, print settings 280).
#include "docfixture.h"

#include <gtest/gtest.h>

using namespace pavelora;
using namespace pavelora::doctest;
using pavelora::test::BoardFixture;

namespace {

// Offsets in a "Penrose No.1" file (two kinds, two pair colours).
constexpr qsizetype BoardAt = 14;
constexpr qsizetype TileSetAt = 62;
constexpr qsizetype Kind0 = 110;
constexpr qsizetype Kind1 = 126;
constexpr qsizetype Pair0 = 142;
constexpr qsizetype Pair1 = 150;
constexpr qsizetype GroupTable = 158;
constexpr qsizetype Group0 = 178;
constexpr qsizetype Tile0 = 190;
constexpr qsizetype Tile0Edges = 230;
constexpr qsizetype EdgeSize = 48;

bool zeroBytes(const QByteArray& bytes, qsizetype from, qsizetype count) {
    for (qsizetype i = from; i < from + count; ++i) {
        if (bytes.at(i) != 0) {
            return false;
        }
    }
    return true;
}

} // namespace

TEST(DocumentFormat, EmptyDocumentsHaveTheSizeOfTheirFixedRecords) {
    // 14 + 48 + 48 + 16 K + 8 P + 20 + 280 for K kinds and P pair colours.
    const struct {
        std::int32_t set;
        qsizetype size;
    } cases[] = {{setcode::PenroseNo1, 458},
                 {setcode::PenroseNo2, 458},
                 {setcode::PenroseNo3, 538},
                 {setcode::Durer, 442},
                 {setcode::Kepler, 474}};
    for (const auto& c : cases) {
        BoardFixture f(c.set);
        EXPECT_EQ(saveToBytes(f.doc).size(), c.size) << c.set;
    }
}

TEST(DocumentFormat, HeaderAndBoardChunk) {
    BoardFixture f(setcode::PenroseNo1, 60002);
    rebuildView(f.doc.view, 1.5);
    f.doc.view.tileSizeRatio = 0.75;
    f.doc.view.boardColour = Rgb{12, 34, 56};
    f.doc.boardReserved = 0xA1B2C3D4u;
    f.doc.patternOn = 0;
    const QByteArray bytes = saveToBytes(f.doc, true);

    EXPECT_EQ(bytes.left(14), QByteArray("PVD\0PAVELORAF\0", 14));
    EXPECT_TRUE(textAt(bytes, BoardAt, "BOARD"));
    EXPECT_TRUE(zeroBytes(bytes, BoardAt + 6, 2));
    EXPECT_EQ(i32At(bytes, BoardAt + 8), 60002);
    EXPECT_TRUE(zeroBytes(bytes, BoardAt + 12, 4));
    EXPECT_EQ(f64At(bytes, BoardAt + 16), 0.75);
    // 1.5 is 0x3FF8000000000000, lowest byte first.
    EXPECT_EQ(bytes.mid(BoardAt + 24, 8), QByteArray("\0\0\0\0\0\0\xF8\x3F", 8));
    EXPECT_EQ(u32At(bytes, BoardAt + 32), 0xA1B2C3D4u);
    EXPECT_EQ(bytes.mid(BoardAt + 36, 4), QByteArray("\x0C\x22\x38\0", 4));
    EXPECT_EQ(u32At(bytes, BoardAt + 40), 0u);
    EXPECT_EQ(u32At(bytes, BoardAt + 44), 1u);

    f.doc.patternOn = 1;
    const QByteArray tileMode = saveToBytes(f.doc, false);
    EXPECT_EQ(u32At(tileMode, BoardAt + 40), 1u);
    EXPECT_EQ(u32At(tileMode, BoardAt + 44), 0u);
}

TEST(DocumentFormat, TileSetChunkKindAndPairColourRecords) {
    BoardFixture f(setcode::PenroseNo1);
    TileSet& set = *f.doc.tileSet;
    set.outlineInset = 0.05;
    set.outlineRatio2 = 0.25;
    set.kindColours = {Rgb{1, 2, 3}, Rgb{4, 5, 6}};
    set.pairColours = {Rgb{7, 8, 9}, Rgb{10, 11, 12}};
    f.doc.kindCounts = {17, 0x01020304};
    const QByteArray bytes = saveToBytes(f.doc);

    EXPECT_TRUE(textAt(bytes, TileSetAt, "TILESET"));
    EXPECT_EQ(i32At(bytes, TileSetAt + 8), 50010);
    EXPECT_EQ(i32At(bytes, TileSetAt + 12), 2);
    EXPECT_EQ(i32At(bytes, TileSetAt + 16), 2);
    EXPECT_TRUE(zeroBytes(bytes, TileSetAt + 20, 4));
    EXPECT_EQ(f64At(bytes, TileSetAt + 24), 0.05);
    EXPECT_EQ(f64At(bytes, TileSetAt + 32), 0.25);
    EXPECT_NE(u32At(bytes, TileSetAt + 40), 0u); // heads of non-empty lists
    EXPECT_NE(u32At(bytes, TileSetAt + 44), 0u);

    EXPECT_EQ(i32At(bytes, Kind0), 50011); // Dart first, as the set lists its kinds
    EXPECT_EQ(bytes.mid(Kind0 + 4, 4), QByteArray("\x01\x02\x03\0", 4));
    EXPECT_EQ(i32At(bytes, Kind0 + 8), 17);
    EXPECT_NE(u32At(bytes, Kind0 + 12), 0u);
    EXPECT_EQ(i32At(bytes, Kind1), 50012);
    EXPECT_EQ(bytes.mid(Kind1 + 4, 4), QByteArray("\x04\x05\x06\0", 4));
    EXPECT_EQ(bytes.mid(Kind1 + 8, 4), QByteArray("\x04\x03\x02\x01", 4));
    EXPECT_EQ(u32At(bytes, Kind1 + 12), 0u); // end of the kind list

    EXPECT_EQ(bytes.mid(Pair0, 4), QByteArray("\x07\x08\x09\0", 4));
    EXPECT_NE(u32At(bytes, Pair0 + 4), 0u);
    EXPECT_EQ(bytes.mid(Pair1, 4), QByteArray("\x0A\x0B\x0C\0", 4));
    EXPECT_EQ(u32At(bytes, Pair1 + 4), 0u);

    EXPECT_TRUE(textAt(bytes, GroupTable, "GTILETBL"));
    EXPECT_TRUE(zeroBytes(bytes, GroupTable + 9, 3));
    EXPECT_EQ(i32At(bytes, GroupTable + 12), 0);
    EXPECT_EQ(u32At(bytes, GroupTable + 16), 0u); // no groups: empty list
}

TEST(DocumentFormat, KeplerHasNoPairColourRecords) {
    BoardFixture f(setcode::Kepler);
    const QByteArray bytes = saveToBytes(f.doc);
    ASSERT_EQ(bytes.size(), 474);
    EXPECT_EQ(i32At(bytes, TileSetAt + 12), 4);
    EXPECT_EQ(i32At(bytes, TileSetAt + 16), 0);
    EXPECT_NE(u32At(bytes, TileSetAt + 40), 0u);
    EXPECT_EQ(u32At(bytes, TileSetAt + 44), 0u);
    const std::int32_t kinds[] = {50031, 50053, 50051, 50052};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(i32At(bytes, 110 + 16 * i), kinds[i]);
        EXPECT_EQ(u32At(bytes, 110 + 16 * i + 12) != 0, i < 3);
    }
    EXPECT_TRUE(textAt(bytes, 174, "GTILETBL"));
    EXPECT_EQ(i32At(bytes, 174 + 12), 0);
}

TEST(DocumentFormat, ADartsGroupTileAndEdgeRecords) {
    BoardFixture f(setcode::PenroseNo1);
    const Tile* dart = f.putTile(kind::Dart, 7, 10.25, 8.5);
    ASSERT_NE(dart, nullptr);
    const QByteArray bytes = saveToBytes(f.doc);
    ASSERT_EQ(bytes.size(), 702);

    EXPECT_EQ(i32At(bytes, GroupTable + 12), 1);
    EXPECT_NE(u32At(bytes, GroupTable + 16), 0u);

    EXPECT_EQ(i32At(bytes, Group0), 1);
    EXPECT_NE(u32At(bytes, Group0 + 4), 0u); // head of the tile list
    EXPECT_EQ(u32At(bytes, Group0 + 8), 0u); // last group

    EXPECT_EQ(i32At(bytes, Tile0), 50011);
    EXPECT_EQ(i32At(bytes, Tile0 + 4), 0);
    EXPECT_EQ(i32At(bytes, Tile0 + 8), 7);
    EXPECT_EQ(i32At(bytes, Tile0 + 12), 4);
    EXPECT_EQ(f64At(bytes, Tile0 + 16), 10.25);
    EXPECT_EQ(f64At(bytes, Tile0 + 24), 8.5);
    EXPECT_NE(u32At(bytes, Tile0 + 32), 0u);
    EXPECT_EQ(u32At(bytes, Tile0 + 36), 0u);

    for (int i = 0; i < 4; ++i) {
        const qsizetype at = Tile0Edges + EdgeSize * i;
        const TileEdge& edge = dart->outline.edges[i];
        EXPECT_EQ(i32At(bytes, at), i);
        EXPECT_TRUE(zeroBytes(bytes, at + 4, 4));
        EXPECT_EQ(f64At(bytes, at + 8), edge.x1);
        EXPECT_EQ(f64At(bytes, at + 16), edge.y1);
        EXPECT_EQ(f64At(bytes, at + 24), edge.x2);
        EXPECT_EQ(f64At(bytes, at + 32), edge.y2);
        EXPECT_EQ(bytes.mid(at + 40, 4), QByteArray("\xFF\xFF\xFF\xFF", 4)); // free: -1
        EXPECT_EQ(u32At(bytes, at + 44) != 0, i < 3);
    }
}

TEST(DocumentFormat, PrintSettingsBlockWithAShiftJisTitle) {
    BoardFixture f(setcode::PenroseNo1);
    f.doc.printSettings.title = QStringLiteral("タイルA");
    f.doc.printSettings.paperMarginX = 5;
    f.doc.printSettings.paperMarginY = 6;
    f.doc.printSettings.cutMarginX = 7;
    f.doc.printSettings.cutMarginY = -8;
    f.doc.printSettings.printForm = outputform::WithoutPairPattern;
    f.doc.printSettings.reserved = 0x55;
    const QByteArray bytes = saveToBytes(f.doc);
    const qsizetype at = 458 - 280;
    // タ イ ル in Shift-JIS, then 'A' and the terminator.
    EXPECT_EQ(bytes.mid(at, 8), QByteArray("\x83\x5E\x83\x43\x83\x8B"
                                           "A\0",
                                           8));
    EXPECT_TRUE(zeroBytes(bytes, at + 8, 256 - 8));
    EXPECT_EQ(i32At(bytes, at + 256), 5);
    EXPECT_EQ(i32At(bytes, at + 260), 6);
    EXPECT_EQ(i32At(bytes, at + 264), 7);
    EXPECT_EQ(i32At(bytes, at + 268), -8);
    EXPECT_EQ(i32At(bytes, at + 272), 2);
    EXPECT_EQ(i32At(bytes, at + 276), 0x55);
}

TEST(DocumentFormat, LongTitlesAreCutBetweenCharacters) {
    // "x" then two-byte characters: 1 + 2 × 127 = 255 bytes fill the field but for the
    // terminator; with "xy" first only 126 of them fit and byte 254 stays zero.
    PrintSettings settings;
    settings.title = QStringLiteral("x") + QString(200, QChar(0x3042)); // あ = 82 A0
    PrintSettingsBlock block = toPrintSettingsBlock(settings);
    EXPECT_EQ(block.title[0], 'x');
    EXPECT_EQ(static_cast<unsigned char>(block.title[253]), 0x82);
    EXPECT_EQ(static_cast<unsigned char>(block.title[254]), 0xA0);
    EXPECT_EQ(block.title[255], 0);

    settings.title = QStringLiteral("xy") + QString(200, QChar(0x3042));
    block = toPrintSettingsBlock(settings);
    EXPECT_EQ(static_cast<unsigned char>(block.title[252]), 0x82);
    EXPECT_EQ(static_cast<unsigned char>(block.title[253]), 0xA0);
    EXPECT_EQ(block.title[254], 0);
    EXPECT_EQ(fromPrintSettingsBlock(block).title,
              QStringLiteral("xy") + QString(126, QChar(0x3042)));
}

TEST(DocumentFormat, JoinedTilesStoreEachOthersIndex) {
    BoardFixture f(setcode::PenroseNo1);
    f.dartWithKite(10.0, 10.0);
    ASSERT_EQ(f.doc.board.count(), 1);
    ASSERT_EQ(f.doc.board.groups[0]->count(), 2);
    const QByteArray bytes = saveToBytes(f.doc);
    ASSERT_EQ(bytes.size(), 458 + 12 + 2 * (40 + 4 * 48));

    EXPECT_EQ(i32At(bytes, Group0), 2);
    const qsizetype tile1 = Tile0 + 40 + 4 * EdgeSize;
    EXPECT_EQ(i32At(bytes, Tile0), 50011);
    EXPECT_NE(u32At(bytes, Tile0 + 36), 0u); // another tile follows
    EXPECT_EQ(i32At(bytes, tile1), 50012);
    EXPECT_EQ(i32At(bytes, tile1 + 4), 1);
    EXPECT_EQ(u32At(bytes, tile1 + 36), 0u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(i32At(bytes, Tile0Edges + EdgeSize * i + 40), i == 0 ? 1 : -1);
        EXPECT_EQ(i32At(bytes, tile1 + 40 + EdgeSize * i + 40), i == 0 ? 0 : -1);
    }
}

TEST(DocumentFormat, BuildingStepsTheProgressFourTimesAndChangesNothing) {
    RichDocument rich(setcode::PenroseNo3);
    const QByteArray before = saveToBytes(rich.doc());
    RecordingProgress progress;
    auto image = buildDocumentImage(rich.doc(), false, &progress);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(progress.calls, std::vector<std::string>(4, "step:5"));
    EXPECT_EQ(saveToBytes(rich.doc()), before);

    Document empty; // no tile set
    EXPECT_EQ(buildDocumentImage(empty, false), nullptr);
}

// The byte layout of document files, against the annotated files in tests/data, and the
// Shift-JIS titles they hold.
#include "docfixture.h"
#include "document/shiftjis.h"

#include <tuple>

using namespace pavelora;
using namespace pavelora::doctest;

namespace {

OpenResult openFromBytes(const QByteArray& bytes) {
    const auto image = readFromBytes(bytes);
    RecordingProgress progress;
    RecordingErrors errors;
    return image ? openDocumentImage(*image, testScreen(), progress, errors) : OpenResult{};
}

} // namespace

TEST(DocumentFormat, TheAnnotatedFileOpensWithItsValuesAndSavesToItsOwnBytes) {
    const QByteArray bytes = annotatedFile("document-penrose1.hex").bytes;
    ASSERT_EQ(bytes.size(), 1178);
    const OpenResult opened = openFromBytes(bytes);
    ASSERT_TRUE(opened.opened());
    const Document& doc = *opened.document;
    const View& view = doc.view;
    EXPECT_EQ(std::tuple(view.boardCode, view.tileSizeRatio, view.zoom, view.boardColour),
              std::tuple(60002, 0.75, 1.5, Rgb{12, 34, 56}));
    EXPECT_EQ(std::tuple(doc.boardReserved, doc.patternOn, opened.groupMode),
              std::tuple(0xA1B2C3D4u, 0, true));
    const TileSet& set = *doc.tileSet;
    EXPECT_EQ(std::tuple(set.code, set.outlineInset, set.outlineRatio2),
              std::tuple(setcode::PenroseNo1, 0.05, 0.25));
    EXPECT_EQ(set.kindColours, (std::vector<Rgb>{{1, 2, 3}, {4, 5, 6}}));
    EXPECT_EQ(set.pairColours, (std::vector<Rgb>{{7, 8, 9}, {10, 11, 12}}));
    EXPECT_EQ(doc.kindCounts, (std::vector<std::int32_t>{3, 5}));
    const PrintSettings& print = doc.printSettings;
    EXPECT_EQ(print.title, QStringLiteral("敷き詰め A"));
    EXPECT_EQ(std::tuple(print.paperMarginX, print.paperMarginY, print.cutMarginX, print.cutMarginY,
                         print.printForm, print.reserved),
              std::tuple(5, 6, 7, -8, 2, 0x55));

    ASSERT_EQ(doc.board.count(), 2);
    ASSERT_EQ(doc.board.groups[0]->count(), 2);
    const Tile& dart = *doc.board.groups[0]->tiles[0];
    const Tile& kaite = *doc.board.groups[0]->tiles[1];
    const Tile& loose = *doc.board.groups[1]->tiles[0];
    EXPECT_EQ(std::tuple(dart.kind, dart.rotation, dart.x, dart.y),
              std::tuple(kind::Dart, 7, 10.25, 8.5));
    EXPECT_EQ(std::tuple(kaite.kind, kaite.rotation), std::tuple(kind::Kaite, 17));
    EXPECT_EQ(std::tuple(loose.kind, loose.rotation, loose.x, loose.y),
              std::tuple(kind::Kaite, 5, 20.0, 14.0));
    const TileEdge& edge = dart.outline.edges[1]; // the stored, placed coordinates
    EXPECT_EQ(
        std::tuple(edge.x1, edge.y1, edge.x2, edge.y2),
        std::tuple(11.088525491562422, 8.227546551997989, 10.48176274578121, 8.668385491217345));
    for (int e = 0; e < 4; ++e) {
        EXPECT_EQ(dart.outline.edges[e].neighbour, e == 0 ? &kaite : nullptr);
        EXPECT_EQ(kaite.outline.edges[e].neighbour, e == 0 ? &dart : nullptr);
    }
    EXPECT_EQ(saveToBytes(doc, opened.groupMode), bytes);
}

TEST(DocumentFormat, KindRecordsGiveColoursByPositionAndCountsByKind) {
    QByteArray bytes = annotatedFile("document-penrose1.hex").bytes;
    const QByteArray dart = bytes.mid(110, 4);
    bytes.replace(110, 4, bytes.mid(126, 4)); // the kaite's record first, the dart's second
    bytes.replace(126, 4, dart);
    OpenResult opened = openFromBytes(bytes);
    ASSERT_TRUE(opened.opened());
    EXPECT_EQ(opened.document->tileSet->kindColours, (std::vector<Rgb>{{1, 2, 3}, {4, 5, 6}}));
    EXPECT_EQ(opened.document->kindCounts, (std::vector<std::int32_t>{5, 3}));
    // A record whose kind the set does not have counts for no palette cell.
    bytes.replace(110, 4, QByteArray("\x83\xC3\0\0", 4)); // the decagon of "Kepler"
    opened = openFromBytes(bytes);
    ASSERT_TRUE(opened.opened());
    EXPECT_EQ(opened.document->kindCounts, (std::vector<std::int32_t>{5, 0}));
}

TEST(DocumentFormat, EmptyListsHaveZeroHeads) {
    const QByteArray bytes = annotatedFile("document-kepler-empty.hex").bytes;
    ASSERT_EQ(bytes.size(), 474);
    const OpenResult opened = openFromBytes(bytes);
    ASSERT_TRUE(opened.opened());
    EXPECT_EQ(saveToBytes(*opened.document, opened.groupMode), bytes);
}

TEST(DocumentFormat, TitlesAreShiftJisCutBetweenCharactersBeforeTheTerminator) {
    // "xy" and two-byte characters (あ = 82 A0): 2 + 2 × 126 bytes fit before the terminator
    // in the 256-byte field; a 127th character would leave no room for it.
    PrintSettings settings;
    settings.title = QStringLiteral("xy") + QString(200, QChar(0x3042));
    const PrintSettingsBlock block = toPrintSettingsBlock(settings);
    EXPECT_EQ(block.title[253], '\xA0');
    EXPECT_EQ(block.title[254], '\0');
    EXPECT_EQ(fromPrintSettingsBlock(block).title,
              QStringLiteral("xy") + QString(126, QChar(0x3042)));
    // What the code page cannot hold becomes '?' (é, an emoji); bytes that are not
    // Shift-JIS (a lead byte without its second byte) read as U+FFFD.
    EXPECT_EQ(toShiftJis(QString::fromUtf8("caf\u00e9 x\xF0\x9F\x98\x80y"), 255), "caf? x?y");
    EXPECT_EQ(toShiftJis(QStringLiteral("Ａ３縦"), 5), std::string("\x82\x60\x82\x52"));
    EXPECT_EQ(fromShiftJis(std::string("a\x82")),
              QStringLiteral("a") + QChar(QChar::ReplacementCharacter));
}

// Reading document files, and the checks made on what was read before anything is built.
#include "docfixture.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace pavelora;
using namespace pavelora::doctest;
using pavelora::test::BoardFixture;

namespace {

// A "Penrose No.1" document with one dart in its own group: 702 bytes, its group record
// at 178, the tile record at 190, four edge records from 230 and the print settings at 422.
QByteArray oneDartFile() {
    BoardFixture f(setcode::PenroseNo1);
    f.putTile(kind::Dart, 3, 10.0, 10.0);
    f.doc.printSettings.title = QStringLiteral("題名");
    f.doc.printSettings.paperMarginX = 11;
    f.doc.printSettings.paperMarginY = 12;
    f.doc.printSettings.printForm = 3;
    return saveToBytes(f.doc);
}

constexpr qsizetype PrintAt = 422;
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Inf = std::numeric_limits<double>::infinity();

std::unique_ptr<DocumentImage> imageOf(const Document& doc) {
    return buildDocumentImage(doc, false);
}

} // namespace

TEST(ReadDocument, RefusesWrongTagsAndMagic) {
    const QByteArray original = oneDartFile();
    const struct {
        qsizetype at;
        char value;
    } changes[] = {
        {0, 'X'},       // "XVD"
        {2, 'X'},       // "PVX"
        {3, 'X'},       // "PVD" without its zero byte
        {4, 'Q'},       // magic
        {12, 'G'},      // "PAVELORAG"
        {13, 'X'},      // magic without its zero byte
        {14, 'b'},      // "bOARD"
        {14 + 5, 'S'},  // "BOARDS"
        {62 + 6, 'S'},  // "TILESES"
        {62 + 7, 'S'},  // "TILESETS"
        {158 + 0, 'X'}, // "XTILETBL"
        {158 + 8, 'X'}, // "GTILETBLX"
    };
    for (const auto& c : changes) {
        QByteArray bytes = original;
        bytes[c.at] = c.value;
        EXPECT_EQ(readFromBytes(bytes), nullptr) << "byte " << c.at;
    }
    EXPECT_EQ(readFromBytes(QByteArray()), nullptr);
}

TEST(ReadDocument, PrintSettingsCutShortReadAsZeroButAFileEndingBeforeThemIsRefused) {
    const QByteArray whole = oneDartFile();
    ASSERT_EQ(whole.size(), PrintAt + 280);

    // Cut inside the title: the margins and the form read as zero.
    auto inTitle = readFromBytes(whole.left(PrintAt + 2));
    ASSERT_NE(inTitle, nullptr);
    EXPECT_EQ(fromPrintSettingsBlock(inTitle->printSettings).title, QStringLiteral("題"));
    EXPECT_EQ(inTitle->printSettings.paperMarginX, 0);
    EXPECT_EQ(inTitle->printSettings.printForm, 0);
    ASSERT_EQ(inTitle->groups.size(), 1u);
    EXPECT_EQ(inTitle->groups[0].tiles[0].edges.size(), 4u);

    // Cut after the first margin.
    auto inMargins = readFromBytes(whole.left(PrintAt + 260));
    ASSERT_NE(inMargins, nullptr);
    EXPECT_EQ(inMargins->printSettings.paperMarginX, 11);
    EXPECT_EQ(inMargins->printSettings.paperMarginY, 0);

    EXPECT_EQ(readFromBytes(whole.left(PrintAt)), nullptr);
    EXPECT_EQ(readFromBytes(whole.left(PrintAt - 1)), nullptr); // inside the last edge
    EXPECT_EQ(readFromBytes(whole.left(190 + 20)), nullptr);    // inside the tile record

    // Nothing after the print settings is looked at.
    auto longer = readFromBytes(whole + QByteArray(1000, '\x7F'));
    ASSERT_NE(longer, nullptr);
    EXPECT_EQ(*longer, *readFromBytes(whole));
}

TEST(ReadDocument, RefusesCountsThatCannotFitInTheRestOfTheFile) {
    const QByteArray original = oneDartFile();
    const struct {
        qsizetype at;
        std::uint32_t count;
    } changes[] = {
        {62 + 12, 0x7FFFFFFF},  // kinds
        {62 + 16, 0x7FFFFFFF},  // pair colours
        {158 + 12, 0x7FFFFFFF}, // groups
        {178, 0x7FFFFFFF},      // tiles of the group
        {190 + 12, 0x7FFFFFFF}, // edges of the tile
        {190 + 12, 11},         // 11 × 48 bytes are more than the 472 that remain
        {178, 13},              // 13 × 40 bytes likewise
    };
    QElapsedTimer timer;
    timer.start();
    for (const auto& c : changes) {
        QByteArray bytes = original;
        putU32(bytes, c.at, c.count);
        EXPECT_EQ(readFromBytes(bytes), nullptr) << "count at " << c.at;
    }
    // Refused from the counts alone, without reading or allocating billions of records.
    EXPECT_LT(timer.elapsed(), 2000);

    // Counts below 1 read no records: a "Kepler" file has no pair colours anyway.
    BoardFixture kepler(setcode::Kepler);
    QByteArray bytes = saveToBytes(kepler.doc);
    putU32(bytes, 62 + 16, 0xFFFFFFFB); // -5
    auto image = readFromBytes(bytes);
    ASSERT_NE(image, nullptr);
    EXPECT_TRUE(image->tileSet.pairColours.empty());
    EXPECT_EQ(image->tileSet.kinds.size(), 4u);
}

TEST(CheckDocument, ZoomAndTileSizeWithinOneToEightHundredPercent) {
    BoardFixture f(setcode::Durer);
    auto image = imageOf(f.doc);
    // Every whole percentage the dialogs can make.
    for (int percent = 1; percent <= 800; ++percent) {
        image->board.zoom = percent * 0.01;
        image->board.tileSizeRatio = percent * 0.01;
        ASSERT_EQ(checkDocumentImage(*image), ImageFault::None) << percent;
    }
    for (double bad : {0.0, 0.0099, 8.0001, -1.0, 1e300, NaN, Inf}) {
        image->board.zoom = bad;
        image->board.tileSizeRatio = 1.0;
        EXPECT_EQ(checkDocumentImage(*image), ImageFault::ZoomOutOfRange) << bad;
        image->board.zoom = 1.0;
        image->board.tileSizeRatio = bad;
        EXPECT_EQ(checkDocumentImage(*image), ImageFault::TileSizeOutOfRange) << bad;
    }
}

TEST(CheckDocument, OutlineInsetAndRatio) {
    BoardFixture f(setcode::PenroseNo2);
    auto image = imageOf(f.doc);
    for (int percent = 1; percent <= 99; ++percent) {
        image->tileSet.outlineInset = percent * 0.01;
        image->tileSet.outlineRatio2 = percent * 0.01;
        ASSERT_EQ(checkDocumentImage(*image), ImageFault::None) << percent;
    }
    for (double bad : {0.0, 0.0099, 0.9901, 1.0, NaN, -Inf}) {
        image->tileSet.outlineInset = bad;
        EXPECT_EQ(checkDocumentImage(*image), ImageFault::OutlineInsetOutOfRange) << bad;
    }
    image->tileSet.outlineInset = 0.5;
    for (double good : {0.0, 1.0}) {
        image->tileSet.outlineRatio2 = good;
        EXPECT_EQ(checkDocumentImage(*image), ImageFault::None) << good;
    }
    for (double bad : {-1e-9, 1.0000001, NaN}) {
        image->tileSet.outlineRatio2 = bad;
        EXPECT_EQ(checkDocumentImage(*image), ImageFault::OutlineRatioOutOfRange) << bad;
    }
}

TEST(CheckDocument, CodesSwitchesAndRecordCounts) {
    BoardFixture f(setcode::PenroseNo1);
    const auto valid = imageOf(f.doc);
    auto check = [&](auto change) {
        DocumentImage image = *valid;
        change(image);
        return checkDocumentImage(image);
    };
    EXPECT_EQ(check([](DocumentImage& i) { i.tileSet.code = 50060; }), ImageFault::UnknownTileSet);
    EXPECT_EQ(check([](DocumentImage& i) { i.tileSet.code = kind::Dart; }),
              ImageFault::UnknownTileSet);
    EXPECT_EQ(check([](DocumentImage& i) { i.board.boardCode = 60011; }), ImageFault::UnknownBoard);
    EXPECT_EQ(check([](DocumentImage& i) { i.board.patternOn = 2; }), ImageFault::BadSwitch);
    EXPECT_EQ(check([](DocumentImage& i) { i.board.groupMode = 0x100; }), ImageFault::BadSwitch);
    EXPECT_EQ(check([](DocumentImage& i) { i.tileSet.kinds.push_back(i.tileSet.kinds[0]); }),
              ImageFault::TooManyKinds);
    EXPECT_EQ(check([](DocumentImage& i) { i.tileSet.pairColours.emplace_back(); }),
              ImageFault::TooManyPairColours);
    // Fewer records than the set has are not a fault: the rest keep the set's values.
    EXPECT_EQ(check([](DocumentImage& i) {
                  i.tileSet.kinds.pop_back();
                  i.tileSet.pairColours.clear();
              }),
              ImageFault::None);
    EXPECT_EQ(check([](DocumentImage& i) { i.groups.emplace_back(); }), ImageFault::EmptyGroup);

    BoardFixture kepler(setcode::Kepler);
    auto keplerImage = imageOf(kepler.doc);
    keplerImage->tileSet.pairColours.emplace_back();
    EXPECT_EQ(checkDocumentImage(*keplerImage), ImageFault::TooManyPairColours);
}

TEST(CheckDocument, PositionsEdgesAndEdgeCounts) {
    BoardFixture f(setcode::PenroseNo1);
    f.putTile(kind::Kaite, 4, 20.0, 15.0);
    const auto valid = imageOf(f.doc);
    auto check = [&](auto change) {
        DocumentImage image = *valid;
        change(image.groups[0].tiles[0]);
        return checkDocumentImage(image);
    };
    EXPECT_EQ(check([](TileRecord&) {}), ImageFault::None);
    for (double bad : {NaN, Inf, -Inf, 1000.5, -2e9}) {
        EXPECT_EQ(check([bad](TileRecord& t) { t.x = bad; }), ImageFault::BadPosition) << bad;
        EXPECT_EQ(check([bad](TileRecord& t) { t.y = bad; }), ImageFault::BadPosition) << bad;
    }
    // A whole tile moved far off the board but within the coordinate limit.
    EXPECT_EQ(check([](TileRecord& t) {
                  t.x += 900;
                  for (EdgeRecord& e : t.edges) {
                      e.x1 += 900;
                      e.x2 += 900;
                  }
              }),
              ImageFault::None);
    EXPECT_EQ(check([](TileRecord& t) { t.edges[2].y2 = NaN; }), ImageFault::BadEdge);
    EXPECT_EQ(check([](TileRecord& t) { t.edges[1].x1 = Inf; }), ImageFault::BadEdge);
    // An edge end further from its tile than the set's extent (2.35 tile units).
    EXPECT_EQ(check([](TileRecord& t) { t.edges[0].x2 = t.x + 2.4; }), ImageFault::BadEdge);
    EXPECT_EQ(check([](TileRecord& t) { t.edges[3].y1 = t.y - 2.4; }), ImageFault::BadEdge);

    EXPECT_EQ(check([](TileRecord& t) { t.edges.pop_back(); }), ImageFault::EdgeCountMismatch);
    EXPECT_EQ(check([](TileRecord& t) { t.edges.push_back(t.edges[0]); }),
              ImageFault::EdgeCountMismatch);
    // A kind of another set, or a rotation out of range, is left for the rebuild to meet.
    EXPECT_EQ(check([](TileRecord& t) {
                  t.kind = kind::Decagon;
                  t.edges.pop_back();
              }),
              ImageFault::None);
    EXPECT_EQ(check([](TileRecord& t) { t.rotation = 20; }), ImageFault::None);
}

#pragma once

#include "core/fixture.h"
#include "document/documentimage.h"
#include "document/documentio.h"

#include <QBuffer>
#include <QByteArray>
#include <QString>

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace pavelora::doctest {

// Records every progress call as a short text: "text:...", "start:N", "step:N".
class RecordingProgress : public Progress {
public:
    std::vector<std::string> calls;

    void setText(const QString& text) override { calls.push_back("text:" + text.toStdString()); }
    void start(int total) override { calls.push_back("start:" + std::to_string(total)); }
    void step(int amount) override { calls.push_back("step:" + std::to_string(amount)); }
};

class RecordingErrors : public ErrorReporter {
public:
    std::vector<std::string> codes;

    void reportError(const char* code) override { codes.emplace_back(code); }
};

// The screen every test opens documents on: 96 dpi, a 1200 × 900 client area.
inline ScreenGeometry testScreen() {
    const double pxPerMm = pixelsPerMillimetre(96);
    return {pxPerMm, pxPerMm, 1200, 900};
}

// --- Little-endian fields of a file, read by offset ---

inline std::uint32_t u32At(const QByteArray& bytes, qsizetype at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) {
        v = v << 8 | static_cast<std::uint8_t>(bytes.at(at + i));
    }
    return v;
}
inline std::int32_t i32At(const QByteArray& bytes, qsizetype at) {
    return static_cast<std::int32_t>(u32At(bytes, at));
}
inline double f64At(const QByteArray& bytes, qsizetype at) {
    std::uint64_t v = 0;
    for (int i = 7; i >= 0; --i) {
        v = v << 8 | static_cast<std::uint8_t>(bytes.at(at + i));
    }
    return std::bit_cast<double>(v);
}
inline void putU32(QByteArray& bytes, qsizetype at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        bytes[at + i] = static_cast<char>(v >> (8 * i));
    }
}
inline void putF64(QByteArray& bytes, qsizetype at, double d) {
    const auto v = std::bit_cast<std::uint64_t>(d);
    for (int i = 0; i < 8; ++i) {
        bytes[at + i] = static_cast<char>(v >> (8 * i));
    }
}
// The bytes at `at` are `text` followed by its zero byte.
inline bool textAt(const QByteArray& bytes, qsizetype at, const char* text) {
    const auto n = static_cast<qsizetype>(std::strlen(text)) + 1;
    return bytes.size() >= at + n && std::memcmp(bytes.constData() + at, text, n) == 0;
}

// --- Whole documents through memory ---

inline QByteArray writeToBytes(const DocumentImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(writeDocumentImage(buffer, image));
    return bytes;
}

inline QByteArray saveToBytes(const Document& doc, bool groupMode = false) {
    auto image = buildDocumentImage(doc, groupMode);
    if (!image) {
        ADD_FAILURE() << "no image";
        return {};
    }
    return writeToBytes(*image);
}

inline std::unique_ptr<DocumentImage> readFromBytes(const QByteArray& bytes) {
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return readDocumentImage(buffer);
}

// Reads and opens the bytes as openDocument does after opening the file.
inline OpenResult openFromBytes(const QByteArray& bytes, RecordingErrors* errors = nullptr) {
    auto image = readFromBytes(bytes);
    if (!image) {
        return OpenResult{};
    }
    RecordingProgress progress;
    RecordingErrors ownErrors;
    return openDocumentImage(*image, testScreen(), progress, errors ? *errors : ownErrors);
}

// --- Documents with joined groups in any tile set ---

// Tries to join a tile to free edge `edgeIndex` of `target`: a tile of `kind` turned so
// that its edge `kindEdge` runs against the target edge, laid exactly there and joined
// with joinTile. The joined tile, or null when the lengths differ or the join is refused.
inline Tile* attachTile(test::BoardFixture& f, Tile& target, int edgeIndex, std::int32_t kind,
                        int kindEdge) {
    const TileEdge& targetEdge = target.outline.edges[edgeIndex];
    auto unit = buildTile(f.doc.tileSet.get(), &f.doc.angles, kind, 0);
    const TileEdge& unitEdge = unit->outline.edges[kindEdge];
    if (unitEdge.length != targetEdge.length) {
        return nullptr;
    }
    const int n = f.doc.directionCount();
    const int rotation = ((targetEdge.direction + n / 2 - unitEdge.direction) % n + n) % n;
    const auto [x, y] = f.aligned(kind, rotation, kindEdge, target, edgeIndex);
    Tile* loose = f.putTile(kind, rotation, x, y);
    if (loose == nullptr) {
        return nullptr;
    }
    Tile* joined = joinTile(f.doc, loose);
    removeTile(f.doc, loose);
    return joined;
}

// Grows a joined group of `tiles` tiles around a first tile at (x, y), trying kinds and
// edges in a random order fixed by the seed. Returns the group.
inline TileGroup* growGroup(test::BoardFixture& f, double x, double y, int tiles, unsigned seed) {
    std::mt19937 random(seed);
    const std::vector<std::int32_t>& kinds = f.doc.tileSet->kindCodes;
    Tile* first = f.putTile(kinds[random() % kinds.size()], 0, x, y);
    TileGroup* group = first->group;
    for (int attempt = 0; attempt < 4000 && group->count() < tiles; ++attempt) {
        Tile& target = *group->tiles[random() % group->tiles.size()];
        const int edge = static_cast<int>(random() % target.outline.edges.size());
        if (target.outline.edges[edge].neighbour != nullptr) {
            continue;
        }
        const std::int32_t kind = kinds[random() % kinds.size()];
        const int kindEdge = static_cast<int>(random() % outlineEdgeCount(kind));
        if (Tile* joined = attachTile(f, target, edge, kind, kindEdge)) {
            group = joined->group;
        }
    }
    EXPECT_EQ(group->count(), tiles) << "set " << f.doc.tileSet->code;
    return group;
}

// A document with every setting away from its default: two joined groups and a loose
// tile, coloured kinds and pair colours, palette counts, print settings with a Japanese
// title, and the pair pattern switched the other way.
struct RichDocument {
    test::BoardFixture f;

    explicit RichDocument(std::int32_t setCode, int bigGroup = 7, int smallGroup = 3)
        : f(setCode, 60002) {
        rebuildView(f.doc.view, 1.5);
        f.doc.view.tileSizeRatio = 0.75;
        f.doc.view.boardColour = Rgb{12, 34, 56};
        f.doc.boardReserved = 0xA1B2C3D4u;
        TileSet& set = *f.doc.tileSet;
        set.outlineInset = 0.07;
        set.outlineRatio2 = 0.07;
        for (std::size_t i = 0; i < set.kindColours.size(); ++i) {
            set.kindColours[i] = Rgb{static_cast<std::uint8_t>(10 + i), 20, 30};
            f.doc.kindCounts.push_back(static_cast<std::int32_t>(3 + i));
        }
        for (std::size_t j = 0; j < set.pairColours.size(); ++j) {
            set.pairColours[j] = Rgb{40, static_cast<std::uint8_t>(50 + j), 60};
        }
        f.doc.patternOn = set.hasPairPattern ? 0 : 1;
        f.doc.printSettings.title = QStringLiteral("ペンローズの敷き詰め 1");
        f.doc.printSettings.paperMarginX = 11;
        f.doc.printSettings.paperMarginY = 12;
        f.doc.printSettings.cutMarginX = 13;
        f.doc.printSettings.cutMarginY = 14;
        f.doc.printSettings.printForm = outputform::Outlines;

        growGroup(f, 12.0, 10.0, bigGroup, 1u + static_cast<unsigned>(setCode));
        growGroup(f, 30.0, 18.0, smallGroup, 2u + static_cast<unsigned>(setCode));
        f.putTile(set.kindCodes.back(), 3, 34.0, 6.0);
    }

    Document& doc() { return f.doc; }
};

inline const std::int32_t kAllSets[] = {setcode::PenroseNo1, setcode::PenroseNo2,
                                        setcode::PenroseNo3, setcode::Durer, setcode::Kepler};

} // namespace pavelora::doctest

#include "document/documentimage.h"

#include "core/geometry/tilebuilder.h"
#include "document/shiftjis.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <unordered_map>

namespace pavelora {

using namespace docfile;

namespace {

constexpr char HeaderTag[] = "PVD";
constexpr char HeaderMagic[] = "PAVELORAF";
constexpr char BoardTag[] = "BOARD";
constexpr char TileSetTag[] = "TILESET";
constexpr char GroupTableTag[] = "GTILETBL";

// Bytes are collected here and handed to the device in large pieces; every hand-over is
// checked.
class ByteSink {
public:
    explicit ByteSink(QIODevice& out) : out_(out) {}

    void u8(std::uint8_t v) { bytes_.push_back(static_cast<char>(v)); }
    void u32(std::uint32_t v) {
        for (int shift = 0; shift < 32; shift += 8) {
            u8(static_cast<std::uint8_t>(v >> shift));
        }
    }
    void i32(std::int32_t v) { u32(static_cast<std::uint32_t>(v)); }
    void f64(double v) {
        const auto bits = std::bit_cast<std::uint64_t>(v);
        for (int shift = 0; shift < 64; shift += 8) {
            u8(static_cast<std::uint8_t>(bits >> shift));
        }
    }
    void colour(Rgb c) {
        u8(c.red);
        u8(c.green);
        u8(c.blue);
    }
    void zeros(std::size_t n) { bytes_.append(n, '\0'); }
    // A text with its zero byte, at the start of a field of `size` bytes.
    void tag(const char* text, std::size_t size) {
        const std::size_t length = std::strlen(text) + 1;
        bytes_.append(text, length);
        zeros(size - length);
    }
    void raw(const char* data, std::size_t n) { bytes_.append(data, n); }
    void link(bool more) { u32(more ? LinkWord : 0); }

    // Writes what has been collected; false when the device takes less than all of it.
    bool flush() {
        if (bytes_.empty()) {
            return true;
        }
        const auto size = static_cast<qint64>(bytes_.size());
        const bool written = out_.write(bytes_.data(), size) == size;
        bytes_.clear();
        return written;
    }
    std::size_t pending() const { return bytes_.size(); }

private:
    QIODevice& out_;
    std::string bytes_;
};

void step(Progress* progress, int amount) {
    if (progress != nullptr) {
        progress->step(amount);
    }
}

std::uint32_t loadU32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

double loadF64(const unsigned char* p) {
    std::uint64_t bits = 0;
    for (int i = 0; i < 8; ++i) {
        bits |= static_cast<std::uint64_t>(p[i]) << (8 * i);
    }
    return std::bit_cast<double>(bits);
}

// Fixed-size record read from the device, with little-endian field access by offset.
template <std::size_t N> struct RawRecord {
    std::array<unsigned char, N> bytes{};

    const unsigned char* field(std::size_t at) const { return bytes.data() + at; }
    std::uint32_t u32(std::size_t at) const { return loadU32(field(at)); }
    std::int32_t i32(std::size_t at) const { return static_cast<std::int32_t>(u32(at)); }
    double f64(std::size_t at) const { return loadF64(field(at)); }
    Rgb colour(std::size_t at) const {
        const unsigned char* p = field(at);
        return Rgb{p[0], p[1], p[2]};
    }
    // The zero-terminated text at `at` equals `text`, its zero byte included.
    bool hasText(std::size_t at, const char* text) const {
        return std::memcmp(field(at), text, std::strlen(text) + 1) == 0;
    }
};

class ByteSource {
public:
    explicit ByteSource(QIODevice& in) : in_(in) {}

    // Reads the whole record; false when the device delivers less.
    template <std::size_t N> bool take(RawRecord<N>& record) {
        const qint64 got = in_.read(reinterpret_cast<char*>(record.bytes.data()), N);
        return got == static_cast<qint64>(N);
    }
    // Reads as much of the record as there is; the rest stays zero. The number of bytes
    // read, or -1 on a read error.
    template <std::size_t N> qint64 takeUpTo(RawRecord<N>& record) {
        return in_.read(reinterpret_cast<char*>(record.bytes.data()), N);
    }

    // Whether `count` records of `size` bytes can still follow. Devices that do not know
    // their size (pipes) are not limited here: their records are read one by one and a
    // short read fails.
    bool fits(std::int32_t count, std::size_t size) const {
        if (count <= 0 || in_.isSequential()) {
            return true;
        }
        const qint64 remaining = in_.size() - in_.pos();
        return static_cast<qint64>(count) * static_cast<qint64>(size) <= remaining;
    }
    // A count that has passed fits() may be reserved for.
    std::size_t reservable(std::int32_t count) const {
        return count > 0 && !in_.isSequential() ? static_cast<std::size_t>(count) : 0;
    }

private:
    QIODevice& in_;
};

// The index of `tile` in `tiles`, first match, or -1. Large groups are looked up in a map
// built once per group.
class TileIndex {
public:
    explicit TileIndex(const std::vector<std::unique_ptr<Tile>>& tiles) : tiles_(tiles) {
        if (tiles.size() > LinearLimit) {
            map_.reserve(tiles.size());
            for (std::size_t i = 0; i < tiles.size(); ++i) {
                map_.emplace(tiles[i].get(), static_cast<std::int32_t>(i));
            }
        }
    }

    std::int32_t find(const Tile* tile) const {
        if (tiles_.size() > LinearLimit) {
            auto it = map_.find(tile);
            return it == map_.end() ? FreeEdge : it->second;
        }
        for (std::size_t i = 0; i < tiles_.size(); ++i) {
            if (tiles_[i].get() == tile) {
                return static_cast<std::int32_t>(i);
            }
        }
        return FreeEdge;
    }

private:
    static constexpr std::size_t LinearLimit = 16;
    const std::vector<std::unique_ptr<Tile>>& tiles_;
    std::unordered_map<const Tile*, std::int32_t> map_; // emplace keeps the first index
};

bool within(double v, double low, double high) {
    return v >= low && v <= high; // false for NaN
}

} // namespace

std::size_t documentFileSize(const DocumentImage& image) {
    std::size_t size = HeaderSize + BoardChunkSize + TileSetChunkSize +
                       KindRecordSize * image.tileSet.kinds.size() +
                       PairColourRecordSize * image.tileSet.pairColours.size() +
                       GroupTableChunkSize + PrintSettingsSize;
    for (const GroupRecord& group : image.groups) {
        size += GroupRecordSize;
        for (const TileRecord& tile : group.tiles) {
            size += TileRecordSize + EdgeRecordSize * tile.edges.size();
        }
    }
    return size;
}

PrintSettingsBlock toPrintSettingsBlock(const PrintSettings& settings) {
    PrintSettingsBlock block;
    const std::string title = toShiftJis(settings.title, TitleSize - 1);
    std::copy(title.begin(), title.end(), block.title.begin());
    block.paperMarginX = settings.paperMarginX;
    block.paperMarginY = settings.paperMarginY;
    block.cutMarginX = settings.cutMarginX;
    block.cutMarginY = settings.cutMarginY;
    block.printForm = settings.printForm;
    block.reserved = settings.reserved;
    return block;
}

PrintSettings fromPrintSettingsBlock(const PrintSettingsBlock& block) {
    PrintSettings settings;
    settings.title = fromShiftJis(std::string_view(block.title.data(), block.title.size()));
    settings.paperMarginX = block.paperMarginX;
    settings.paperMarginY = block.paperMarginY;
    settings.cutMarginX = block.cutMarginX;
    settings.cutMarginY = block.cutMarginY;
    settings.printForm = block.printForm;
    settings.reserved = block.reserved;
    return settings;
}

std::unique_ptr<DocumentImage> buildDocumentImage(const Document& doc, bool groupMode,
                                                  Progress* progress) {
    if (!doc.tileSet) {
        return nullptr;
    }
    const TileSet& set = *doc.tileSet;
    auto image = std::make_unique<DocumentImage>();

    // The header holds nothing but its constant texts.
    step(progress, 5);

    BoardChunk& board = image->board;
    board.boardCode = doc.view.boardCode;
    board.tileSizeRatio = doc.view.tileSizeRatio;
    board.zoom = doc.view.zoom;
    board.reserved = doc.boardReserved;
    board.boardColour = doc.view.boardColour;
    board.patternOn = static_cast<std::uint32_t>(doc.patternOn);
    board.groupMode = groupMode ? 1 : 0;
    step(progress, 5);

    TileSetChunk& tileSet = image->tileSet;
    tileSet.code = set.code;
    tileSet.outlineInset = set.outlineInset;
    tileSet.outlineRatio2 = set.outlineRatio2;
    tileSet.kinds.reserve(set.kindCodes.size());
    for (std::size_t i = 0; i < set.kindCodes.size(); ++i) {
        KindRecord record;
        record.kind = set.kindCodes[i];
        record.colour = i < set.kindColours.size() ? set.kindColours[i] : Rgb{};
        record.tileCount = i < doc.kindCounts.size() ? doc.kindCounts[i] : 0;
        tileSet.kinds.push_back(record);
    }
    tileSet.pairColours.reserve(set.pairColours.size());
    for (const Rgb& colour : set.pairColours) {
        tileSet.pairColours.push_back(PairColourRecord{colour});
    }
    step(progress, 5);

    image->groups.reserve(doc.board.groups.size());
    for (const auto& group : doc.board.groups) {
        GroupRecord& groupRecord = image->groups.emplace_back();
        groupRecord.tiles.reserve(group->tiles.size());
        const TileIndex indexOf(group->tiles);
        for (std::size_t t = 0; t < group->tiles.size(); ++t) {
            const Tile& tile = *group->tiles[t];
            TileRecord& tileRecord = groupRecord.tiles.emplace_back();
            tileRecord.kind = tile.kind;
            tileRecord.index = static_cast<std::int32_t>(t);
            tileRecord.rotation = tile.rotation;
            tileRecord.x = tile.x;
            tileRecord.y = tile.y;
            tileRecord.edges.reserve(tile.outline.edges.size());
            for (std::size_t e = 0; e < tile.outline.edges.size(); ++e) {
                const TileEdge& edge = tile.outline.edges[e];
                EdgeRecord& edgeRecord = tileRecord.edges.emplace_back();
                edgeRecord.index = static_cast<std::int32_t>(e);
                edgeRecord.x1 = edge.x1;
                edgeRecord.y1 = edge.y1;
                edgeRecord.x2 = edge.x2;
                edgeRecord.y2 = edge.y2;
                edgeRecord.joinedTile =
                    edge.neighbour != nullptr ? indexOf.find(edge.neighbour) : FreeEdge;
            }
        }
    }
    step(progress, 5);

    image->printSettings = toPrintSettingsBlock(doc.printSettings);
    return image;
}

bool writeDocumentImage(QIODevice& out, const DocumentImage& image, Progress* progress) {
    ByteSink sink(out);

    sink.tag(HeaderTag, 4);
    sink.tag(HeaderMagic, 10);
    if (!sink.flush()) {
        return false;
    }
    step(progress, 5);

    const BoardChunk& board = image.board;
    sink.tag(BoardTag, 8); // tag and two zero bytes
    sink.i32(board.boardCode);
    sink.zeros(4);
    sink.f64(board.tileSizeRatio);
    sink.f64(board.zoom);
    sink.u32(board.reserved);
    sink.colour(board.boardColour);
    sink.zeros(1);
    sink.u32(board.patternOn);
    sink.u32(board.groupMode);
    if (!sink.flush()) {
        return false;
    }
    step(progress, 5);

    const TileSetChunk& tileSet = image.tileSet;
    sink.tag(TileSetTag, 8);
    sink.i32(tileSet.code);
    sink.i32(static_cast<std::int32_t>(tileSet.kinds.size()));
    sink.i32(static_cast<std::int32_t>(tileSet.pairColours.size()));
    sink.zeros(4);
    sink.f64(tileSet.outlineInset);
    sink.f64(tileSet.outlineRatio2);
    sink.link(!tileSet.kinds.empty());
    sink.link(!tileSet.pairColours.empty());
    if (!sink.flush()) {
        return false;
    }
    step(progress, 5);

    for (std::size_t i = 0; i < tileSet.kinds.size(); ++i) {
        const KindRecord& kind = tileSet.kinds[i];
        sink.i32(kind.kind);
        sink.colour(kind.colour);
        sink.zeros(1);
        sink.i32(kind.tileCount);
        sink.link(i + 1 < tileSet.kinds.size());
    }
    if (!sink.flush()) {
        return false;
    }
    step(progress, 5);

    for (std::size_t j = 0; j < tileSet.pairColours.size(); ++j) {
        sink.colour(tileSet.pairColours[j].colour);
        sink.zeros(1);
        sink.link(j + 1 < tileSet.pairColours.size());
    }
    if (!sink.flush()) {
        return false;
    }
    step(progress, 5);

    sink.tag(GroupTableTag, 12); // tag and three zero bytes
    sink.i32(static_cast<std::int32_t>(image.groups.size()));
    sink.link(!image.groups.empty());
    if (!sink.flush()) {
        return false;
    }
    step(progress, 5);

    constexpr std::size_t FlushSize = 64 * 1024;
    for (std::size_t g = 0; g < image.groups.size(); ++g) {
        const GroupRecord& group = image.groups[g];
        sink.i32(static_cast<std::int32_t>(group.tiles.size()));
        sink.link(!group.tiles.empty());
        sink.link(g + 1 < image.groups.size());
        for (std::size_t t = 0; t < group.tiles.size(); ++t) {
            const TileRecord& tile = group.tiles[t];
            sink.i32(tile.kind);
            sink.i32(tile.index);
            sink.i32(tile.rotation);
            sink.i32(static_cast<std::int32_t>(tile.edges.size()));
            sink.f64(tile.x);
            sink.f64(tile.y);
            sink.link(!tile.edges.empty());
            sink.link(t + 1 < group.tiles.size());
            for (std::size_t e = 0; e < tile.edges.size(); ++e) {
                const EdgeRecord& edge = tile.edges[e];
                sink.i32(edge.index);
                sink.zeros(4);
                sink.f64(edge.x1);
                sink.f64(edge.y1);
                sink.f64(edge.x2);
                sink.f64(edge.y2);
                sink.i32(edge.joinedTile);
                sink.link(e + 1 < tile.edges.size());
            }
        }
        if (sink.pending() >= FlushSize && !sink.flush()) {
            return false;
        }
    }

    const PrintSettingsBlock& print = image.printSettings;
    sink.raw(print.title.data(), print.title.size());
    sink.i32(print.paperMarginX);
    sink.i32(print.paperMarginY);
    sink.i32(print.cutMarginX);
    sink.i32(print.cutMarginY);
    sink.i32(print.printForm);
    sink.i32(print.reserved);
    if (!sink.flush()) {
        return false;
    }
    step(progress, 50);
    return true;
}

std::unique_ptr<DocumentImage> readDocumentImage(QIODevice& in) {
    ByteSource source(in);
    auto image = std::make_unique<DocumentImage>();

    RawRecord<HeaderSize> header;
    if (!source.take(header) || !header.hasText(0, HeaderTag) || !header.hasText(4, HeaderMagic)) {
        return nullptr;
    }

    RawRecord<BoardChunkSize> board;
    if (!source.take(board) || !board.hasText(0, BoardTag)) {
        return nullptr;
    }
    image->board.boardCode = board.i32(8);
    image->board.tileSizeRatio = board.f64(16);
    image->board.zoom = board.f64(24);
    image->board.reserved = board.u32(32);
    image->board.boardColour = board.colour(36);
    image->board.patternOn = board.u32(40);
    image->board.groupMode = board.u32(44);

    RawRecord<TileSetChunkSize> tileSet;
    if (!source.take(tileSet) || !tileSet.hasText(0, TileSetTag)) {
        return nullptr;
    }
    image->tileSet.code = tileSet.i32(8);
    const std::int32_t kindCount = tileSet.i32(12);
    const std::int32_t pairColourCount = tileSet.i32(16);
    image->tileSet.outlineInset = tileSet.f64(24);
    image->tileSet.outlineRatio2 = tileSet.f64(32);
    if (!source.fits(kindCount, KindRecordSize)) {
        return nullptr;
    }
    image->tileSet.kinds.reserve(source.reservable(kindCount));
    for (std::int32_t i = 0; i < kindCount; ++i) {
        RawRecord<KindRecordSize> record;
        if (!source.take(record)) {
            return nullptr;
        }
        image->tileSet.kinds.push_back(KindRecord{record.i32(0), record.colour(4), record.i32(8)});
    }
    if (!source.fits(pairColourCount, PairColourRecordSize)) {
        return nullptr;
    }
    image->tileSet.pairColours.reserve(source.reservable(pairColourCount));
    for (std::int32_t j = 0; j < pairColourCount; ++j) {
        RawRecord<PairColourRecordSize> record;
        if (!source.take(record)) {
            return nullptr;
        }
        image->tileSet.pairColours.push_back(PairColourRecord{record.colour(0)});
    }

    RawRecord<GroupTableChunkSize> groupTable;
    if (!source.take(groupTable) || !groupTable.hasText(0, GroupTableTag)) {
        return nullptr;
    }
    const std::int32_t groupCount = groupTable.i32(12);
    if (!source.fits(groupCount, GroupRecordSize)) {
        return nullptr;
    }
    image->groups.reserve(source.reservable(groupCount));
    for (std::int32_t g = 0; g < groupCount; ++g) {
        RawRecord<GroupRecordSize> groupRecord;
        if (!source.take(groupRecord)) {
            return nullptr;
        }
        const std::int32_t tileCount = groupRecord.i32(0);
        if (!source.fits(tileCount, TileRecordSize)) {
            return nullptr;
        }
        GroupRecord& group = image->groups.emplace_back();
        group.tiles.reserve(source.reservable(tileCount));
        for (std::int32_t t = 0; t < tileCount; ++t) {
            RawRecord<TileRecordSize> tileRecord;
            if (!source.take(tileRecord)) {
                return nullptr;
            }
            const std::int32_t edgeCount = tileRecord.i32(12);
            if (!source.fits(edgeCount, EdgeRecordSize)) {
                return nullptr;
            }
            TileRecord& tile = group.tiles.emplace_back();
            tile.kind = tileRecord.i32(0);
            tile.index = tileRecord.i32(4);
            tile.rotation = tileRecord.i32(8);
            tile.x = tileRecord.f64(16);
            tile.y = tileRecord.f64(24);
            tile.edges.reserve(source.reservable(edgeCount));
            for (std::int32_t e = 0; e < edgeCount; ++e) {
                RawRecord<EdgeRecordSize> edgeRecord;
                if (!source.take(edgeRecord)) {
                    return nullptr;
                }
                tile.edges.push_back(EdgeRecord{edgeRecord.i32(0), edgeRecord.f64(8),
                                                edgeRecord.f64(16), edgeRecord.f64(24),
                                                edgeRecord.f64(32), edgeRecord.i32(40)});
            }
        }
    }

    // The print settings may be cut short (the tiles are all there); a file that ends
    // before them is not a whole document.
    RawRecord<PrintSettingsSize> print;
    if (source.takeUpTo(print) <= 0) {
        return nullptr;
    }
    std::memcpy(image->printSettings.title.data(), print.bytes.data(), TitleSize);
    image->printSettings.paperMarginX = print.i32(256);
    image->printSettings.paperMarginY = print.i32(260);
    image->printSettings.cutMarginX = print.i32(264);
    image->printSettings.cutMarginY = print.i32(268);
    image->printSettings.printForm = print.i32(272);
    image->printSettings.reserved = print.i32(276);
    return image;
}

ImageFault checkDocumentImage(const DocumentImage& image) {
    const BoardChunk& board = image.board;
    if (findBoardSize(board.boardCode) == nullptr) {
        return ImageFault::UnknownBoard;
    }
    const std::unique_ptr<TileSet> set = createTileSet(image.tileSet.code);
    if (!set) {
        return ImageFault::UnknownTileSet;
    }
    if (board.patternOn > 1 || board.groupMode > 1) {
        return ImageFault::BadSwitch;
    }
    // What the dialogs can set: tile size and zoom 1 %..800 %, outline width 1 %..99 %.
    if (!within(board.tileSizeRatio, 0.01, 8.0)) {
        return ImageFault::TileSizeOutOfRange;
    }
    if (!within(board.zoom, 0.01, 8.0)) {
        return ImageFault::ZoomOutOfRange;
    }
    if (!within(image.tileSet.outlineInset, 0.01, 0.99)) {
        return ImageFault::OutlineInsetOutOfRange;
    }
    if (!within(image.tileSet.outlineRatio2, 0.0, 1.0)) {
        return ImageFault::OutlineRatioOutOfRange;
    }
    if (image.tileSet.kinds.size() > set->kindCodes.size()) {
        return ImageFault::TooManyKinds;
    }
    if (image.tileSet.pairColours.size() > set->pairColours.size()) {
        return ImageFault::TooManyPairColours;
    }

    const double reach = board.tileSizeRatio * set->extent;
    for (const GroupRecord& group : image.groups) {
        if (group.tiles.empty()) {
            return ImageFault::EmptyGroup;
        }
        for (const TileRecord& tile : group.tiles) {
            if (!within(tile.x, -MaxCoordinate, MaxCoordinate) ||
                !within(tile.y, -MaxCoordinate, MaxCoordinate)) {
                return ImageFault::BadPosition;
            }
            if (set->kindIndex(tile.kind) >= 0 &&
                tile.edges.size() != static_cast<std::size_t>(outlineEdgeCount(tile.kind))) {
                return ImageFault::EdgeCountMismatch;
            }
            for (const EdgeRecord& edge : tile.edges) {
                // Also false for NaN and infinite coordinates.
                if (!within(edge.x1 - tile.x, -reach, reach) ||
                    !within(edge.y1 - tile.y, -reach, reach) ||
                    !within(edge.x2 - tile.x, -reach, reach) ||
                    !within(edge.y2 - tile.y, -reach, reach)) {
                    return ImageFault::BadEdge;
                }
            }
        }
    }
    return ImageFault::None;
}

} // namespace pavelora

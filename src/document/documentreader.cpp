#include "core/geometry/tilebuilder.h"
#include "document/documentimage.h"
#include "document/recordlayout.h"

#include <algorithm>
#include <cstdint>

namespace pavelora {

using namespace docfile;

namespace {

class ByteSource {
public:
    ByteSource(QIODevice& in, std::size_t sequentialLimit)
        : in_(in), budget_(in.isSequential() ? sequentialLimit : SIZE_MAX) {}

    // Reads a record into `bytes`, which are zero; false when the device delivers less than
    // all of it or, with `partial`, nothing at all. A device that does not know its size
    // gives no more than its budget.
    bool take(unsigned char* bytes, std::size_t size, bool partial) {
        const std::size_t wanted = std::min(size, budget_);
        if (wanted < size && !partial) {
            return false;
        }
        const qint64 got = in_.read(reinterpret_cast<char*>(bytes), static_cast<qint64>(wanted));
        if (got > 0) {
            budget_ -= static_cast<std::size_t>(got);
        }
        return partial ? got > 0 : got == static_cast<qint64>(size);
    }

    // Whether `count` records of `size` bytes can still follow: within the bytes that
    // remain of a file, within the budget of a pipe.
    bool fits(std::int32_t count, std::size_t size) const {
        if (count <= 0) {
            return true;
        }
        const auto needed = static_cast<std::uint64_t>(count) * size;
        if (in_.isSequential()) {
            return needed <= budget_;
        }
        const qint64 remaining = in_.size() - in_.pos();
        return remaining >= 0 && needed <= static_cast<std::uint64_t>(remaining);
    }

    // A count that has passed fits() may be reserved for, except on a device that does not
    // know its size, where the records must first arrive.
    std::size_t reservable(std::int32_t count) const {
        return count > 0 && !in_.isSequential() ? static_cast<std::size_t>(count) : 0;
    }

private:
    QIODevice& in_;
    std::size_t budget_;
};

// The records of the largest set in the catalogue, and the most edges any of its tiles has.
struct LargestSet {
    std::size_t kinds = 0;
    std::size_t pairColours = 0;
    std::size_t edges = 0;
};

LargestSet largestSet() {
    LargestSet largest;
    for (const TileSetEntry& entry : TileSetCatalogue) {
        const std::unique_ptr<TileSet> set = createTileSet(entry.code);
        if (!set) {
            continue;
        }
        largest.kinds = std::max(largest.kinds, set->kindCodes.size());
        largest.pairColours = std::max(largest.pairColours, set->pairColours.size());
        for (const std::int32_t kind : set->kindCodes) {
            largest.edges =
                std::max(largest.edges, static_cast<std::size_t>(outlineEdgeCount(kind)));
        }
    }
    return largest;
}

template <typename R> bool getTree(ByteSource& source, R& record, bool partial = false);

// `count` records, each with its lists; a count below 1 reads none.
template <typename R> bool getList(ByteSource& source, std::int32_t count, std::vector<R>& list) {
    if (!source.fits(count, Layout<R>::size)) {
        return false;
    }
    list.reserve(source.reservable(count));
    for (std::int32_t i = 0; i < count; ++i) {
        if (!getTree(source, list.emplace_back())) {
            return false;
        }
    }
    return true;
}

// The record, then as many records of each of its lists as its counts say.
template <typename R> bool getTree(ByteSource& source, R& record, bool partial) {
    std::array<unsigned char, Layout<R>::size> bytes{};
    if (!source.take(bytes.data(), bytes.size(), partial)) {
        return false;
    }
    std::array<std::int32_t, listCount<R> + 1> counts{};
    for (const Field<R>& field : Layout<R>::fields) {
        const unsigned char* at = bytes.data() + field.offset;
        switch (field.kind) {
        case FieldKind::Tag:
            if (std::memcmp(at, field.text, field.size) != 0) {
                return false;
            }
            break;
        case FieldKind::Value:
            field.load(record, at);
            break;
        case FieldKind::Count:
            counts[field.list] = Codec<std::int32_t>::load(at);
            break;
        case FieldKind::Head:
        case FieldKind::Next:
            break; // link words carry nothing in the file
        }
    }
    return eachList(record,
                    [&](std::size_t i, auto& list) { return getList(source, counts[i], list); });
}

} // namespace

std::size_t maxDocumentBytes() {
    static const std::size_t bytes = [] {
        const LargestSet set = largestSet();
        const std::size_t perTile = Layout<GroupRecord>::size + Layout<TileRecord>::size +
                                    set.edges * Layout<EdgeRecord>::size;
        return Layout<FileHeader>::size + Layout<BoardChunk>::size + Layout<TileSetChunk>::size +
               set.kinds * Layout<KindRecord>::size +
               set.pairColours * Layout<PairColourRecord>::size + Layout<GroupTableChunk>::size +
               MaxPlausibleTiles * perTile + Layout<PrintSettingsBlock>::size;
    }();
    return bytes;
}

std::unique_ptr<DocumentImage> readDocumentImage(QIODevice& in) {
    return readDocumentImage(in, maxDocumentBytes());
}

std::unique_ptr<DocumentImage> readDocumentImage(QIODevice& in, std::size_t sequentialLimit) {
    ByteSource source(in, sequentialLimit);
    auto image = std::make_unique<DocumentImage>();
    FileHeader header;
    // The print settings may be cut short (the tiles are all there): the missing bytes read
    // as zero. A file that ends before them is not a whole document.
    if (getTree(source, header) && getTree(source, image->board) &&
        getTree(source, image->tileSet) && getTree(source, image->groupTable) &&
        getTree(source, image->printSettings, true)) {
        return image;
    }
    return nullptr;
}

} // namespace pavelora

#include "document/documentimage.h"
#include "document/recordlayout.h"

namespace pavelora {

using namespace docfile;

namespace {

class ByteSource {
public:
    explicit ByteSource(QIODevice& in) : in_(in) {}

    // Reads a record into `bytes`, which are zero; false when the device delivers less than
    // all of it or, with `partial`, nothing at all.
    bool take(unsigned char* bytes, std::size_t size, bool partial) {
        const qint64 got = in_.read(reinterpret_cast<char*>(bytes), static_cast<qint64>(size));
        return partial ? got > 0 : got == static_cast<qint64>(size);
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

std::unique_ptr<DocumentImage> readDocumentImage(QIODevice& in) {
    ByteSource source(in);
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

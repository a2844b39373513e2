#include "document/documentimage.h"
#include "document/recordlayout.h"

#include <string>

namespace pavelora {

using namespace docfile;

namespace {

// Records are laid out here, zero-filled, and handed to the device in large pieces. A
// failed write is remembered until the next flush reports it; nothing is written after it.
class ByteSink {
public:
    explicit ByteSink(QIODevice& out) : out_(out) {}

    // Room for a record of `size` bytes, all zero.
    unsigned char* record(std::size_t size) {
        if (bytes_.size() >= FlushSize) {
            flush();
        }
        const std::size_t at = bytes_.size();
        bytes_.resize(at + size);
        return reinterpret_cast<unsigned char*>(bytes_.data() + at);
    }

    // Writes what has been gathered; false when this or an earlier write did not take all
    // its bytes.
    bool flush() {
        const auto size = static_cast<qint64>(bytes_.size());
        failed_ = failed_ || (size > 0 && out_.write(bytes_.data(), size) != size);
        bytes_.clear();
        return !failed_;
    }

private:
    static constexpr std::size_t FlushSize = 64 * 1024;
    QIODevice& out_;
    std::string bytes_;
    bool failed_ = false;
};

// The record's own bytes; `last` says whether it ends its list.
template <typename R> void putRecord(ByteSink& sink, const R& record, bool last = true) {
    std::array<std::size_t, listCount<R> + 1> lengths{};
    eachList(record, [&](std::size_t i, const auto& list) {
        lengths[i] = list.size();
        return true;
    });
    unsigned char* bytes = sink.record(Layout<R>::size);
    for (const Field<R>& field : Layout<R>::fields) {
        unsigned char* at = bytes + field.offset;
        switch (field.kind) {
        case FieldKind::Tag:
            std::memcpy(at, field.text, field.size);
            break;
        case FieldKind::Value:
            field.store(record, at);
            break;
        case FieldKind::Count:
            storeU32(at, static_cast<std::uint32_t>(lengths[field.list]));
            break;
        case FieldKind::Head:
            storeU32(at, lengths[field.list] > 0 ? LinkWord : 0);
            break;
        case FieldKind::Next:
            storeU32(at, last ? 0 : LinkWord);
            break;
        }
    }
}

template <typename R> void putTree(ByteSink& sink, const R& record, bool last = true);

template <typename R> void putList(ByteSink& sink, const std::vector<R>& list) {
    for (std::size_t i = 0; i < list.size(); ++i) {
        putTree(sink, list[i], i + 1 == list.size());
    }
}

// The record followed by its lists, each record of them followed by its own lists.
template <typename R> void putTree(ByteSink& sink, const R& record, bool last) {
    putRecord(sink, record, last);
    eachList(record, [&](std::size_t, const auto& list) {
        putList(sink, list);
        return true;
    });
}

template <typename R> std::size_t treeSize(const R& record) {
    std::size_t size = Layout<R>::size;
    eachList(record, [&](std::size_t, const auto& list) {
        for (const auto& element : list) {
            size += treeSize(element);
        }
        return true;
    });
    return size;
}

} // namespace

std::size_t documentFileSize(const DocumentImage& image) {
    return treeSize(FileHeader{}) + treeSize(image.board) + treeSize(image.tileSet) +
           treeSize(image.groupTable) + treeSize(image.printSettings);
}

bool writeDocumentImage(QIODevice& out, const DocumentImage& image, Progress* progress) {
    ByteSink sink(out);
    // Writes a piece, hands it to the device and steps the progress.
    const auto piece = [&](auto&& put, int amount) {
        put();
        if (!sink.flush()) {
            return false;
        }
        if (progress != nullptr) {
            progress->step(amount);
        }
        return true;
    };
    const auto groupsAndPrintSettings = [&] {
        putList(sink, image.groupTable.groups);
        putTree(sink, image.printSettings);
    };
    return piece([&] { putTree(sink, FileHeader{}); }, 5) &&
           piece([&] { putTree(sink, image.board); }, 5) &&
           piece([&] { putRecord(sink, image.tileSet); }, 5) &&
           piece([&] { putList(sink, image.tileSet.kinds); }, 5) &&
           piece([&] { putList(sink, image.tileSet.pairColours); }, 5) &&
           piece([&] { putRecord(sink, image.groupTable); }, 5) &&
           piece(groupsAndPrintSettings, 50);
}

} // namespace pavelora

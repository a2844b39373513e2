// Fuzz target for reading and opening document files. Built with libFuzzer by
// fuzz/run.sh; the regression tests also compile it and replay the seed corpus.
//
// For every input: read the image; when it reads, check and open it as the open command
// does. An opened document must save, read, open and save again to the same bytes, with
// every joined edge inside its own group; an error code can only be "EM007" (a tile that
// cannot be built), since memory does not run out here.
#include "fuzz/document_fuzz.h"

#include "document/documentimage.h"
#include "document/documentio.h"

#include <QBuffer>
#include <QByteArray>

#include <cstdlib>
#include <cstring>

namespace {

using namespace pavelora;

class SilentProgress : public Progress {
public:
    void setText(const QString&) override {}
    void start(int) override {}
    void step(int) override {}
};

class CountingErrors : public ErrorReporter {
public:
    int reports = 0;
    const char* last = "";
    void reportError(const char* code) override {
        ++reports;
        last = code;
    }
};

[[noreturn]] void fail() {
    std::abort();
}

std::unique_ptr<DocumentImage> readBytes(const char* data, std::size_t size) {
    QByteArray bytes = QByteArray::fromRawData(data, static_cast<qsizetype>(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    return readDocumentImage(buffer);
}

QByteArray save(const Document& doc, bool groupMode) {
    auto image = buildDocumentImage(doc, groupMode);
    if (!image) {
        fail();
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!writeDocumentImage(buffer, *image) ||
        static_cast<std::size_t>(bytes.size()) != documentFileSize(*image)) {
        fail();
    }
    return bytes;
}

void checkLinks(const Document& doc) {
    for (const auto& group : doc.board.groups) {
        if (group->tiles.empty()) {
            fail();
        }
        for (const auto& tile : group->tiles) {
            if (tile->group != group.get()) {
                fail();
            }
            for (const TileEdge& edge : tile->outline.edges) {
                if (edge.owner != tile.get() ||
                    (edge.neighbour != nullptr && !group->contains(edge.neighbour))) {
                    fail();
                }
            }
        }
    }
}

OpenResult open(const DocumentImage& image, CountingErrors& errors) {
    const double pxPerMm = pixelsPerMillimetre(96);
    SilentProgress progress;
    return openDocumentImage(image, {pxPerMm, pxPerMm, 1200, 900}, progress, errors);
}

} // namespace

int paveloraFuzzOpen(const std::uint8_t* data, std::size_t size) {
    const auto image = readBytes(reinterpret_cast<const char*>(data), size);
    if (!image) {
        return FuzzUnreadable;
    }
    CountingErrors errors;
    OpenResult result = open(*image, errors);
    if (result.status == OpenStatus::ErrorReported) {
        if (errors.reports != 1 || std::strcmp(errors.last, "EM007") != 0) {
            fail();
        }
        return FuzzErrorReported;
    }
    if (errors.reports != 0) {
        fail();
    }
    if (!result.opened()) {
        if (result.document || checkDocumentImage(*image) == ImageFault::None) {
            fail();
        }
        return FuzzUnreadable;
    }

    checkLinks(*result.document);
    const QByteArray first = save(*result.document, result.groupMode);
    const auto again = readBytes(first.constData(), static_cast<std::size_t>(first.size()));
    if (!again || checkDocumentImage(*again) != ImageFault::None) {
        fail();
    }
    OpenResult reopened = open(*again, errors);
    if (!reopened.opened()) {
        fail();
    }
    if (save(*reopened.document, reopened.groupMode) != first) {
        fail();
    }
    return FuzzOpened;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    paveloraFuzzOpen(data, size);
    return 0;
}

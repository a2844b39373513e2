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

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

using namespace pavelora;

class CountingErrors : public ErrorReporter {
public:
    int reports = 0;
    const char* last = "";
    void reportError(const char* code) override {
        ++reports;
        last = code;
    }
};

[[noreturn]] void fail(const char* rule) {
    std::fprintf(stderr, "document fuzz target: %s\n", rule);
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
        fail("an opened document builds no image");
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!writeDocumentImage(buffer, *image) ||
        static_cast<std::size_t>(bytes.size()) != documentFileSize(*image)) {
        fail("the written bytes are not the image's file size");
    }
    return bytes;
}

} // namespace

void paveloraFuzzCheckLinks(const Document& doc) {
    for (const auto& group : doc.board.groups) {
        if (group->tiles.empty()) {
            fail("an opened group has no tiles");
        }
        for (const auto& tile : group->tiles) {
            if (tile->group != group.get()) {
                fail("a tile is not linked to its group");
            }
            for (const TileEdge& edge : tile->outline.edges) {
                if (edge.owner != tile.get() ||
                    (edge.neighbour != nullptr && !group->contains(edge.neighbour))) {
                    fail("an edge is linked outside its tile or group");
                }
            }
        }
    }
}

namespace {

OpenResult open(const DocumentImage& image, CountingErrors& errors) {
    const double pxPerMm = pixelsPerMillimetre(96);
    SilentProgress progress;
    return openDocumentImage(image, {pxPerMm, pxPerMm, 1200, 900}, progress, errors);
}

} // namespace

int paveloraFuzzOpen(const std::uint8_t* data, std::size_t size, std::string* saved) {
    const auto image = readBytes(reinterpret_cast<const char*>(data), size);
    if (!image) {
        return FuzzUnreadable;
    }
    CountingErrors errors;
    OpenResult result = open(*image, errors);
    if (result.status == OpenStatus::ErrorReported) {
        if (errors.reports != 1 || std::strcmp(errors.last, "EM007") != 0 || result.document) {
            fail("opening reported another code than EM007, or went on");
        }
        return FuzzErrorReported;
    }
    if (errors.reports != 0) {
        fail("opening reported a code and went on");
    }
    if (!result.opened()) {
        if (result.document || checkDocumentImage(*image) == ImageFault::None) {
            fail("a refused image passes the checks or left a document");
        }
        return FuzzUnreadable;
    }

    paveloraFuzzCheckLinks(*result.document);
    const QByteArray first = save(*result.document, result.groupMode);
    const auto again = readBytes(first.constData(), static_cast<std::size_t>(first.size()));
    if (!again || checkDocumentImage(*again) != ImageFault::None) {
        fail("a saved document does not read back");
    }
    OpenResult reopened = open(*again, errors);
    if (!reopened.opened()) {
        fail("a saved document does not open");
    }
    if (save(*reopened.document, reopened.groupMode) != first) {
        fail("save, open, save gives other bytes");
    }
    if (saved != nullptr) {
        *saved = first.toStdString();
    }
    return FuzzOpened;
}

#ifndef PAVELORA_FUZZ_NO_DOCUMENT_ENTRY // linked into another fuzz target
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    paveloraFuzzOpen(data, size);
    return 0;
}
#endif

#pragma once

#include "core/fixture.h"
#include "core/tiling/generator.h"
#include "document/documentimage.h"
#include "document/documentio.h"

#include <QBuffer>
#include <QFile>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pavelora::doctest {

// Records every progress call as a short text: "text:...", "start:N", "step:N".
struct RecordingProgress : Progress {
    std::vector<std::string> calls;
    void setText(const QString& text) override { calls.push_back("text:" + text.toStdString()); }
    void start(int total) override { calls.push_back("start:" + std::to_string(total)); }
    void step(int amount) override { calls.push_back("step:" + std::to_string(amount)); }
};

struct RecordingErrors : ErrorReporter {
    std::vector<std::string> codes;
    void reportError(const char* code) override { codes.emplace_back(code); }
};

// The screen every test opens documents on: 96 dpi, a 1200 × 900 client area.
inline ScreenGeometry testScreen() {
    const double pxPerMm = pixelsPerMillimetre(96);
    return {pxPerMm, pxPerMm, 1200, 900};
}

inline QByteArray saveToBytes(const Document& doc, bool groupMode = false) {
    const auto image = buildDocumentImage(doc, groupMode);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image && writeDocumentImage(buffer, *image));
    return bytes;
}

inline std::unique_ptr<DocumentImage> readFromBytes(QByteArray bytes) {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    return readDocumentImage(buffer);
}

// A document file of tests/data written as annotated hex: its bytes, and for every byte the
// word its line starts with ("tag", "value", "link", ...; see document-penrose1.hex).
struct AnnotatedFile {
    QByteArray bytes;
    std::vector<QByteArray> roles;
};

inline AnnotatedFile annotatedFile(const std::string& name) {
    QFile file(QString::fromStdString(PAVELORA_TEST_DATA "/" + name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    AnnotatedFile out;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine().split('#').front().trimmed();
        const qsizetype space = line.indexOf(' ');
        if (space > 0) {
            const QByteArray bytes = QByteArray::fromHex(line.mid(space + 1));
            out.bytes += bytes;
            out.roles.insert(out.roles.end(), static_cast<std::size_t>(bytes.size()),
                             line.left(space));
        }
    }
    return out;
}

// A document on an "Ａ３横" board holding, in the three Penrose sets, a generated patch of
// `patchTiles` tiles, then one loose tile of every kind of its set; palette counts 3, 4, ...
struct RichDocument {
    test::BoardFixture f;

    explicit RichDocument(std::int32_t setCode, int patchTiles = 7) : f(setCode, 60002) {
        if (generationSupported(setCode)) {
            layPatch(f.doc, generatePatch(setCode, PatchSeed::Sun, patchTiles), 12.0, 10.0);
        }
        const std::vector<std::int32_t> kinds = f.doc.tileSet->kindCodes;
        for (std::size_t i = 0; i < kinds.size(); ++i) {
            f.doc.kindCounts.push_back(static_cast<std::int32_t>(3 + i));
            f.putTile(kinds[i], static_cast<std::int32_t>(3 + i), 26.0 + 3.0 * i, 18.0);
        }
    }
};

} // namespace pavelora::doctest

// Damaged files: every truncation and every single-byte change of a small valid file
// either opens or is refused, and nothing crashes.
#include "docfixture.h"

#include <gtest/gtest.h>

#include <set>

using namespace pavelora;
using namespace pavelora::doctest;
using pavelora::test::BoardFixture;

namespace {

// "Penrose No.1" with a dart and a kaite joined in one group and a loose kaite in another,
// and a two-character title: 458 + 12 + 2 × 232 + 12 + 232 = 1178 bytes.
QByteArray smallFile() {
    BoardFixture f(setcode::PenroseNo1);
    f.dartWithKite(10.0, 10.0);
    f.putTile(kind::Kaite, 5, 20.0, 8.0);
    f.doc.kindCounts = {1, 2};
    f.doc.printSettings.title = QStringLiteral("敷詰");
    return saveToBytes(f.doc, true);
}

// Positions of the bytes a reader ignores, found by walking the file with the record
// sizes: zero fields, link words, the tiles' and edges' own index fields, and the title's
// bytes after its terminator.
std::set<qsizetype> ignoredBytes(const QByteArray& bytes) {
    std::set<qsizetype> ignored;
    auto mark = [&](qsizetype from, qsizetype count) {
        for (qsizetype i = from; i < from + count; ++i) {
            ignored.insert(i);
        }
    };
    mark(14 + 6, 2);
    mark(14 + 12, 4);
    mark(14 + 39, 1);
    mark(62 + 20, 4);
    mark(62 + 40, 8);
    qsizetype at = 110;
    for (int k = 0; k < i32At(bytes, 62 + 12); ++k, at += 16) {
        mark(at + 7, 1);
        mark(at + 12, 4);
    }
    for (int j = 0; j < i32At(bytes, 62 + 16); ++j, at += 8) {
        mark(at + 3, 5);
    }
    mark(at + 9, 3);
    mark(at + 16, 4);
    const int groups = i32At(bytes, at + 12);
    at += 20;
    for (int g = 0; g < groups; ++g) {
        const int tiles = i32At(bytes, at);
        mark(at + 4, 8);
        at += 12;
        for (int t = 0; t < tiles; ++t) {
            const int edges = i32At(bytes, at + 12);
            mark(at + 4, 4);
            mark(at + 32, 8);
            at += 40;
            for (int e = 0; e < edges; ++e, at += 48) {
                mark(at, 8);
                mark(at + 44, 4);
            }
        }
    }
    const qsizetype terminator = bytes.indexOf('\0', at);
    mark(terminator + 1, at + 256 - terminator - 1);
    return ignored;
}

// Opens the bytes; an opened document must save to bytes that open and save again the same.
OpenStatus openChecked(const QByteArray& bytes, RecordingErrors& errors) {
    OpenResult result = openFromBytes(bytes, &errors);
    if (result.opened()) {
        const QByteArray again = saveToBytes(*result.document, result.groupMode);
        OpenResult reopened = openFromBytes(again);
        EXPECT_TRUE(reopened.opened());
        if (reopened.opened()) {
            EXPECT_EQ(saveToBytes(*reopened.document, reopened.groupMode), again);
        }
    } else {
        EXPECT_EQ(result.document, nullptr);
    }
    return result.status;
}

} // namespace

TEST(DamagedFiles, EveryTruncationOpensWithItsTilesOrIsRefused) {
    const QByteArray whole = smallFile();
    ASSERT_EQ(whole.size(), 1178);
    const qsizetype printAt = whole.size() - 280;
    for (qsizetype length = 0; length <= whole.size(); ++length) {
        RecordingErrors errors;
        const OpenStatus status = openChecked(whole.left(length), errors);
        EXPECT_TRUE(errors.codes.empty());
        // Every record up to the print settings must be there; a part of those will do.
        EXPECT_EQ(status, length > printAt ? OpenStatus::Opened : OpenStatus::Unreadable)
            << "length " << length;
    }
}

TEST(DamagedFiles, EverySingleByteChangeOpensOrIsRefused) {
    const QByteArray original = smallFile();
    const std::set<qsizetype> ignored = ignoredBytes(original);
    const qsizetype printAt = original.size() - 280;
    int opened = 0;
    int refused = 0;
    int reported = 0;
    for (qsizetype at = 0; at < original.size(); ++at) {
        for (int value = 0; value < 256; ++value) {
            if (static_cast<char>(value) == original.at(at)) {
                continue;
            }
            QByteArray bytes = original;
            bytes[at] = static_cast<char>(value);
            RecordingErrors errors;
            const OpenStatus status = openChecked(bytes, errors);
            if (status == OpenStatus::ErrorReported) {
                ++reported;
                // Only a tile that cannot be built from its kind and rotation.
                EXPECT_EQ(errors.codes, std::vector<std::string>{"EM007"}) << at;
            } else {
                EXPECT_TRUE(errors.codes.empty());
                (status == OpenStatus::Opened ? opened : refused) += 1;
            }
            if (ignored.count(at) != 0) {
                ASSERT_EQ(status, OpenStatus::Opened) << "byte " << at;
                OpenResult result = openFromBytes(bytes);
                EXPECT_EQ(saveToBytes(*result.document, result.groupMode), original)
                    << "byte " << at;
            } else if (at >= printAt) {
                // Print settings are taken as they are.
                EXPECT_EQ(status, OpenStatus::Opened) << "byte " << at;
            }
        }
    }
    EXPECT_GT(opened, 0);
    EXPECT_GT(refused, 0);
    EXPECT_GT(reported, 0);
}

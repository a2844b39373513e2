// The editing fuzz target on every seed of the document corpus, each followed by the same
// operations: a tile taken from the palette and dropped beside the first tile, drags of
// tiles onto others (joins), turns, moves and deletes by key, a detach, mode and pattern
// switches, tidying, undo, redo and saves. The target aborts when a rule breaks (see
// fuzz/editing_fuzz.cpp).
#include "fuzz/editing_fuzz.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

TEST(EditingFuzzTarget, EverySeedOpensOrStartsANewDocumentAndKeepsTheRulesWhileEdited) {
    paveloraFuzzEditingInit();
    // Each line one operation: its code, then its arguments.
    const QByteArray operations =
        QByteArray::fromHex("0402"                     // a kind from the palette,
                            "00002020"                 // dropped beside tile 0
                            "010100000210102020f00808" // tile 1 dragged in three moves
                            "01000000000000" // tile 0 taken and put back: a join where it fits
                            "030001038001"   // turns, both ways
                            "030301030201"   // moves right and up
                            "0202000001"     // a right click on tile 2
                            "070107030704"   // group mode, pattern off, tidy
                            "050506"         // undo, undo, redo
                            "08"             // save
                            "030501"         // delete
                            "010000000110f0"
                            "08"); // a drag and a save
    const QDir corpus(QStringLiteral(PAVELORA_FUZZ_CORPUS));
    const QStringList seeds = corpus.entryList(QDir::Files);
    ASSERT_GE(seeds.size(), 8);
    int steps = 0;
    const auto edit = [&](const QByteArray& input) {
        steps = 0;
        return paveloraFuzzEdit(reinterpret_cast<const std::uint8_t*>(input.constData()),
                                static_cast<std::size_t>(input.size()), &steps);
    };
    int opened = 0;
    for (const QString& name : seeds) {
        QFile file(corpus.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray seed = file.readAll();
        if (name.startsWith(QStringLiteral("opened"))) {
            ++opened;
            EXPECT_EQ(edit(seed + operations), FuzzEditDone) << name.toStdString();
            // The operations changed the document, except where they became the rest of a
            // title cut short.
            EXPECT_GE(steps, name.contains(QStringLiteral("cut-in-title")) ? 0 : 4)
                << name.toStdString();
        } else if (!name.startsWith(QStringLiteral("unreadable"))) { // refused, "EM007"
            EXPECT_EQ(edit(seed + operations), FuzzEditNotOpened) << name.toStdString();
        }
    }
    EXPECT_GE(opened, 6);
    // Not a document: the first two bytes choose the set and board of a new one.
    EXPECT_EQ(edit(QByteArray::fromHex("0307") + operations), FuzzEditDone);
    EXPECT_GE(steps, 5);
}

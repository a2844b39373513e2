// The editing fuzz target on every seed of the document corpus, each followed by the same
// operations. The target aborts when a rule breaks (see fuzz/editing_fuzz.cpp).
#include "fuzz/editing_fuzz.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

TEST(EditingFuzzTarget, EverySeedOpensOrStartsANewDocumentAndKeepsTheRulesWhileEdited) {
    paveloraFuzzEditingInit();
    // Operation codes and their arguments, in this order: a generated patch of eleven tiles,
    // forced tiles, dead ends shown, tile size 100 %, zoom 128 %, two undos; a kind from the
    // palette dropped beside tile 0, tile 1 dragged in three moves, tile 0 taken and put back,
    // turns both ways, moves right and up, a right click, group mode, pattern off, tidy, undo,
    // undo, redo, save, delete, a drag, save.
    const QByteArray operations = QByteArray::fromHex(
        "07082807060705070932070b400505"
        "040200002020010100000210102020f0080801000000000000030001038001030301030201"
        "020200000107010703070405050608030501010000000110f008");
    const QDir corpus(QStringLiteral(PAVELORA_FUZZ_CORPUS));
    const QStringList seeds = corpus.entryList(QDir::Files);
    ASSERT_GE(seeds.size(), 8);
    int steps = 0;
    const auto edit = [&](const QByteArray& input) {
        steps = 0;
        return paveloraFuzzEdit(reinterpret_cast<const std::uint8_t*>(input.constData()),
                                static_cast<std::size_t>(input.size()), &steps);
    };
    for (const QString& name : seeds) {
        QFile file(corpus.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray input = file.readAll() + operations;
        if (name.startsWith(QStringLiteral("opened"))) {
            EXPECT_EQ(edit(input), FuzzEditDone) << name.toStdString();
            // The operations changed the document, unless they filled a title cut short.
            EXPECT_GE(steps, name.contains(QStringLiteral("cut-in-title")) ? 0 : 4)
                << name.toStdString();
        } else if (!name.startsWith(QStringLiteral("unreadable"))) { // refused, "EM007"
            EXPECT_EQ(edit(input), FuzzEditNotOpened) << name.toStdString();
        }
    }
    // Not a document: the first two bytes choose the set and board of a new one.
    EXPECT_EQ(edit(QByteArray::fromHex("0307") + operations), FuzzEditDone);
    EXPECT_GE(steps, 5);
}

// Replays the fuzz target's seed corpus through the target's own entry point, so that the
// checks it makes run with every test run. The seeds' names say what must become of them:
// "opened-", "unreadable-" or "em007-"; other files (inputs kept from fuzzing runs) only
// must not fail.
#include "fuzz/document_fuzz.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

TEST(FuzzCorpus, EverySeedGivesTheOutcomeItsNameSays) {
    const QDir corpus(QStringLiteral(PAVELORA_FUZZ_CORPUS));
    const QStringList names = corpus.entryList(QDir::Files, QDir::Name);
    ASSERT_GE(names.size(), 8);
    int named = 0;
    for (const QString& name : names) {
        QFile file(corpus.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        const QByteArray bytes = file.readAll();
        const int outcome =
            paveloraFuzzOpen(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                             static_cast<std::size_t>(bytes.size()));
        EXPECT_EQ(LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                         static_cast<std::size_t>(bytes.size())),
                  0);
        if (name.startsWith(QLatin1String("opened-"))) {
            EXPECT_EQ(outcome, FuzzOpened) << name.toStdString();
            ++named;
        } else if (name.startsWith(QLatin1String("unreadable-"))) {
            EXPECT_EQ(outcome, FuzzUnreadable) << name.toStdString();
            ++named;
        } else if (name.startsWith(QLatin1String("em007-"))) {
            EXPECT_EQ(outcome, FuzzErrorReported) << name.toStdString();
            ++named;
        }
    }
    EXPECT_GE(named, 8);
}

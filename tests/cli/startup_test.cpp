// The process set-up of the program: a save beyond the file-size limit fails as a save,
// instead of the kernel's SIGXFSZ ending the program. Run in a child process that has the
// signal's default action, as a program started from a shell with `ulimit -f` has.
#include "cli/startup.h"
#include "core/fixture.h"
#include "document/documentio.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace pavelora;

namespace {

struct Silent : Progress {
    void setText(const QString&) override {}
    void start(int) override {}
    void step(int) override {}
};

// What the child reports through its exit code.
enum ChildResult { SaveFailed = 10, SaveSucceeded = 11, SetupFailed = 12 };

} // namespace

TEST(ProcessSetup, ASaveBeyondTheFileSizeLimitFailsAndKeepsTheOldFile) {
    test::BoardFixture f(setcode::PenroseNo1);
    for (int i = 0; i < 40; ++i) {
        f.putTile(kind::Kaite, i % 10, 3.0 + 0.5 * i, 10.0);
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("old.pvd"));
    const QByteArray old(1000, 'o');
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(old) == old.size());
    }
    constexpr rlim_t Limit = 4096; // the document takes more than this

    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const struct rlimit limited = {Limit, Limit};
        if (setrlimit(RLIMIT_FSIZE, &limited) != 0 || std::signal(SIGXFSZ, SIG_DFL) == SIG_ERR) {
            _exit(SetupFailed);
        }
        cli::prepareProcess();
        Silent progress;
        const SaveStatus status = saveDocument(path, f.doc, false, progress);
        _exit(status == SaveStatus::WriteFailed ? SaveFailed : SaveSucceeded);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_FALSE(WIFSIGNALED(status)) << "ended by signal " << WTERMSIG(status);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), SaveFailed);

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), old);
    // No temporary file is left behind.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("old.pvd")});

    // The same save without the limit is larger than the limit: it was the limit that failed.
    Silent progress;
    ASSERT_EQ(saveDocument(path, f.doc, false, progress), SaveStatus::Saved);
    EXPECT_GT(QFileInfo(path).size(), static_cast<qint64>(Limit));
}

// The program as a process: a save beyond the file-size limit fails as a save instead of
// the kernel's SIGXFSZ ending the program (in a child process with the signal's default
// action, as a program started from a shell with `ulimit -f` has), and the recovery copy
// against the real program, started on a document, changed through its test control
// (standard input, see src/widgets/testcontrol.h), killed with SIGKILL and started again.
#include "cli/startup.h"
#include "core/fixture.h"
#include "document/documentimage.h"
#include "document/documentio.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <tuple>
#include <unistd.h>

using namespace pavelora;

namespace {

// The program on a document with its cache in `cache`; QProcess kills it when it goes.
struct Program {
    QProcess process;
    Program(const QString& cache, const QString& document) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_CACHE_HOME"), cache);
        env.insert(QStringLiteral("PAVELORA_TEST_CONTROL"), QStringLiteral("1"));
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(PAVELORA_EXECUTABLE), {document});
    }
    // One command and its one-line answer; with `notYet`, asked again while that is the
    // answer (the program is still starting).
    QString ask(const QString& line, const QString& notYet = QString()) {
        for (int tries = 0; tries < 300; ++tries, QThread::msleep(100)) {
            process.write((line + QLatin1Char('\n')).toUtf8());
            while (!process.canReadLine() && process.waitForReadyRead(30000)) {
            }
            const QString answer = QString::fromUtf8(process.readLine()).trimmed();
            if (answer != notYet || notYet.isEmpty()) {
                return answer;
            }
        }
        return notYet;
    }
};

enum ChildExit { SaveFailed = 10, SaveSucceeded, SetupFailed };

} // namespace

TEST(RecoveryProcess, AKilledProgramOffersItsChangesBackAtTheNextStart) {
    QTemporaryDir cache, files;
    const QString path = files.filePath(QStringLiteral("tiling.pvd"));
    test::BoardFixture f(setcode::PenroseNo1);
    f.doc.patternOn = 1;
    f.putTile(kind::Kaite, 0, 10.0, 10.0);
    SilentProgress progress;
    ASSERT_EQ(saveDocument(path, f.doc, false, progress), SaveStatus::Saved);
    const QDir recovery(cache.filePath(QStringLiteral("Pavelora/recovery")));
    const auto copies = [&] { return recovery.entryList({QStringLiteral("*.pvd")}, QDir::Files); };
    const QString title = path + QStringLiteral("‐Pavelora");

    {
        Program first(cache.path(), path);
        ASSERT_EQ(first.ask(QStringLiteral("state"), QStringLiteral("state Pavelora|0|0")),
                  QStringLiteral("state ") + title + QStringLiteral("|0|0"));
        // 50 changes: the pattern off, then the mode 49 times (ending in group mode).
        for (int i = 0; i < 50; ++i) {
            const int command = i == 0 ? 40034 : i % 2 == 1 ? 40032 : 40031;
            ASSERT_EQ(first.ask(QStringLiteral("command %1").arg(command)),
                      QStringLiteral("done %1").arg(command));
        }
        EXPECT_EQ(copies().size(), 1);
        first.ask(QStringLiteral("command 40031")); // the 51st is not in the copy
        first.process.kill();
        ASSERT_TRUE(first.process.waitForFinished(30000));
    }
    ASSERT_EQ(copies().size(), 1);

    Program second(cache.path(), path);
    EXPECT_EQ(second.ask(QStringLiteral("box"), QStringLiteral("box none")),
              QStringLiteral("box Pavelora|前回保存されなかった変更があります（%1）。"
                             "タイリングデータを復元しますか？")
                  .arg(path));
    EXPECT_EQ(second.ask(QStringLiteral("answer yes")), QStringLiteral("answered"));
    // The copy's document under the file's name, changed, in group mode.
    EXPECT_EQ(second.ask(QStringLiteral("state"), QStringLiteral("state Pavelora|0|0")),
              QStringLiteral("state ") + title + QStringLiteral("|1|1"));
    EXPECT_EQ(copies().size(), 1); // until it is saved
    EXPECT_EQ(second.ask(QStringLiteral("command 40005")), QStringLiteral("done 40005"));
    EXPECT_TRUE(copies().isEmpty());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const auto saved = readDocumentImage(file);
    ASSERT_NE(saved, nullptr);
    EXPECT_EQ(
        std::tuple(saved->board.groupMode, saved->board.patternOn, saved->groupTable.groups.size()),
        std::tuple(1u, 0u, std::size_t{1}));

    // A clean exit leaves nothing behind.
    EXPECT_EQ(second.ask(QStringLiteral("command 40010")), QStringLiteral("done 40010"));
    ASSERT_TRUE(second.process.waitForFinished(30000));
    EXPECT_TRUE(second.process.exitCode() == 0 && recovery.entryList(QDir::Files).isEmpty());
}

TEST(ProcessSetup, ASaveBeyondTheFileSizeLimitFailsAndKeepsTheOldFile) {
    test::BoardFixture f(setcode::PenroseNo1);
    for (int i = 0; i < 40; ++i) {
        f.putTile(kind::Kaite, i % 10, 3.0 + 0.5 * i, 10.0);
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("old.pvd"));
    const QByteArray old(1000, 'o');
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(old) == old.size());
    file.close();
    constexpr rlim_t Limit = 4096; // the document takes more than this

    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const struct rlimit limited = {Limit, Limit};
        if (setrlimit(RLIMIT_FSIZE, &limited) != 0 || std::signal(SIGXFSZ, SIG_DFL) == SIG_ERR) {
            _exit(SetupFailed);
        }
        cli::prepareProcess();
        SilentProgress progress;
        const SaveStatus status = saveDocument(path, f.doc, false, progress);
        _exit(status == SaveStatus::WriteFailed ? SaveFailed : SaveSucceeded);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), SaveFailed);

    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), old);
    // No temporary file is left behind.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("old.pvd")});
}

// The recovery copy against the real program: it is started on a document, changed through
// its test control (standard input, see src/widgets/testcontrol.h), killed with SIGKILL and
// started again, with its cache folder in a temporary folder.
#include "core/fixture.h"
#include "document/documentio.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

using namespace pavelora;

namespace {

struct Silent : Progress {
    void setText(const QString&) override {}
    void start(int) override {}
    void step(int) override {}
};

struct NoErrors : ErrorReporter {
    void reportError(const char* code) override { ADD_FAILURE() << code; }
};

class Program {
public:
    Program(const QString& cache, const QString& document) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_CACHE_HOME"), cache);
        env.insert(QStringLiteral("PAVELORA_TEST_CONTROL"), QStringLiteral("1"));
        process_.setProcessEnvironment(env);
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.start(QStringLiteral(PAVELORA_EXECUTABLE), {document});
        EXPECT_TRUE(process_.waitForStarted(30000));
    }
    ~Program() {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(30000);
        }
    }
    // One command and its one-line answer.
    QString ask(const QString& line) {
        process_.write((line + QLatin1Char('\n')).toUtf8());
        while (!process_.canReadLine()) {
            if (!process_.waitForReadyRead(30000)) {
                ADD_FAILURE() << "no answer to " << line.toStdString();
                return {};
            }
        }
        return QString::fromUtf8(process_.readLine()).trimmed();
    }
    // Asks until the answer is no longer `notYet` (the program is still starting).
    QString askUntil(const QString& line, const QString& notYet) {
        QString answer;
        for (int i = 0; i < 300 && (answer = ask(line)) == notYet; ++i) {
            QThread::msleep(100);
        }
        return answer;
    }
    QProcess& process() { return process_; }

private:
    QProcess process_;
};

} // namespace

TEST(RecoveryProcess, AKilledProgramOffersItsChangesBackAtTheNextStart) {
    QTemporaryDir cache, files;
    const QString path = files.filePath(QStringLiteral("tiling.pvd"));
    test::BoardFixture f(setcode::PenroseNo1);
    f.doc.patternOn = 1;
    f.putTile(kind::Kaite, 0, 10.0, 10.0);
    f.putTile(kind::Dart, 3, 14.0, 10.0);
    Silent progress;
    ASSERT_EQ(saveDocument(path, f.doc, false, progress), SaveStatus::Saved);
    const QDir recovery(cache.filePath(QStringLiteral("Pavelora/recovery")));
    const auto copies = [&] { return recovery.entryList({QStringLiteral("*.pvd")}, QDir::Files); };
    const QString title = path + QStringLiteral("‐Pavelora");

    {
        Program first(cache.path(), path);
        ASSERT_EQ(first.askUntil(QStringLiteral("state"), QStringLiteral("state Pavelora|0|0")),
                  QStringLiteral("state ") + title + QStringLiteral("|0|0"));
        // 50 changes: the pattern off, then the mode 49 times (ending in group mode).
        ASSERT_EQ(first.ask(QStringLiteral("command 40034")), QStringLiteral("done 40034"));
        for (int i = 0; i < 49; ++i) {
            const int command = i % 2 == 0 ? 40032 : 40031;
            ASSERT_EQ(first.ask(QStringLiteral("command %1").arg(command)),
                      QStringLiteral("done %1").arg(command));
        }
        EXPECT_EQ(copies().size(), 1);
        first.ask(QStringLiteral("command 40031")); // the 51st is not in the copy
        first.process().kill();
        ASSERT_TRUE(first.process().waitForFinished(30000));
        EXPECT_EQ(first.process().exitStatus(), QProcess::CrashExit);
    }
    ASSERT_EQ(copies().size(), 1);

    Program second(cache.path(), path);
    EXPECT_EQ(second.askUntil(QStringLiteral("box"), QStringLiteral("box none")),
              QStringLiteral("box Pavelora|前回保存されなかった変更があります（%1）。"
                             "タイリングデータを復元しますか？")
                  .arg(path));
    EXPECT_EQ(second.ask(QStringLiteral("answer yes")), QStringLiteral("answered"));
    // The copy's document under the file's name, changed, in group mode.
    EXPECT_EQ(second.askUntil(QStringLiteral("state"), QStringLiteral("state Pavelora|0|0")),
              QStringLiteral("state ") + title + QStringLiteral("|1|1"));
    EXPECT_EQ(copies().size(), 1); // until it is saved
    EXPECT_EQ(second.ask(QStringLiteral("command 40005")), QStringLiteral("done 40005"));
    EXPECT_TRUE(copies().isEmpty());
    NoErrors errors;
    const OpenResult saved = openDocument(path, ScreenGeometry::of(f.doc.view), progress, errors);
    ASSERT_TRUE(saved.opened());
    EXPECT_TRUE(saved.groupMode && saved.document->patternOn == 0);
    EXPECT_EQ(saved.document->board.count(), 2);

    // A clean exit leaves nothing behind.
    EXPECT_EQ(second.ask(QStringLiteral("command 40010")), QStringLiteral("done 40010"));
    ASSERT_TRUE(second.process().waitForFinished(30000));
    EXPECT_EQ(second.process().exitCode(), 0);
    EXPECT_TRUE(recovery.entryList(QDir::Files).isEmpty());
}

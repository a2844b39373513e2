#pragma once

#include <QProcess>
#include <QStringList>

#include <gtest/gtest.h>

namespace pavelora::test {

struct CommandResult {
    int exitCode = -1;
    QString output;
    QString errors;
};

// The program run with `arguments` as a script runs it: without a display, which a
// headless command must not need.
inline CommandResult run(const QStringList& arguments) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(PAVELORA_EXECUTABLE), arguments);
    EXPECT_TRUE(process.waitForFinished(60000));
    CommandResult result;
    result.exitCode = process.exitCode();
    result.output = QString::fromUtf8(process.readAllStandardOutput());
    result.errors = QString::fromUtf8(process.readAllStandardError());
    return result;
}

} // namespace pavelora::test

// Running out of memory while saving and opening. This executable replaces the global
// operator new so that one chosen allocation fails with std::bad_alloc.
#include "docfixture.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <set>

namespace {

long allocationCount = 0;
long failingAllocation = -1; // -1: none fails
bool failed = false;

} // namespace

void* operator new(std::size_t size) {
    if (failingAllocation >= 0 && allocationCount++ == failingAllocation) {
        failed = true;
        throw std::bad_alloc();
    }
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept {
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

using namespace pavelora;
using namespace pavelora::doctest;

namespace {

// Makes the allocation with the given number (from 0) fail, until disarmed.
struct FailingAllocation {
    explicit FailingAllocation(long which) {
        allocationCount = 0;
        failingAllocation = which;
        failed = false;
    }
    ~FailingAllocation() { failingAllocation = -1; }
};

// Progress and error reports that allocate nothing.
struct QuietProgress : Progress {
    int steps = 0;
    void setText(const QString&) override {}
    void start(int) override {}
    void step(int amount) override { steps += amount; }
};

struct LastError : ErrorReporter {
    const char* code = nullptr;
    int reports = 0;
    void reportError(const char* c) override {
        code = c;
        ++reports;
    }
};

} // namespace

TEST(OutOfMemory, EveryFailingAllocationWhileOpeningIsReportedWithItsStepsCode) {
    RichDocument rich(setcode::PenroseNo1, 3, 2);
    const auto image = buildDocumentImage(rich.doc(), false);
    std::set<std::string> codes;
    int refusals = 0;
    bool opened = false;
    for (long k = 0; k < 100000 && !opened; ++k) {
        QuietProgress progress;
        LastError errors;
        OpenResult result;
        bool injected = false;
        {
            FailingAllocation failing(k);
            result = openDocumentImage(*image, testScreen(), progress, errors);
            injected = failed;
        }
        if (!injected) {
            ASSERT_EQ(result.status, OpenStatus::Opened);
            ASSERT_EQ(errors.reports, 0);
            opened = true;
            continue;
        }
        EXPECT_EQ(result.document, nullptr) << k;
        if (result.status == OpenStatus::ErrorReported) {
            ASSERT_EQ(errors.reports, 1) << k;
            codes.insert(errors.code);
        } else {
            // Checking the image and creating the tile set have no code of their own.
            EXPECT_EQ(result.status, OpenStatus::Unreadable) << k;
            EXPECT_EQ(errors.reports, 0) << k;
            ++refusals;
        }
    }
    EXPECT_TRUE(opened);
    EXPECT_GT(refusals, 0);
    EXPECT_EQ(codes, (std::set<std::string>{"EM003", "EM004", "EM005", "EM006", "EM007", "EM008",
                                            "EM009", "EM010", "EM011"}));
}

TEST(OutOfMemory, AFailureWhileBuildingTheImageLeavesTheOldFileUntouched) {
    RichDocument rich(setcode::Kepler, 3, 2);
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("doc.pvd"));
    {
        QFile file(target);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("old contents");
    }
    // The allocations that building the image makes come first in a save.
    long buildAllocations = 0;
    {
        FailingAllocation counting(1L << 40);
        buildDocumentImage(rich.doc(), false);
        buildAllocations = allocationCount;
    }
    ASSERT_GT(buildAllocations, 5);
    for (long k = 0; k < buildAllocations; ++k) {
        QuietProgress progress;
        SaveStatus status = SaveStatus::Saved;
        {
            FailingAllocation failing(k);
            status = saveDocument(target, rich.doc(), false, progress);
        }
        EXPECT_EQ(status, SaveStatus::NotBuilt) << k;
        QFile file(target);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), QByteArray("old contents")) << k;
    }
    QuietProgress progress;
    EXPECT_EQ(saveDocument(target, rich.doc(), false, progress), SaveStatus::Saved);
    EXPECT_EQ(progress.steps, 100);
}

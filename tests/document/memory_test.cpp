// Running out of memory while saving and opening. This executable replaces the global
// operator new so that one chosen allocation fails with std::bad_alloc.
#include "docfixture.h"

#include <QTemporaryDir>

#include <cstdlib>
#include <new>
#include <set>

using namespace pavelora;
using namespace pavelora::doctest;

namespace {

long allocationCount = 0;
long failingAllocation = -1; // -1: none fails
bool failed = false;

// Makes the allocation with the given number (from 0) fail while f runs; true when it did.
template <typename F> bool failingAllocationNumber(long which, F&& f) {
    allocationCount = 0;
    failingAllocation = which;
    failed = false;
    f();
    failingAllocation = -1;
    return failed;
}

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

TEST(OutOfMemory, EveryFailingAllocationWhileOpeningIsReportedWithItsStepsCode) {
    RichDocument rich(setcode::PenroseNo1, 3);
    const auto image = buildDocumentImage(rich.f.doc, false);
    std::set<std::string> codes;
    int refusals = 0;
    bool opened = false;
    for (long k = 0; k < 100000 && !opened; ++k) {
        SilentProgress progress; // allocates nothing: a failing allocation is the driver's
        RecordingErrors errors;  // allocates only after the failure
        OpenResult result;
        if (!failingAllocationNumber(
                k, [&] { result = openDocumentImage(*image, testScreen(), progress, errors); })) {
            ASSERT_EQ(result.status, OpenStatus::Opened);
            ASSERT_TRUE(errors.codes.empty());
            opened = true;
            continue;
        }
        EXPECT_EQ(result.document, nullptr) << k;
        if (result.status == OpenStatus::ErrorReported) {
            ASSERT_EQ(errors.codes.size(), 1u) << k;
            codes.insert(errors.codes[0]);
        } else {
            // Checking the image and creating the tile set have no code of their own.
            EXPECT_EQ(result.status, OpenStatus::Unreadable) << k;
            EXPECT_TRUE(errors.codes.empty()) << k;
            ++refusals;
        }
    }
    EXPECT_TRUE(opened);
    EXPECT_GT(refusals, 0);
    EXPECT_EQ(codes, (std::set<std::string>{"EM003", "EM004", "EM005", "EM006", "EM007", "EM008",
                                            "EM009", "EM010", "EM011"}));
}

TEST(OutOfMemory, AFailureWhileBuildingTheImageLeavesTheOldFileUntouched) {
    RichDocument rich(setcode::Kepler);
    QTemporaryDir dir;
    QFile old(dir.filePath(QStringLiteral("doc.pvd")));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly) && old.write("old contents") == 12);
    old.close();
    // The allocations that building the image makes come first in a save.
    failingAllocationNumber(1L << 40, [&] { buildDocumentImage(rich.f.doc, false); });
    const long buildAllocations = allocationCount;
    ASSERT_GT(buildAllocations, 5);
    for (long k = 0; k < buildAllocations; ++k) {
        SilentProgress progress;
        SaveStatus status = SaveStatus::Saved;
        failingAllocationNumber(
            k, [&] { status = saveDocument(old.fileName(), rich.f.doc, false, progress); });
        EXPECT_EQ(status, SaveStatus::NotBuilt) << k;
        ASSERT_TRUE(old.open(QIODevice::ReadOnly));
        EXPECT_EQ(old.readAll(), QByteArray("old contents")) << k;
        old.close();
    }
}

// tests/common/hr_error_test.cpp: the boundary where failures become result codes.
#include "common/hr_error.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "pixelfold/pixelfold.h"

namespace pixelfold {
namespace {

TEST(HrBoundaryTest, MapsEachKindOfFailure) {
    EXPECT_EQ(S_OK, HrBoundary([] { return S_OK; }));
    EXPECT_EQ(S_FALSE, HrBoundary([] { return S_FALSE; }));
    EXPECT_EQ(FILE_E_BAD_FORMAT, HrBoundary([]() -> HRESULT { ThrowHr(FILE_E_BAD_FORMAT); }));
    EXPECT_EQ(E_OUTOFMEMORY, HrBoundary([]() -> HRESULT { throw std::bad_alloc(); }));
    EXPECT_EQ(E_UNEXPECTED, HrBoundary([]() -> HRESULT { throw std::runtime_error("x"); }));
}

HRESULT FailsAfterStep(int failingStep, int& stepsRun) {
    for (int step = 0; step < 3; ++step) {
        ++stepsRun;
        RETURN_IF_FAILED(step == failingStep ? E_FAIL : S_OK);
    }
    return S_OK;
}

TEST(HrBoundaryTest, ReturnIfFailedStopsAtTheFirstFailure) {
    int stepsRun = 0;
    EXPECT_EQ(E_FAIL, FailsAfterStep(1, stepsRun));
    EXPECT_EQ(2, stepsRun);
    stepsRun = 0;
    EXPECT_EQ(S_OK, FailsAfterStep(-1, stepsRun));
    EXPECT_EQ(3, stepsRun);
}

}  // namespace
}  // namespace pixelfold

// The built-in source of list text: the queries asked of WMI itself.
#include "probes/wmi_source.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/common/test_kit.h"
#include "tests/windows/wmi_fixture.h"

namespace orva {
namespace {

// QueryWmiListText on a thread whose COM model is set before the call.
struct ThreadRun {
    DWORD model = 0;
    HRESULT before = E_FAIL;
    HRESULT after = E_FAIL;  // CoInitializeEx again: S_FALSE if COM is still up
    std::string text;
};

DWORD WINAPI QueryOnThread(void* parameter) {
    ThreadRun& run = *static_cast<ThreadRun*>(parameter);
    run.before = CoInitializeEx(nullptr, run.model);
    run.text = QueryWmiListText(kDiskQuery);
    run.after = CoInitializeEx(nullptr, run.model);
    if (SUCCEEDED(run.after)) {
        CoUninitialize();
    }
    if (SUCCEEDED(run.before)) {
        CoUninitialize();
    }
    return 0;
}

TEST(QueryWmiListText, WorksInEitherComModelAndLeavesTheCallersComAsItWas) {
    for (const DWORD model : {COINIT_APARTMENTTHREADED, COINIT_MULTITHREADED}) {
        ThreadRun run;
        run.model = model;
        const HANDLE thread = CreateThread(nullptr, 0, QueryOnThread, &run, 0, nullptr);
        ASSERT_NE(thread, nullptr);
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
        EXPECT_EQ(run.before, S_OK);
        EXPECT_EQ(run.after, S_FALSE);
        EXPECT_EQ(FirstValue(run.text, "Model=", "Size="), "Wine Disk Drive") << model;
    }
}

}  // namespace
}  // namespace orva

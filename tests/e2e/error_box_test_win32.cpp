// The error box as the user meets it, under Wine with a virtual display: the stub's box
// is found from this process, its caption and text read, and its OK button pressed; the
// stub must then end with the launch result. Wine's box does not carry the topmost style
// it was asked for, so error_box.sh checks the arguments that reached MessageBoxA.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

struct BoxSeen {
    bool found = false;
    std::string caption;
    std::string text;
};

struct Search {
    DWORD processId;
    HWND box;
};

BOOL CALLBACK FindBoxOfProcess(HWND window, LPARAM raw)
{
    auto* search = reinterpret_cast<Search*>(raw);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    if (owner == search->processId && std::string(className) == "#32770" && IsWindowVisible(window)) {
        search->box = window;
        return FALSE;
    }
    return TRUE;
}

// Starts the program, waits for its box, reads it and presses OK.
BoxSeen PressOkOnBox(const std::string& program, DWORD* exitCode)
{
    BoxSeen seen;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::string commandLine = "\"" + program + "\"";
    if (!CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return seen;
    Search search{process.dwProcessId, nullptr};
    for (int i = 0; i < 300 && !search.box; ++i) {
        EnumWindows(FindBoxOfProcess, reinterpret_cast<LPARAM>(&search));
        if (!search.box)
            Sleep(100);
    }
    if (search.box) {
        seen.found = true;
        Sleep(300);   // let the box finish its own initialisation
        char text[1024] = {};
        GetWindowTextA(search.box, text, sizeof text);
        seen.caption = text;
        // The message text is the box's static control.
        GetDlgItemTextA(search.box, 0xFFFF, text, sizeof text);
        seen.text = text;
        PostMessageA(search.box, WM_COMMAND, IDOK, 0);
    }
    if (WaitForSingleObject(process.hProcess, 30000) == WAIT_TIMEOUT)
        TerminateProcess(process.hProcess, 99);
    GetExitCodeProcess(process.hProcess, exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return seen;
}

} // namespace

TEST(ErrorBox, BareStubShowsRuntimeNotFound)
{
    // No JRE_HOME or JAVA_HOME, and Wine holds no Java runtime keys.
    SetEnvironmentVariableA("JRE_HOME", nullptr);
    SetEnvironmentVariableA("JAVA_HOME", nullptr);
    DWORD exitCode = 0;
    BoxSeen box = PressOkOnBox(TOVARIN_STUB, &exitCode);
    ASSERT_TRUE(box.found) << "no box appeared";
    EXPECT_EQ(box.caption, "Error");
    EXPECT_EQ(box.text, "Java Runtime Environment not found.");
    EXPECT_EQ(exitCode, 1u);
}

// A child process for the Windows runner tests: `test_child print TEXT` writes TEXT to standard
// output and "!" to standard error; `test_child exit N` ends with exit code N; `test_child
// sleep FILE` writes its own and its parent's process id to FILE and then sleeps until it is
// ended from outside.
#include <windows.h>

#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

namespace {

DWORD ParentProcessId()
{
    const DWORD self = GetCurrentProcessId();
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    DWORD parent = 0;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        if (entry.th32ProcessID == self)
            parent = entry.th32ParentProcessID;
    }
    CloseHandle(snapshot);
    return parent;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "print") == 0) {
        std::fputs(argv[2], stdout);
        std::fflush(stdout);
        std::fputs("!", stderr);
        return 0;
    }
    if (argc == 3 && std::strcmp(argv[1], "exit") == 0)
        return std::atoi(argv[2]);
    if (argc == 3 && std::strcmp(argv[1], "sleep") == 0) {
        {
            // Written whole under another name, then renamed, so that a reader never sees half.
            const std::string temp = std::string(argv[2]) + ".part";
            std::ofstream(temp) << GetCurrentProcessId() << ' ' << ParentProcessId() << '\n';
            MoveFileExA(temp.c_str(), argv[2], MOVEFILE_REPLACE_EXISTING);
        }
        Sleep(INFINITE);
    }
    return 2;
}

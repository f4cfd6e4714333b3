// The GUI entry point on Windows: hands main() the command line in the ANSI code page.
#include <QtGlobal>

#ifdef Q_OS_WIN
#include <windows.h>

#include <shellapi.h>

#include <vector>

int main(int argc, char** argv);

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    int argc = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!wide) {
        return -1;
    }
    std::vector<std::vector<char>> storage(argc);
    std::vector<char*> argv(argc + 1, nullptr);
    for (int i = 0; i < argc; ++i) {
        const int size = WideCharToMultiByte(CP_ACP, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
        storage[i].assign(size > 0 ? size : 1, '\0');
        WideCharToMultiByte(CP_ACP, 0, wide[i], -1, storage[i].data(), size, nullptr, nullptr);
        argv[i] = storage[i].data();
    }
    LocalFree(wide);
    return main(argc, argv.data());
}
#endif

#include "cli/EcrCtl.h"
#include "link/TimerSlack.h"

#include <iostream>
#include <string>
#include <vector>

#ifdef _WIN32
#include "serial/platform/WindowsHeader.h"

#include <io.h>

// ecrctl works in UTF-8 throughout, as its JSON must. Windows hands a program
// its arguments in the ANSI code page, which cannot hold every letter a
// register takes (Đ is not in Windows-1252), so they are taken wide and made
// UTF-8; and a console shows the output as UTF-8 until ecrctl is done.
int wmain(int argc, wchar_t** argv)
{
    // Before anything else: the 1 ms flush before each request lasts 1 ms.
    TimerSlack::MakeFine();
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        const int size = WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, nullptr, 0, nullptr, nullptr);
        std::string arg(static_cast<std::size_t>(size > 0 ? size : 1), '\0');
        WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, arg.data(), size, nullptr, nullptr);
        arg.pop_back();  // the terminating zero
        args.push_back(arg);
    }
    const UINT consoleCodePage = GetConsoleOutputCP();
    if (consoleCodePage != 0) {
        SetConsoleOutputCP(CP_UTF8);
    }
    const int code = EcrCtl::Run(args, std::cout, std::cerr, _isatty(_fileno(stderr)) != 0);
    if (consoleCodePage != 0) {
        SetConsoleOutputCP(consoleCodePage);
    }
    return code;
}

#else
#include <csignal>
#include <unistd.h>

int main(int argc, char** argv)
{
    // Before anything else, so that every thread of the run inherits it.
    TimerSlack::MakeFine();
    // Past a file size limit (ulimit -f) a write fails with EFBIG, which the
    // file's writer reports, instead of the signal ending the run mid-job.
    std::signal(SIGXFSZ, SIG_IGN);
    const std::vector<std::string> args(argv + 1, argv + argc);
    return EcrCtl::Run(args, std::cout, std::cerr, ::isatty(STDERR_FILENO) != 0);
}
#endif

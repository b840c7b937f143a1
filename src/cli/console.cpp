#include "cli/console.h"

#include <QtGlobal>

#ifdef Q_OS_WIN
#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace zrk6::cli {

void PrepareConsole()
{
#ifdef Q_OS_WIN
    // Output is the same bytes as elsewhere: a file written through a pipe or a redirection
    // (a channel list, the text form) must not gain carriage returns.
    for (FILE *stream : {stdin, stdout, stderr})
        ::_setmode(::_fileno(stream), _O_BINARY);
    ::SetConsoleOutputCP(CP_UTF8);
    for (const DWORD which : {STD_OUTPUT_HANDLE, STD_ERROR_HANDLE}) {
        const HANDLE handle = ::GetStdHandle(which);
        DWORD mode = 0;
        if (handle != INVALID_HANDLE_VALUE && ::GetConsoleMode(handle, &mode))
            ::SetConsoleMode(handle, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
    }
#endif
}

bool StderrIsTerminal()
{
#ifdef Q_OS_WIN
    // A console, not a pipe or a file (isatty() also says yes for the NUL device).
    DWORD mode = 0;
    return ::GetConsoleMode(::GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
#else
    return ::isatty(STDERR_FILENO) == 1;
#endif
}

} // namespace zrk6::cli

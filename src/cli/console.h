#pragma once

namespace zrk6::cli {

// Sets up the console the program writes to: on Windows UTF-8 output (the Chinese texts) and
// terminal escapes for the progress lines; elsewhere nothing is needed.
void PrepareConsole();

// Whether standard error is an interactive terminal (a console window on Windows), where
// progress is redrawn in place.
bool StderrIsTerminal();

} // namespace zrk6::cli

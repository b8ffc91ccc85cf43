// The terminal kvprog-cli runs in, as each system has it: ConsolePosix.cpp, ConsoleWin.cpp.
#pragma once

#include <string>
#include <vector>

// Whether standard error is a terminal a progress bar can be redrawn on.
bool ErrorIsTerminal();

// Waits up to milliseconds for standard input: the number of Enter presses that came
// (several may arrive in one piece, from a script or a fast hand), 0 for none yet, -1 once
// the input has ended.
int ReadEnterPresses(int milliseconds);

// Waits milliseconds.
void Pause(int milliseconds);

// The words the program was started with, after its name, in UTF-8: a file name in any
// script reaches the verbs whatever the system's code page.
std::vector<std::string> CommandLineWords(int argc, char** argv);

// Standard output and error are UTF-8 text; a console shows them as such.
void UseUtf8Console();

// A windowed program has no console of its own: what it prints reaches the console it was
// started from, where its output is not already sent elsewhere (a file, a pipe).
void UseParentConsole();

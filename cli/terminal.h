#pragma once

#include <cstdio>

// Whether `stream` is a terminal someone watches, rather than a file or a pipe of a script.
bool isTerminal(std::FILE* stream);

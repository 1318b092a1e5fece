// Prints lintaro-cli's bash completion script, for the build to install.
#include <iostream>

#include "cli/bash_completion.h"

int main() {
    std::cout << lintaro::CliBashCompletion();
    return std::cout.good() ? 0 : 1;
}

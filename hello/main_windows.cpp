// SPDX-License-Identifier: MIT
// hello on Windows: greets, then has the command processor run its "pause", so that the greeting
// stays on screen until a key is pressed.
#include <cstdlib>
#include <iostream>

int main()
{
    std::cout << "Hello world!" << std::endl;
    // NOLINTNEXTLINE(cert-env33-c): running the command processor is the point
    (void)std::system("pause");
    return 0;
}

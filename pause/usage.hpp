// SPDX-License-Identifier: MIT
// pause's command line: nothing, or --help or --version.
#pragma once

namespace usage
{

// Acts on the arguments after the program's name: returns -1 where pause is to prompt and wait
// (none, or a lone "--"), else the exit status, once the help, the version or the reason for
// refusing them is written.
int command_line(char *const *args);

} // namespace usage

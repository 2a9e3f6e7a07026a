// SPDX-License-Identifier: MIT
// hello as a child subreaper, on Linux 3.4 and later.
#include "reaper.hpp"

#include <sys/prctl.h>

namespace reaper
{

void adopt_orphans()
{
    (void)prctl(PR_SET_CHILD_SUBREAPER, 1);
}

} // namespace reaper

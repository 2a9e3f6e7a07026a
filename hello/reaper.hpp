// SPDX-License-Identifier: MIT
// hello as the reaper of what is orphaned below it, where the system lets a process be one.
#pragma once

namespace reaper
{

// From now on a process below hello whose parent ends becomes hello's child, rather than
// leaving hello's tree; nothing where the system has no such thing. Async-signal-safe.
void adopt_orphans();

} // namespace reaper

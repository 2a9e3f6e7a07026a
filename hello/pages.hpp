// SPDX-License-Identifier: MIT
// Memory straight from the kernel, which a signal handler may ask for, as it may not of malloc.
#pragma once

#include <cstddef>

namespace pages
{

// bytes of zeroed memory; null where there is none.
void *get(std::size_t bytes);

// Gives back what get gave, of the same size.
void put(void *at, std::size_t bytes);

} // namespace pages

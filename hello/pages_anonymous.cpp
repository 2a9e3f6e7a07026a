// SPDX-License-Identifier: MIT
// Memory mapped anonymously, where the system has MAP_ANONYMOUS.
#include "pages.hpp"

#include <sys/mman.h>

namespace pages
{

void *get(std::size_t bytes)
{
    void *const at =
        mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return at == MAP_FAILED ? nullptr : at;
}

void put(void *at, std::size_t bytes)
{
    (void)munmap(at, bytes);
}

} // namespace pages

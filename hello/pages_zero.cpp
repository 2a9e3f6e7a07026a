// SPDX-License-Identifier: MIT
// Memory mapped from /dev/zero, where the system has no MAP_ANONYMOUS (strict POSIX).
#include "pages.hpp"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

namespace pages
{

void *get(std::size_t bytes)
{
    const int fd = open("/dev/zero", O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        return nullptr;
    }
    void *const at = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE, fd, 0);
    (void)close(fd);
    return at == MAP_FAILED ? nullptr : at;
}

void put(void *at, std::size_t bytes)
{
    (void)munmap(at, bytes);
}

} // namespace pages

/* SPDX-License-Identifier: MIT */
#define MAP_FIXED_NOREPLACE 0x100000
#define EEXIST 17

struct mmap_args {
    unsigned long addr, len, prot, flags, fd, offset;
};

extern int *__errno_location(void);

static long sys(long nr, long a, long b)
{
    long r;
    __asm__ volatile("int $0x80" : "=a"(r) : "a"(nr), "b"(a), "c"(b) : "memory");
    return r;
}

static void *map(void *addr, unsigned long len, int prot, int flags, int fd, unsigned long offset)
{
    struct mmap_args args = {(unsigned long)addr, len, (unsigned long)prot, (unsigned long)flags,
                             (unsigned long)fd, offset};
    long r = sys(90, (long)&args, 0); /* old_mmap: the arguments in memory, the offset in bytes */
    if ((unsigned long)r > -4096UL) {
        *__errno_location() = (int)-r;
        return (void *)-1;
    }
    if ((flags & MAP_FIXED_NOREPLACE) && (void *)r != addr) {
        sys(91, r, (long)len); /* munmap */
        *__errno_location() = EEXIST;
        return (void *)-1;
    }
    return (void *)r;
}

void *mmap(void *addr, unsigned long len, int prot, int flags, int fd, long offset)
{
    return map(addr, len, prot, flags, fd, (unsigned long)offset);
}

void *mmap64(void *addr, unsigned long len, int prot, int flags, int fd, long long offset)
{
    return map(addr, len, prot, flags, fd, (unsigned long)offset);
}

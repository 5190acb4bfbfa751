// Preloaded into a program, stands in for a file system that has no unnamed
// files (O_TMPFILE), as FAT and several network file systems have none: such
// an open fails as it fails there, and every other open goes on as asked.
#include <dlfcn.h>
#include <fcntl.h>

#include <cerrno>
#include <cstdarg>

namespace {

using OpenAt = int (*)(int, const char*, int, ...);

int openRefusingUnnamed(const char* symbol, int directory, const char* path, int flags, va_list arguments)
{
    const mode_t mode = (flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE ? va_arg(arguments, mode_t) : 0;
    if ((flags & O_TMPFILE) == O_TMPFILE) {
        errno = EOPNOTSUPP;
        return -1;
    }
    const auto next = reinterpret_cast<OpenAt>(dlsym(RTLD_NEXT, symbol));
    return next(directory, path, flags, mode);
}

}  // namespace

extern "C" int openat(int directory, const char* path, int flags, ...)
{
    va_list arguments;
    va_start(arguments, flags);
    const int descriptor = openRefusingUnnamed("openat", directory, path, flags, arguments);
    va_end(arguments);
    return descriptor;
}

extern "C" int openat64(int directory, const char* path, int flags, ...)
{
    va_list arguments;
    va_start(arguments, flags);
    const int descriptor = openRefusingUnnamed("openat64", directory, path, flags, arguments);
    va_end(arguments);
    return descriptor;
}

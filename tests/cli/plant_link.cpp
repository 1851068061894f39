// Preloaded into scrivane-clean by a test: an attacker who can write to the
// statement's folder and replaces every name the program creates there (by open
// or by link) with a link to a file of their choice, the moment it appears. A
// program that writes only through the descriptor that created its file never
// writes into that file.
//
// PLANT_LINK_FOLDER: the folder watched; PLANT_LINK_VICTIM: what the links point at.

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <dlfcn.h>
#include <fcntl.h>
#include <limits.h>
#include <unistd.h>

namespace {

// The absolute path an open refers to (the folder part resolved through /proc).
std::string fullPath(int dirfd, const char* path)
{
    if (path[0] == '/')
        return path;
    char base[PATH_MAX];
    ssize_t length = -1;
    if (dirfd == AT_FDCWD) {
        length = ::getcwd(base, sizeof base) ? static_cast<ssize_t>(std::strlen(base)) : -1;
    } else {
        const std::string self = "/proc/self/fd/" + std::to_string(dirfd);
        length = ::readlink(self.c_str(), base, sizeof base - 1);
    }
    return length < 0 ? std::string() : std::string(base, static_cast<std::size_t>(length)) + "/" + path;
}

void plant(int dirfd, const char* path, int flags = O_CREAT | O_EXCL)
{
    const char* folder = std::getenv("PLANT_LINK_FOLDER");
    const char* victim = std::getenv("PLANT_LINK_VICTIM");
    if (!folder || !victim || (flags & (O_CREAT | O_EXCL)) != (O_CREAT | O_EXCL))
        return;
    const std::string full = fullPath(dirfd, path);
    const std::size_t slash = full.rfind('/');
    if (slash == std::string::npos || full.compare(0, slash, folder) != 0 || slash != std::strlen(folder))
        return;
    const std::string link = std::string(folder) + "/.planted";
    if (::symlink(victim, link.c_str()) == 0)
        ::rename(link.c_str(), full.c_str());
}

template <class Real>
Real next(const char* name)
{
    return reinterpret_cast<Real>(::dlsym(RTLD_NEXT, name));
}

mode_t modeOf(int flags, va_list args)
{
    return (flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE ? static_cast<mode_t>(va_arg(args, int)) : 0;
}

} // namespace

extern "C" {

int open(const char* path, int flags, ...)
{
    va_list args;
    va_start(args, flags);
    const mode_t mode = modeOf(flags, args);
    va_end(args);
    const int fd = next<int (*)(const char*, int, ...)>("open")(path, flags, mode);
    if (fd >= 0)
        plant(AT_FDCWD, path, flags);
    return fd;
}

int open64(const char* path, int flags, ...)
{
    va_list args;
    va_start(args, flags);
    const mode_t mode = modeOf(flags, args);
    va_end(args);
    const int fd = next<int (*)(const char*, int, ...)>("open64")(path, flags, mode);
    if (fd >= 0)
        plant(AT_FDCWD, path, flags);
    return fd;
}

int openat(int dirfd, const char* path, int flags, ...)
{
    va_list args;
    va_start(args, flags);
    const mode_t mode = modeOf(flags, args);
    va_end(args);
    const int fd = next<int (*)(int, const char*, int, ...)>("openat")(dirfd, path, flags, mode);
    if (fd >= 0)
        plant(dirfd, path, flags);
    return fd;
}

int openat64(int dirfd, const char* path, int flags, ...)
{
    va_list args;
    va_start(args, flags);
    const mode_t mode = modeOf(flags, args);
    va_end(args);
    const int fd = next<int (*)(int, const char*, int, ...)>("openat64")(dirfd, path, flags, mode);
    if (fd >= 0)
        plant(dirfd, path, flags);
    return fd;
}

int linkat(int olddirfd, const char* oldpath, int newdirfd, const char* newpath, int flags)
{
    const int result
        = next<int (*)(int, const char*, int, const char*, int)>("linkat")(olddirfd, oldpath, newdirfd, newpath, flags);
    if (result == 0)
        plant(newdirfd, newpath);
    return result;
}
}

// An LD_PRELOAD library for the tests: makes one file operation of a program fail, as a full or
// broken disk would.
//
// Only files whose path begins with KORVANE_FAULT_DIR are watched. The watched operations are
// counted in the order the program makes them, per kind:
//   wopen   opening for writing (open/openat with O_WRONLY or O_RDWR, fopen with "w", "a", "+")
//   write   write and writev on a file opened for writing
//   wclose  close or fclose of a file opened for writing
//   flush   fflush of a file opened for writing
//   rename  rename from or to a watched path
//   unlink  unlink, unlinkat and remove (libstdc++'s std::filesystem::remove calls remove(),
//           and glibc's remove() reaches unlink inside the library, out of an interposer's sight)
//   ropen   opening for reading
//   read    read on a file opened for reading
// KORVANE_FAULT_KINDS (comma-separated, default "wopen,write,wclose,flush,rename,unlink") says
// which kinds count. The operation numbered KORVANE_FAULT_AT (from 1; 0 or unset: none) fails
// with KORVANE_FAULT_ERRNO ("ENOSPC" default, or "EIO"). A failing close still closes; a failing
// rename or removal leaves the files as they were. With KORVANE_FAULT_PARTIAL=1 a failing write
// first writes half of its bytes and reports that, and every later write to the file fails: a
// disk that fills up in the middle of a write. With KORVANE_FAULT_STICKY=1 every counted
// operation from KORVANE_FAULT_AT on fails: a disk that breaks and stays broken, so that the
// clean-up after a failure fails as well.
// KORVANE_FAULT_REDIRECT=/dev/full opens every watched file for writing on that device instead.
// At exit the number of counted operations is written to KORVANE_FAULT_COUNT_FILE, so that a
// test can make each of them fail in turn.
#include <dlfcn.h>
#include <fcntl.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/types.h>
#include <sys/uio.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace {

enum Kind : unsigned {
    kWopen = 1, kWrite = 2, kWclose = 4, kFlush = 8, kRopen = 16, kRead = 32, kRename = 64,
    kUnlink = 128
};

constexpr int kMaxFd = 4096;

struct Config {
    bool ready = false;
    std::string dir;
    unsigned kinds = kWopen | kWrite | kWclose | kFlush | kRename | kUnlink;
    long at = 0;
    int error = ENOSPC;
    bool partial = false;
    bool sticky = false;
    std::string redirect;
    std::string countFile;
};

// The library's state. It has to be process-wide: the interposed calls come from anywhere.
struct State {
    Config config;
    long counted = 0;
    unsigned char watched[kMaxFd] = {};  // 0 not watched, 1 watched for reading, 2 for writing
    bool full[kMaxFd] = {};
};

// Never destroyed: the count is written at exit, after other static objects may be gone.
State& TheState()
{
    static State* const state = new State;
    return *state;
}

template <typename F>
F Real(const char* name)
{
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

const Config& TheConfig()
{
    Config& c = TheState().config;
    if (c.ready) return c;
    c.ready = true;
    if (const char* v = getenv("KORVANE_FAULT_DIR")) c.dir = v;
    if (const char* v = getenv("KORVANE_FAULT_KINDS")) {
        c.kinds = 0;
        const std::string kinds = std::string(",") + v + ",";
        const struct { const char* name; Kind kind; } names[] = {
            {",wopen,", kWopen}, {",write,", kWrite}, {",wclose,", kWclose},
            {",flush,", kFlush}, {",ropen,", kRopen}, {",read,", kRead},
            {",rename,", kRename}, {",unlink,", kUnlink}};
        for (const auto& n : names) {
            if (kinds.find(n.name) != std::string::npos) c.kinds |= n.kind;
        }
    }
    if (const char* v = getenv("KORVANE_FAULT_AT")) c.at = strtol(v, nullptr, 10);
    if (const char* v = getenv("KORVANE_FAULT_ERRNO")) {
        c.error = strcmp(v, "EIO") == 0 ? EIO : ENOSPC;
    }
    if (const char* v = getenv("KORVANE_FAULT_PARTIAL")) c.partial = strcmp(v, "1") == 0;
    if (const char* v = getenv("KORVANE_FAULT_STICKY")) c.sticky = strcmp(v, "1") == 0;
    if (const char* v = getenv("KORVANE_FAULT_REDIRECT")) c.redirect = v;
    if (const char* v = getenv("KORVANE_FAULT_COUNT_FILE")) c.countFile = v;
    return c;
}

bool IsWatchedPath(const char* path)
{
    const Config& c = TheConfig();
    return path != nullptr && !c.dir.empty() && strncmp(path, c.dir.c_str(), c.dir.size()) == 0;
}

// Counts an operation of this kind; true when it is the one to fail.
bool CountAndDecide(Kind kind)
{
    const Config& c = TheConfig();
    if ((c.kinds & kind) == 0) return false;
    ++TheState().counted;
    if (c.sticky) return c.at > 0 && TheState().counted >= c.at;
    return TheState().counted == c.at;
}

unsigned char WatchOf(int fd)
{
    return fd >= 0 && fd < kMaxFd ? TheState().watched[fd] : 0;
}

void Watch(int fd, bool writing)
{
    if (fd < 0 || fd >= kMaxFd) return;
    TheState().watched[fd] = writing ? 2 : 1;
    TheState().full[fd] = false;
}

void Unwatch(int fd)
{
    if (fd < 0 || fd >= kMaxFd) return;
    TheState().watched[fd] = 0;
    TheState().full[fd] = false;
}

bool FlagsWrite(int flags) { return (flags & O_ACCMODE) != O_RDONLY; }

bool ModeWrites(const char* mode)
{
    return mode != nullptr && (strchr(mode, 'w') || strchr(mode, 'a') || strchr(mode, '+'));
}

// Decides an open of a watched path: -1 with errno set when it is to fail, else 0. `path` may
// be replaced by the redirection device.
int BeforeOpen(const char*& path, bool writing)
{
    if (!IsWatchedPath(path)) return 0;
    if (CountAndDecide(writing ? kWopen : kRopen)) {
        errno = TheConfig().error;
        return -1;
    }
    if (writing && !TheConfig().redirect.empty()) path = TheConfig().redirect.c_str();
    return 0;
}

int OpenWith(const char* name, int dirfd, const char* path, int flags, mode_t mode)
{
    const bool watched = IsWatchedPath(path);
    if (BeforeOpen(path, FlagsWrite(flags)) != 0) return -1;
    int fd;
    if (dirfd == -1000) {
        using OpenF = int (*)(const char*, int, ...);
        fd = Real<OpenF>(name)(path, flags, mode);
    } else {
        using OpenAtF = int (*)(int, const char*, int, ...);
        fd = Real<OpenAtF>(name)(dirfd, path, flags, mode);
    }
    if (watched && fd >= 0) Watch(fd, FlagsWrite(flags));
    return fd;
}

FILE* FopenWith(const char* name, const char* path, const char* mode)
{
    const bool watched = IsWatchedPath(path);
    if (BeforeOpen(path, ModeWrites(mode)) != 0) return nullptr;
    using FopenF = FILE* (*)(const char*, const char*);
    FILE* file = Real<FopenF>(name)(path, mode);
    if (watched && file != nullptr) Watch(fileno(file), ModeWrites(mode));
    return file;
}

mode_t ModeArgument(int flags, va_list args)
{
    return (flags & (O_CREAT | O_TMPFILE)) != 0 ? static_cast<mode_t>(va_arg(args, unsigned))
                                                : mode_t{0};
}

// Decides a rename or removal that touches a watched path: true when it is to fail (errno set).
bool FailsToChange(Kind kind, const char* path, const char* other = nullptr)
{
    if (!IsWatchedPath(path) && !IsWatchedPath(other)) return false;
    if (!CountAndDecide(kind)) return false;
    errno = TheConfig().error;
    return true;
}

// Writes the count for the test at exit, with the real calls.
struct CountWriter {
    ~CountWriter()
    {
        const Config& c = TheConfig();
        if (c.countFile.empty()) return;
        using OpenF = int (*)(const char*, int, ...);
        using WriteF = ssize_t (*)(int, const void*, size_t);
        using CloseF = int (*)(int);
        const int fd = Real<OpenF>("open")(c.countFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0) return;
        const std::string text = std::to_string(TheState().counted) + "\n";
        (void)Real<WriteF>("write")(fd, text.data(), text.size());
        (void)Real<CloseF>("close")(fd);
    }
};

CountWriter countWriter;

}  // namespace

extern "C" {

int open(const char* path, int flags, ...)
{
    va_list args;
    va_start(args, flags);
    const mode_t mode = ModeArgument(flags, args);
    va_end(args);
    return OpenWith("open", -1000, path, flags, mode);
}

int open64(const char* path, int flags, ...)
{
    va_list args;
    va_start(args, flags);
    const mode_t mode = ModeArgument(flags, args);
    va_end(args);
    return OpenWith("open64", -1000, path, flags, mode);
}

int openat(int dirfd, const char* path, int flags, ...)
{
    va_list args;
    va_start(args, flags);
    const mode_t mode = ModeArgument(flags, args);
    va_end(args);
    return OpenWith("openat", dirfd, path, flags, mode);
}

int openat64(int dirfd, const char* path, int flags, ...)
{
    va_list args;
    va_start(args, flags);
    const mode_t mode = ModeArgument(flags, args);
    va_end(args);
    return OpenWith("openat64", dirfd, path, flags, mode);
}

FILE* fopen(const char* path, const char* mode) { return FopenWith("fopen", path, mode); }

FILE* fopen64(const char* path, const char* mode) { return FopenWith("fopen64", path, mode); }

ssize_t write(int fd, const void* data, size_t size)
{
    using WriteF = ssize_t (*)(int, const void*, size_t);
    static const WriteF real = Real<WriteF>("write");
    if (WatchOf(fd) != 2) return real(fd, data, size);
    if (TheState().full[fd]) {
        errno = TheConfig().error;
        return -1;
    }
    if (!CountAndDecide(kWrite)) return real(fd, data, size);
    if (TheConfig().partial && size >= 2) {
        TheState().full[fd] = true;
        return real(fd, data, size / 2);
    }
    errno = TheConfig().error;
    return -1;
}

ssize_t writev(int fd, const struct iovec* parts, int count)
{
    using WritevF = ssize_t (*)(int, const struct iovec*, int);
    static const WritevF real = Real<WritevF>("writev");
    if (WatchOf(fd) != 2) return real(fd, parts, count);
    if (TheState().full[fd]) {
        errno = TheConfig().error;
        return -1;
    }
    if (!CountAndDecide(kWrite)) return real(fd, parts, count);
    size_t total = 0;
    for (int i = 0; i < count; ++i) total += parts[i].iov_len;
    if (TheConfig().partial && total >= 2 && count > 0) {
        TheState().full[fd] = true;
        // Half of the first part that holds bytes: a short write as the kernel makes it.
        for (int i = 0; i < count; ++i) {
            if (parts[i].iov_len == 0) continue;
            using WriteF = ssize_t (*)(int, const void*, size_t);
            const size_t half = parts[i].iov_len >= 2 ? parts[i].iov_len / 2 : 1;
            return Real<WriteF>("write")(fd, parts[i].iov_base, half);
        }
    }
    errno = TheConfig().error;
    return -1;
}

ssize_t read(int fd, void* data, size_t size)
{
    using ReadF = ssize_t (*)(int, void*, size_t);
    static const ReadF real = Real<ReadF>("read");
    if (WatchOf(fd) != 1 || !CountAndDecide(kRead)) return real(fd, data, size);
    errno = EIO;
    return -1;
}

int close(int fd)
{
    using CloseF = int (*)(int);
    static const CloseF real = Real<CloseF>("close");
    const unsigned char watch = WatchOf(fd);
    Unwatch(fd);
    const int result = real(fd);
    if (watch == 2 && CountAndDecide(kWclose)) {
        errno = TheConfig().error;
        return -1;
    }
    return result;
}

int fclose(FILE* file)
{
    using FcloseF = int (*)(FILE*);
    static const FcloseF real = Real<FcloseF>("fclose");
    const int fd = file != nullptr ? fileno(file) : -1;
    const unsigned char watch = WatchOf(fd);
    Unwatch(fd);
    const int result = real(file);
    if (watch == 2 && CountAndDecide(kWclose)) {
        errno = TheConfig().error;
        return EOF;
    }
    return result;
}

int rename(const char* from, const char* to) noexcept
{
    using RenameF = int (*)(const char*, const char*);
    static const RenameF real = Real<RenameF>("rename");
    return FailsToChange(kRename, from, to) ? -1 : real(from, to);
}

int unlink(const char* path) noexcept
{
    using UnlinkF = int (*)(const char*);
    static const UnlinkF real = Real<UnlinkF>("unlink");
    return FailsToChange(kUnlink, path) ? -1 : real(path);
}

int unlinkat(int dirfd, const char* path, int flags) noexcept
{
    using UnlinkatF = int (*)(int, const char*, int);
    static const UnlinkatF real = Real<UnlinkatF>("unlinkat");
    return FailsToChange(kUnlink, path) ? -1 : real(dirfd, path, flags);
}

int remove(const char* path) noexcept
{
    using RemoveF = int (*)(const char*);
    static const RemoveF real = Real<RemoveF>("remove");
    return FailsToChange(kUnlink, path) ? -1 : real(path);
}

int fflush(FILE* file)
{
    using FflushF = int (*)(FILE*);
    static const FflushF real = Real<FflushF>("fflush");
    if (file == nullptr || WatchOf(fileno(file)) != 2 || !CountAndDecide(kFlush)) return real(file);
    errno = TheConfig().error;
    return EOF;
}

}  // extern "C"

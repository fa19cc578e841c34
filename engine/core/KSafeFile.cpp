#include "KSafeFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <string>

struct KSafeFile {
    std::string target;
    std::string temp;
    FILE *stream = nullptr;
    int fd = -1;
    bool failed = false;
    // Test seam: bytes this file may still take, -1 when unlimited.
    int64_t allowance = -1;
};

namespace
{

std::atomic<int64_t> g_failAfter{-1};

// Stream functions over the file descriptor used while the test seam is armed. A failed write
// returns 0, never -1: the C library adds a negative count to what it has left to write, then
// copies past the caller's buffer and overruns its own.
ssize_t limitedWrite(void *cookie, const char *data, size_t length)
{
    KSafeFile *file = static_cast<KSafeFile *>(cookie);
    if (file->allowance >= 0 && static_cast<int64_t>(length) > file->allowance) {
        errno = ENOSPC;
        return 0;
    }
    const ssize_t written = ::write(file->fd, data, length);
    if (written <= 0)
        return 0;
    if (file->allowance >= 0)
        file->allowance -= written;
    return written;
}

ssize_t limitedRead(void *cookie, char *data, size_t length)
{
    return ::read(static_cast<KSafeFile *>(cookie)->fd, data, length);
}

int limitedSeek(void *cookie, off64_t *offset, int whence)
{
    const off_t result = lseek(static_cast<KSafeFile *>(cookie)->fd, *offset, whence);
    if (result < 0)
        return -1;
    *offset = result;
    return 0;
}

int limitedClose(void *)
{
    return 0; // the descriptor is closed by the record
}

std::string folderOf(const std::string &path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Removes the temporaries that killed saves of `target` left behind: "<target>.tmp-<pid>-<n>"
// whose process is gone and whose lock (held by every live save) is free.
void removeDeadTemporaries(const std::string &target)
{
    const std::string folder = folderOf(target);
    const size_t slash = target.rfind('/');
    const std::string prefix =
        (slash == std::string::npos ? target : target.substr(slash + 1)) + ".tmp-";
    DIR *dir = opendir(folder.c_str());
    if (!dir)
        return;
    while (const dirent *entry = readdir(dir)) {
        const char *name = entry->d_name;
        if (std::strncmp(name, prefix.c_str(), prefix.size()) != 0)
            continue;
        char *end = nullptr;
        const long pid = std::strtol(name + prefix.size(), &end, 10);
        if (pid <= 0 || *end != '-' || pid == getpid())
            continue;
        std::strtoul(end + 1, &end, 10);
        if (*end != '\0' || kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH)
            continue;
        const std::string path = folder + "/" + name;
        const int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0)
            continue;
        if (flock(fd, LOCK_EX | LOCK_NB) == 0)
            unlink(path.c_str());
        close(fd);
    }
    closedir(dir);
}

void release(KSafeFile *file, bool removeTemp)
{
    if (file->stream)
        std::fclose(file->stream);
    if (file->fd >= 0)
        close(file->fd);
    if (removeTemp && !file->temp.empty())
        unlink(file->temp.c_str());
    delete file;
}

} // namespace

KSafeFile *KSafeFile_open(const char *target)
{
    if (!target || !*target) {
        std::fprintf(stderr, "*** ERROR KSafeFile_open : no target file\n");
        return nullptr;
    }
    static std::atomic<unsigned> counter{0};
    removeDeadTemporaries(target);
    KSafeFile *file = new KSafeFile;
    file->target = target;
    for (int attempt = 0; attempt < 100 && file->fd < 0; ++attempt) {
        file->temp = file->target + ".tmp-" + std::to_string(getpid()) + "-" +
                     std::to_string(counter.fetch_add(1));
        file->fd = open(file->temp.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (file->fd < 0 && errno != EEXIST)
            break;
    }
    // Held until the record is released: a later save never takes this file for debris.
    if (file->fd >= 0)
        flock(file->fd, LOCK_EX | LOCK_NB);
    if (file->fd < 0) {
        std::fprintf(stderr, "*** ERROR KSafeFile_open : cannot write beside \"%s\" (%s)\n", target,
                     std::strerror(errno));
        file->temp.clear();
        release(file, false);
        return nullptr;
    }
    file->allowance = g_failAfter.load();
    if (file->allowance >= 0) {
        cookie_io_functions_t functions = {limitedRead, limitedWrite, limitedSeek, limitedClose};
        file->stream = fopencookie(file, "w+", functions);
    } else {
        file->stream = fdopen(dup(file->fd), "w+b");
    }
    // Large writes in few system calls: exports write hundreds of megabytes in small pieces. The
    // failure seam's stream is unbuffered, so that a failing write never leaves glibc copying
    // from a buffered tail.
    if (file->stream)
        setvbuf(file->stream, nullptr, file->allowance >= 0 ? _IONBF : _IOFBF, 1 << 20);
    if (!file->stream) {
        std::fprintf(stderr, "*** ERROR KSafeFile_open : cannot open a stream on \"%s\" (%s)\n",
                     file->temp.c_str(), std::strerror(errno));
        release(file, true);
        return nullptr;
    }
    return file;
}

FILE *KSafeFile_stream(const KSafeFile *file)
{
    return file ? file->stream : nullptr;
}

const char *KSafeFile_tempPath(const KSafeFile *file)
{
    return file ? file->temp.c_str() : nullptr;
}

int KSafeFile_fd(const KSafeFile *file)
{
    return file ? file->fd : -1;
}

bool KSafeFile_write(KSafeFile *file, const void *data, size_t length)
{
    if (!file || file->failed || (!data && length > 0))
        return false;
    if (length > 0 && std::fwrite(data, 1, length, file->stream) != length)
        file->failed = true;
    return !file->failed;
}

void KSafeFile_fail(KSafeFile *file)
{
    if (file)
        file->failed = true;
}

int KSafeFile_commit(KSafeFile **pointer)
{
    if (!pointer || !*pointer)
        return 0;
    KSafeFile *file = *pointer;
    *pointer = nullptr;
    const char *step = nullptr;
    if (file->failed)
        step = "an earlier write failed";
    else if (std::fflush(file->stream) != 0 || std::ferror(file->stream))
        step = "write";
    else if (fsync(file->fd) != 0)
        step = "sync";
    if (!step) {
        const int closed = std::fclose(file->stream);
        file->stream = nullptr;
        if (closed != 0)
            step = "close";
    }
    if (!step) {
        // A replaced file keeps its permissions.
        struct stat old;
        if (stat(file->target.c_str(), &old) == 0)
            fchmod(file->fd, old.st_mode & 07777);
        if (close(file->fd) != 0)
            step = "close";
        file->fd = -1;
    }
    if (!step && rename(file->temp.c_str(), file->target.c_str()) != 0)
        step = "rename";
    if (step) {
        std::fprintf(stderr, "*** ERROR KSafeFile_commit : cannot write \"%s\" (%s: %s)\n",
                     file->target.c_str(), step, std::strerror(errno));
        release(file, true);
        return 0;
    }
    // The rename itself reaches the disk with the folder.
    const int folder = open(folderOf(file->target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        fsync(folder);
        close(folder);
    }
    release(file, false);
    return 1;
}

void KSafeFile_discard(KSafeFile **pointer)
{
    if (!pointer || !*pointer)
        return;
    release(*pointer, true);
    *pointer = nullptr;
}

void KSafeFile_failWritesAfter(int64_t bytes)
{
    g_failAfter.store(bytes < 0 ? -1 : bytes);
}

#include "archive/FileMapping.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvanel {

namespace {

std::string g_lastFailure;

bool Fail(int fd, int error, const char* reason)
{
    if (fd >= 0)
        ::close(fd);
    g_lastFailure = reason ? reason : std::strerror(error);
    errno = error;
    return false;
}

const char* ReasonFor(int error)
{
    switch (error) {
    case ENOENT: return "No such file";
    case EISDIR: return "Is a folder";
    case EACCES:
    case EPERM: return "Permission denied";
    default: return nullptr;
    }
}

} // namespace

bool MapWholeFile(const std::string& path, bool writable, MappedFile& out)
{
    // Without O_NONBLOCK, opening a named pipe that nobody writes to would wait forever; the
    // type is checked on the open descriptor, so a file swapped in between cannot slip by.
    const int fd = ::open(path.c_str(), (writable ? O_RDWR : O_RDONLY) | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return Fail(-1, errno, ReasonFor(errno));

    struct stat st { };
    if (::fstat(fd, &st) != 0)
        return Fail(fd, errno, ReasonFor(errno));
    if (S_ISDIR(st.st_mode))
        return Fail(fd, EISDIR, ReasonFor(EISDIR));
    if (!S_ISREG(st.st_mode))
        return Fail(fd, EINVAL, "Not a regular file");
    if (st.st_size <= 0)
        return Fail(fd, EINVAL, "Empty file");
    if (uint64_t(st.st_size) > SIZE_MAX)
        return Fail(fd, EFBIG, nullptr);

    const int prot = writable ? (PROT_READ | PROT_WRITE) : PROT_READ;
    void* view = ::mmap(nullptr, size_t(st.st_size), prot, MAP_SHARED, fd, 0);
    if (view == MAP_FAILED)
        return Fail(fd, errno, ReasonFor(errno));
    out.view = static_cast<uint8_t*>(view);
    out.length = size_t(st.st_size);
    out.fileHandle = fd;
    out.mappingHandle = -1;
    g_lastFailure.clear();
    return true;
}

void UnmapWholeFile(MappedFile& file)
{
    if (file.view)
        ::munmap(file.view, file.length);
    if (file.fileHandle >= 0)
        ::close(int(file.fileHandle));
    file = MappedFile {};
}

std::string LastMapFailureReason()
{
    return g_lastFailure;
}

bool QueryFileStatus(const std::string& path, DATFileStatus& status)
{
    struct stat st { };
    if (::stat(path.c_str(), &st) != 0)
        return false;
    status.length = uint64_t(st.st_size);
    return true;
}

bool CanOpenForReading(const std::string& path)
{
    // Only a regular file is opened (opening a device can act on it); its type is checked
    // again on the descriptor, opened without waiting, in case the file was swapped meanwhile.
    struct stat st { };
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    ::close(fd);
    return regular;
}

} // namespace orvanel

#include "text/standard_descriptors.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace kivo {
namespace {

// Whether `fd` was closed, and is now open on /dev/null: the lowest free descriptor is the one
// that was closed.
bool reopenedIfClosed(int fd) {
    if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) return false;
    const int opened = ::open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
    if (opened != fd && opened >= 0) ::close(opened);
    return true;
}

}  // namespace

ClosedDescriptors openClosedStandardDescriptors() {
    ClosedDescriptors closed;
    closed.input = reopenedIfClosed(0);
    closed.output = reopenedIfClosed(1);
    closed.error = reopenedIfClosed(2);
    return closed;
}

}  // namespace kivo

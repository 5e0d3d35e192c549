#include "text/standard_descriptors.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace kivo {

void openClosedStandardDescriptors() {
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
        // The lowest free descriptor is the one that was closed. Opened for the other direction, it
        // still fails every read or write as the closed one did (EBADF): a result sent to a closed
        // standard output must fail, not vanish into /dev/null.
        const int opened = ::open("/dev/null", fd == 0 ? O_WRONLY : O_RDONLY);
        if (opened != fd && opened >= 0) ::close(opened);
    }
}

}  // namespace kivo

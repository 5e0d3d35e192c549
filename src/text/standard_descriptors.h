#pragma once

namespace kivo {

/// Which of the standard descriptors were closed when the program started.
struct ClosedDescriptors {
    bool input = false;
    bool output = false;
    bool error = false;
};

/// Opens /dev/null on each of the descriptors 0, 1 and 2 that was closed when the program started,
/// so that no file the program opens takes its number and receives what is meant for standard
/// output or standard error (a message written into a result file). The caller still treats a
/// closed input or output as one: reading or writing it fails rather than meeting /dev/null.
ClosedDescriptors openClosedStandardDescriptors();

}  // namespace kivo

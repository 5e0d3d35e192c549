#pragma once

namespace kivo {

/// Opens /dev/null on each of the descriptors 0, 1 and 2 that was closed when the program started,
/// so that no file the program opens takes its number and receives what is meant for standard
/// output or standard error (a message written into a result file). Reading or writing it still
/// fails as on the closed descriptor.
void openClosedStandardDescriptors();

}  // namespace kivo

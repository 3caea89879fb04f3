// On Linux the package manager replaces a program's files by renaming new ones over them,
// which leaves a running copy its old files: there is nothing to tell it.
#include "running_mark.h"

namespace freqsmith {

RunningMark::RunningMark() = default;
RunningMark::~RunningMark() = default;

}  // namespace freqsmith

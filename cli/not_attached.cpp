#include "not_attached.h"

namespace velmora::cli {

// A window that was found but whose process cannot be read is a different fault from no window at all,
// and one the user can usually fix.
void ReportNotAttached(const TGameLink& link, std::ostream& err) {
  if (!link.LastOpenFailure) {
    err << "no simulator found\n";
    return;
  }
  if (link.ProgramProcessId == 0) {
    err << "cannot tell which process owns the simulator window \"" << link.ProgramNameWindows()
        << "\": the X server does not say, and the window names no process of this machine\n";
    return;
  }
  err << "cannot read the memory of process " << link.ProgramProcessId << ": " << link.LastOpenFailure->reason
      << "\n";
  if (!link.LastOpenFailure->hint.empty()) {
    err << "hint: " << link.LastOpenFailure->hint << "\n";
  }
}

}  // namespace velmora::cli

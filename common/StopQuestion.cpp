#include "common/StopQuestion.h"

namespace torvane {

bool CancelWanted(Reporter& platform, bool& stop_requested) {
  if (!stop_requested) return false;
  const MessageResult answer =
      platform.ShowMessage("Cancel calculation?", "Warning", MessageButtons::kYesNo);
  if (answer == MessageResult::kYes) return true;
  stop_requested = false;
  return false;
}

bool ContinueAfterEvents(Reporter& platform, bool* stop_requested) {
  platform.ProcessEvents();
  return stop_requested == nullptr || !CancelWanted(platform, *stop_requested);
}

}  // namespace torvane

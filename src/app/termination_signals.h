#pragma once

#include <functional>

class QWidget;

namespace velmora::app {

// From now on SIGTERM and SIGINT close `window` through `close` (as its close box does: settings written,
// threads ended, but with no question for a person who may not be there), as a desktop session that ends
// expects, instead of killing the program on the spot.
void CloseOnTerminationSignals(QWidget& window, std::function<void()> close);

}  // namespace velmora::app

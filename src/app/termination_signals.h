#pragma once

class QWidget;

namespace velmora::app {

// From now on SIGTERM and SIGINT close `window` as its close box does (settings written, threads ended),
// as a desktop session that ends expects, instead of killing the program on the spot.
void CloseOnTerminationSignals(QWidget& window);

}  // namespace velmora::app

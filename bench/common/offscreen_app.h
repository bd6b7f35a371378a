// The Qt application of a window benchmark.
#pragma once

namespace orva::bench {

// Creates the process's QApplication once (on the offscreen platform unless
// QT_QPA_PLATFORM names another), with the application font for Chinese
// text and the host's services registered, as orva-saleprice starts. Later
// calls do nothing; returns whether this call created it.
bool StartOffscreenApp(const char* programName);

}  // namespace orva::bench

#pragma once
// Runs the Qt event loop for a while, for the benchmarks that measure a running window.

#include <QEventLoop>
#include <QTimer>

namespace vxbench {

inline void RunLoop(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

}  // namespace vxbench

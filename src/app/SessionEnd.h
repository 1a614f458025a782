#pragma once

#include <QObject>

#include <functional>

namespace ambrin {

// Ends the run in order however the session ends, not only through the strip's close box: a
// signal (SIGTERM at logout or shutdown, SIGHUP, SIGINT), the session manager's quit, or the
// display gone (Qt then ends the program with exit(), so the end runs from an atexit hook).
// endRun ends the running record as the options say and saves; it must touch no window, for
// the display may be gone. It runs once.
class SessionEnd : public QObject {
    Q_OBJECT
public:
    SessionEnd(std::function<void()> endRun, QObject* parent);
    ~SessionEnd() override;

    // Ends the run now, once; later calls do nothing.
    void EndRun();

private:
    std::function<void()> endRun_;
};

}  // namespace ambrin

#pragma once

#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <string>

namespace ambrin::test {

// A private X server for the life of a test, on a display it picks itself; DISPLAY points at
// it meanwhile. Installed() is false when there is no Xvfb; Running() is false when it could
// not start, which is a failure of the test, not a reason to skip it.
class XvfbServer {
public:
    XvfbServer()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty()) return;
        installed_ = true;
        // Xvfb writes the number of the display it took once it takes connections.
        server_.start(QStringLiteral("Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-nolisten"),
                                               QStringLiteral("tcp")});
        if (server_.waitForStarted() && QTest::qWaitFor([&] { return server_.canReadLine(); }, 10'000)) {
            const QByteArray number = server_.readLine().trimmed();
            if (!number.isEmpty()) display_ = ":" + number.toStdString();
        }
        if (display_.empty()) Stop();
        if (const char* old = std::getenv("DISPLAY")) oldDisplay_ = old;
        if (!display_.empty()) setenv("DISPLAY", display_.c_str(), 1);
    }
    ~XvfbServer()
    {
        if (oldDisplay_.empty()) unsetenv("DISPLAY");
        else setenv("DISPLAY", oldDisplay_.c_str(), 1);
        Stop();
    }
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    bool Installed() const { return installed_; }
    bool Running() const { return !display_.empty(); }
    // The display gone from under its programs. Ended, not killed: a killed server leaves its
    // lock and socket behind.
    void Stop()
    {
        if (server_.state() == QProcess::NotRunning) return;
        server_.terminate();
        if (!server_.waitForFinished(5'000)) {
            server_.kill();
            server_.waitForFinished();
        }
    }

    // Input as a person gives it: xdotool moves the pointer on this server.
    bool MoveMouse(int x, int y) const
    {
        return QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QString::number(x), QString::number(y)}) == 0;
    }

private:
    QProcess server_;
    bool installed_ = false;
    std::string display_;
    std::string oldDisplay_;
};

}  // namespace ambrin::test

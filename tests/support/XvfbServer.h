#pragma once

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <string>

namespace ambrin::test {

// A private X server for the life of a test, on the first free display from 90; DISPLAY
// points at it meanwhile. Running() is false when Xvfb is not installed.
class XvfbServer {
public:
    XvfbServer()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty()) return;
        for (int number = 90; number < 190 && display_.empty(); ++number) {
            if (QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(number))) continue;
            const QString name = QStringLiteral(":%1").arg(number);
            server_.start(QStringLiteral("Xvfb"), {name, QStringLiteral("-nolisten"), QStringLiteral("tcp")});
            const QString socket = QStringLiteral("/tmp/.X11-unix/X%1").arg(number);
            if (server_.waitForStarted() && QTest::qWaitFor([&] { return QFile::exists(socket); }, 10'000)) {
                display_ = name.toStdString();
            } else {
                server_.kill();
                server_.waitForFinished();
            }
        }
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

    bool Running() const { return !display_.empty(); }
    // The display gone from under its programs.
    void Stop()
    {
        server_.kill();
        server_.waitForFinished();
    }

    // Input as a person gives it: xdotool moves the pointer on this server.
    bool MoveMouse(int x, int y) const
    {
        return QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QString::number(x), QString::number(y)}) == 0;
    }

private:
    QProcess server_;
    std::string display_;
    std::string oldDisplay_;
};

}  // namespace ambrin::test

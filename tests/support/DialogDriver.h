#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QTimer>

#include <functional>
#include <memory>

namespace ambrin::test {

// Acts on the next modal dialog once it shows; gives up at a deadline so a failing check
// never hangs the run.
inline void OnNextDialog(std::function<void(QDialog*)> act)
{
    auto* poll = new QTimer(qApp);
    auto tries = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, [poll, tries, act] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog || ++*tries > 300) {
            poll->stop();
            poll->deleteLater();
            if (dialog) act(dialog);
        }
    });
    poll->start(10);
}

}  // namespace ambrin::test

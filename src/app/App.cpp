#include "app/App.h"

#include "app/MainWindow.h"

#include <QApplication>
#include <QTimer>

namespace ambrin {

int App::Run()
{
    auto* strip = new MainWindow(*this);
    strip->setAttribute(Qt::WA_DeleteOnClose);
    strip->show();
    // Once the window manager has framed the strip, its frame goes to the top-left corner
    // (placed before that, the title bar would sit above the screen).
    QTimer::singleShot(0, strip, [strip] { strip->move(0, 0); });
    return QApplication::exec();
}

}  // namespace ambrin

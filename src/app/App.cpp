#include "app/App.h"

#include "app/MainWindow.h"

#include <QApplication>

namespace ambrin {

int App::Run()
{
    auto* strip = new MainWindow(*this);
    strip->setAttribute(Qt::WA_DeleteOnClose);
    strip->show();
    return QApplication::exec();
}

}  // namespace ambrin

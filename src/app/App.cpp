#include "app/App.h"

#include "app/MainWindow.h"
#include "app/SingleInstance.h"

#include <QApplication>

namespace ambrin {

int App::Run(SingleInstance& instance)
{
    auto* strip = new MainWindow(*this);
    strip->setAttribute(Qt::WA_DeleteOnClose);
    strip->show();
    instance.Serve(strip);
    return QApplication::exec();
}

}  // namespace ambrin

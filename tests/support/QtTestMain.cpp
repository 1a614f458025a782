// Runs the GoogleTest cases of the window tests inside a QApplication, offscreen unless told.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTimer>

namespace {

// A modal dialog that nothing answers would hang the run: after a minute it fails the test
// and is closed.
void WatchForUnansweredDialogs()
{
    static QPointer<QWidget> open;
    static int seconds = 0;
    auto* watch = new QTimer(qApp);
    QObject::connect(watch, &QTimer::timeout, [] {
        QWidget* now = QApplication::activeModalWidget();
        seconds = now && now == open ? seconds + 1 : 0;
        open = now;
        if (seconds < 60) return;
        ADD_FAILURE() << "nothing answered the dialog " << now->objectName().toStdString();
        if (auto* dialog = qobject_cast<QDialog*>(now)) dialog->reject();
        else now->close();
        seconds = 0;
    });
    watch->start(1000);
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("AMBRIN_GUIDE", "/nonexistent/guide.html");  // F1 never opens a browser unless a test asks
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    WatchForUnansweredDialogs();
    return RUN_ALL_TESTS();
}

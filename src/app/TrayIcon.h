#pragma once

#include <QObject>
#include <QTimer>

#include <memory>

class QMenu;
class QSystemTrayIcon;

namespace ambrin {

class App;
class MainWindow;

// The strip in the desktop's tray (StatusNotifierItem on Linux desktops), when it has one: the
// tooltip is the --status text; the menu lists the ten projects used last, <idle>, Notes...,
// Current Log..., Summary..., Options..., Show Ambrin and Quit, each doing what the strip's
// own control does; a click shows or hides the strip.
class TrayIcon : public QObject {
    Q_OBJECT
public:
    TrayIcon(MainWindow& strip, App& app);
    ~TrayIcon() override;

    void Refresh();
    QMenu* Menu() const { return menu_.get(); }
    QString ToolTip() const;

    static constexpr int kRecentProjects = 10;

private:
    void Rebuild();

    MainWindow& strip_;
    App& app_;
    std::unique_ptr<QMenu> menu_;
    QSystemTrayIcon* icon_ = nullptr;
    QTimer tick_;
};

}  // namespace ambrin

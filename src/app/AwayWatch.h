#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>

#include <functional>
#include <memory>
#include <string>

class QWidget;

namespace ambrin {

class AwaySource;
class AwayTracker;
enum class AwayAnswer;
class ProjectList;
class TimeAwayDialog;
class TimeLog;

// Listens to the sources of presence this session has, asks about time away from the
// computer on return, and books the answer in the log.
class AwayWatch : public QObject {
    Q_OBJECT
public:
    struct Hooks {
        std::function<void()> catchUp;  // before the log is changed: other programs' writes
        std::function<void()> changed;  // after: show and save
    };
    AwayWatch(TimeLog& log, ProjectList& projects, Hooks hooks, QWidget* strip);
    ~AwayWatch() override;

    // The sources the session offers: the display's idle counter where it sees every input
    // (X11, Windows) or GNOME's on Wayland; the screen saver's lock; logind's sleep and lock.
    void AddSessionSources();
    void AddSource(AwaySource* source);  // takes it
    QStringList SourceNames() const { return names_; }

    TimeAwayDialog* Question() const;  // the window asking now, if any

    static constexpr int kPollMilliseconds = 5000;

private:
    void OnAwaySince(quint64 since);
    void OnBack(quint64 at);
    void OnAnswer(AwayAnswer answer, const std::string& assignTo);

    TimeLog& log_;
    ProjectList& projects_;
    Hooks hooks_;
    QWidget* strip_;
    std::unique_ptr<AwayTracker> tracker_;
    QPointer<TimeAwayDialog> dialog_;
    QStringList names_;
};

}  // namespace ambrin

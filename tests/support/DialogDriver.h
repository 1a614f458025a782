#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>
#include <string>

namespace ambrin::test {

// Acts on the next modal dialog that passes wanted once it shows; gives up at a deadline so a
// failing check never hangs the run.
inline void OnNextDialogWhere(std::function<bool(QDialog*)> wanted, std::function<void(QDialog*)> act)
{
    auto* poll = new QTimer(qApp);
    auto tries = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, [poll, tries, wanted, act] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog && !wanted(dialog)) dialog = nullptr;
        if (dialog || ++*tries > 300) {
            poll->stop();
            poll->deleteLater();
            if (!dialog) return;
            QPointer<QDialog> acted(dialog);
            act(dialog);
            // A check that failed in act may have left the dialog open: close it, or the run hangs.
            if (::testing::Test::HasFailure() && acted && acted->isVisible()) acted->reject();
        }
    });
    poll->start(10);
}

// The next modal dialog (the one of that object name, when given: the dialog open now may be
// the parent of the one awaited).
inline void OnNextDialog(std::function<void(QDialog*)> act, const char* objectName = nullptr)
{
    OnNextDialogWhere([objectName](QDialog* d) { return !objectName || d->objectName() == QLatin1String(objectName); },
                      std::move(act));
}

// The next message box, such as those a file chooser asks its questions with.
inline void OnNextMessage(std::function<void(QMessageBox*)> act)
{
    OnNextDialogWhere([](QDialog* d) { return qobject_cast<QMessageBox*>(d) != nullptr; },
                      [act](QDialog* d) { act(static_cast<QMessageBox*>(d)); });
}

// Reads the next message box's text into text, then answers it.
inline void ReadNextMessage(QString& text, int answer = QDialog::Accepted)
{
    OnNextMessage([&text, answer](QMessageBox* box) {
        text = box->text();
        box->done(answer);
    });
}

// A file's name typed into a file chooser, as a person types it: QFileDialog::selectFile leaves
// a focused name box as it is.
inline void TypeFileName(QDialog* chooser, const std::string& path)
{
    auto* name = chooser->findChild<QLineEdit*>("fileNameEdit");
    ASSERT_NE(name, nullptr);
    name->setText(QString::fromStdString(path));
}

// The object name of the modal dialog that act opens (at once, or after a short press as a
// mnemonic's), which is closed again unanswered; empty when none opened.
inline QString DialogOpenedBy(const std::function<void()>& act)
{
    auto opened = std::make_shared<QString>();
    OnNextDialog([opened](QDialog* dialog) {
        *opened = dialog->objectName();
        dialog->reject();
    });
    act();
    return QTest::qWaitFor([opened] { return !opened->isEmpty(); }, 5000) ? *opened : QString();
}

// Whatever holds the keyboard focus now. Offscreen no window manager gives the keyboard back
// when a dialog closes: as one would, the dialog still open, else the one visible window, is
// made active again.
inline QWidget* KeyboardFocus()
{
    if (!QApplication::activeWindow()) {
        QWidget* window = QApplication::activeModalWidget();
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (!window && top->isVisible() && top->windowType() != Qt::Popup && top->windowType() != Qt::ToolTip) window = top;
        }
        if (window) QApplication::setActiveWindow(window);
    }
    return QApplication::focusWidget();
}

// A key pressed as a person presses it: to whatever holds the keyboard focus now.
inline void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget* target = KeyboardFocus();
    ASSERT_NE(target, nullptr) << "nothing has the keyboard focus";
    QTest::keyClick(target, key, modifiers);
}

inline void Type(const QString& text)
{
    QWidget* target = KeyboardFocus();
    ASSERT_NE(target, nullptr) << "nothing has the keyboard focus";
    QTest::keyClicks(target, text);
}

}  // namespace ambrin::test

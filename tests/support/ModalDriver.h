#pragma once
// Drives modal windows in window tests: a queue of steps, each waiting for a
// window of a given class to be the active modal window and then acting on it
// (clicking its buttons with QTest, choosing menu entries …). Each action runs
// from the event loop of the window it waits for, so an action may open a
// further modal window that a later step handles. A window that no step
// expects is closed after a while, and the test fails, so a test never hangs.
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <string>

namespace qmtest {

class ModalDriver {
public:
    ModalDriver() {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
        timer_.start();
        idle_.start();
    }
    ~ModalDriver() {
        timer_.stop();
        EXPECT_TRUE(steps_.empty()) << steps_.size() << " modal window step(s) never ran, the first for "
                                    << (steps_.empty() ? std::string() : steps_.front().className);
    }

    // When a window of class T is the active modal window, runs the action on it.
    template <class T> ModalDriver& when(std::function<void(T*)> action) {
        steps_.push_back({T::staticMetaObject.className(), [action](QWidget* w) { action(static_cast<T*>(w)); }});
        return *this;
    }

    bool done() const { return steps_.empty(); }

private:
    struct Step {
        std::string className;
        std::function<void(QWidget*)> action;
    };

    void poll() {
        // a window handled before and closed since may come back for a later step
        if (lastHandled_ && !lastHandled_->isVisible()) lastHandled_ = nullptr;
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible()) return;
        if (!steps_.empty() && steps_.front().className == modal->metaObject()->className() && modal != lastHandled_) {
            Step step = steps_.front();
            steps_.pop_front();
            lastHandled_ = modal;
            idle_.restart();
            QPointer<QWidget> target(modal);
            // runs from the event loop, so this poll returns and keeps watching
            QTimer::singleShot(0, [step, target] {
                if (target) step.action(target.data());
            });
            return;
        }
        if (modal != lastHandled_ && idle_.elapsed() > 20000) {
            ADD_FAILURE() << "no step expected the modal window " << modal->metaObject()->className();
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->reject();
            else
                modal->close();
            idle_.restart();
        }
        if (modal == lastHandled_ && idle_.elapsed() > 20000) {
            // the step ran but left its window open: close it so the test goes on
            ADD_FAILURE() << "the modal window " << modal->metaObject()->className() << " stayed open";
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->reject();
            else
                modal->close();
            lastHandled_ = nullptr;
            idle_.restart();
        }
    }

    QTimer timer_;
    QElapsedTimer idle_;
    std::deque<Step> steps_;
    QPointer<QWidget> lastHandled_;
};

}  // namespace qmtest

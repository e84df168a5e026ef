#pragma once
// Watches a window while the client waits for a server (a request, or a step
// of the task database): counts the window's paints while the waiting window
// shows, notes what each waiting window said and the time-out in force, and
// presses that window's Cancel once the watched window has been repainted
// meanwhile (unless told to leave it).
#include "clientcommon/Globals.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <functional>

class HungRequestWatch : public QObject {
public:
    // The watched window: given, or found among the top-level windows by
    // its object name once it is there (the start-up window, say).
    explicit HungRequestWatch(QWidget* watched) : watched_(watched) { begin(); }
    explicit HungRequestWatch(const QString& objectName) : name_(objectName) { begin(); }

    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && waitShown) ++paintsDuringWait;
        return false;
    }

    bool cancel = true;
    int paintsDuringWait = 0;
    bool waitShown = false;
    QString waitText;        // what the last waiting window said
    QStringList waitTexts;   // one entry per waiting window seen
    qint32 timeOutInForce = 0;

private:
    void begin() {
        QObject::connect(&tick_, &QTimer::timeout, this, [this] { step(); });
        tick_.start(20);
    }
    void step() {
        if (!watched_) {
            filtered_ = false;
            for (QWidget* w : QApplication::topLevelWidgets())
                if (!name_.isEmpty() && w->objectName() == name_ && w->isVisible()) watched_ = w;
        }
        if (watched_ && !filtered_) {
            watched_->installEventFilter(this);
            filtered_ = true;
        }
        if (watched_) watched_->update();
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->objectName() != "frmRequestWait" || !w->isVisible()) continue;
            waitShown = true;
            if (auto* label = w->findChild<QLabel*>("lblAddress")) waitText = label->text();
            if (w != current_) {
                current_ = w;
                waitTexts << waitText;
                paintsAtStart_ = paintsDuringWait;
                ticksShown_ = 0;
            }
            ++ticksShown_;
            timeOutInForce = tavrel::TimeOut;
            // A hidden window paints nothing: a few ticks of the wait do then.
            const bool painted = watched_ && watched_->isVisible() ? paintsDuringWait - paintsAtStart_ >= 3 : ticksShown_ >= 3;
            if (cancel && painted)
                if (auto* button = w->findChild<QPushButton*>("cmdCancel")) button->click();
        }
    }
    QPointer<QWidget> watched_;
    QString name_;
    bool filtered_ = false;
    QPointer<QWidget> current_;
    int paintsAtStart_ = 0;
    int ticksShown_ = 0;
    QTimer tick_;
};

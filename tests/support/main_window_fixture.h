#pragma once

#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <QTest>

#include <functional>
#include <memory>

#include "mainwindow/main_window.h"
#include "mainwindow/settings_store.h"
#include "model/app_state.h"
#include "scripted_prompts.h"

namespace zrk6::test {

// A named child of parent. A missing one ends the run naming it: every later step would
// only crash on the null.
template <typename T>
T *Child(const QObject *parent, const QString &name)
{
    T *widget = parent->findChild<T *>(name);
    if (widget == nullptr)
        qFatal("no child %s", qPrintable(name));
    return widget;
}

// Runs act on the next modal dialog as soon as it is shown; the poll belongs to owner.
inline void OnNextModal(QObject *owner, std::function<void(QWidget *)> act)
{
    auto *poll = new QTimer(owner);
    QObject::connect(poll, &QTimer::timeout, owner, [poll, act] {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal == nullptr)
            return;
        poll->stop();
        poll->deleteLater();
        act(modal);
    });
    poll->start(5);
}

// The main window as the program starts it, on a settings file in a temporary directory
// and with its prompts answered from a script. Test classes derive from it beside QObject.
class MainWindowFixture {
protected:
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<SettingsStore> settings;
    std::unique_ptr<AppState> state;
    std::unique_ptr<ScriptedPrompts> prompts;
    std::unique_ptr<MainWindow> window;

    // A new temporary directory with the settings file at relativePath inside it.
    void freshSettings(const QString &relativePath)
    {
        dir = std::make_unique<QTemporaryDir>();
        settings = std::make_unique<SettingsStore>(dir->filePath(relativePath));
    }

    // Starts the program on the settings as they are now; beforeShow runs on the new
    // window before it is shown.
    void start(const std::function<void()> &beforeShow = {})
    {
        state = std::make_unique<AppState>();
        prompts = std::make_unique<ScriptedPrompts>();
        window = std::make_unique<MainWindow>(*state, *prompts, *settings);
        if (beforeShow)
            beforeShow();
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
    }

    // Drops the window and what it was started on, the window first since it holds them.
    void stop()
    {
        window.reset();
        prompts.reset();
        state.reset();
    }

    template <typename T> T *child(const QString &name) const { return Child<T>(window.get(), name); }

    ImageDocument &doc() const { return window->document(); }
    const MemoryImage &image() const { return window->document().image(); }
    // Changes the document as a file opened with those bytes would be: no undo step, unmodified.
    void setUp(const ImageDocument::Edit &change) const
    {
        MemoryImage changed = doc().image();
        change(changed);
        doc().replace(changed, doc().band(), doc().fileName());
    }
    // The title as the window system shows it: the modified marker resolved.
    QString shownTitle() const
    {
        QString title = window->windowTitle();
        return title.replace(QStringLiteral("[*]"), window->isWindowModified() ? QStringLiteral("*") : QString());
    }
};

} // namespace zrk6::test

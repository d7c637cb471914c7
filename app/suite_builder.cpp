#include "app/suite_builder.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>

#include "app/error_display.h"
#include "archive/brask.h"

namespace grix {
namespace {

TBraskAction AskOnThisThread(const std::string& text) {
    QMessageBox box(QMessageBox::Warning, ProgramTitle(), QString::fromStdString(text),
                    QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore,
                    QApplication::activeWindow());
    switch (box.exec()) {
        case QMessageBox::Retry:
            return fxaRetry;
        case QMessageBox::Ignore:
            return fxaIgnore;
        default:
            return fxaAbort;  // also a box closed without a choice
    }
}

// A build runs off the interface thread, and boxes live on that thread only:
// the build waits there for the answer.
TBraskAction AskAbortRetryIgnore(const std::string& text) {
    QCoreApplication* application = QCoreApplication::instance();
    if (application == nullptr || QThread::currentThread() == application->thread())
        return AskOnThisThread(text);
    TBraskAction action = fxaAbort;
    QMetaObject::invokeMethod(
        application, [&action, &text] { action = AskOnThisThread(text); },
        Qt::BlockingQueuedConnection);
    return action;
}

}  // namespace

// The box is the program's prompt: every build the window runs asks it
// (the build's default failure policy), whichever thread runs the build.
SuiteBuilder::SuiteBuilder() : brask_(std::make_unique<TBrask>()) {
    SetFailurePrompt(AskAbortRetryIgnore);
}

SuiteBuilder::~SuiteBuilder() = default;

BuildOutcome SuiteBuilder::Run(const CrosswordProject& project, const std::string& app_folder,
                               const LogSink& log, const BuildControl& control) {
    return RunBuild(project, app_folder, *brask_, log, control);
}

}  // namespace grix

#include "app/suite_builder.h"

#include <QApplication>
#include <QMessageBox>

#include "app/error_display.h"
#include "archive/brask.h"

namespace grix {
namespace {

TBraskAction AskAbortRetryIgnore(const std::string& text) {
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

}  // namespace

SuiteBuilder::SuiteBuilder() : brask_(std::make_unique<TBrask>()) {
    ConfigureSuiteArchiver(*brask_);
    SetFailurePrompt(AskAbortRetryIgnore);
}

SuiteBuilder::~SuiteBuilder() = default;

BuildOutcome SuiteBuilder::Run(const CrosswordProject& project, const std::string& app_folder,
                               const LogSink& log) {
    return RunBuild(project, app_folder, *brask_, log);
}

}  // namespace grix

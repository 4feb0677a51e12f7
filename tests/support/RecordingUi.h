#pragma once

#include "transfer/TransferUi.h"

#include <QStringList>

#include <functional>
#include <utility>

// A user interface for a run without a window that keeps what the run showed it: the latest
// of each line and every file line in order. A login question is answered by onLogin (none:
// the user would not log in), and the captions asked are kept.
class RecordingUi : public TTransferUi {
public:
    void Begin() override { ++begun; }
    void ShowCaption(const QString& text) override { caption = text; }
    void ShowFileLine(const QString& line) override
    {
        fileLine = line;
        fileLines << line;
    }
    void ShowProgress(const TProgressLines& lines) override
    {
        sizeLine = lines.Size;
        if (lines.BarPosition >= 0)
            bar = lines.BarPosition;
        rateLine = lines.Rate;
        timeLine = lines.TimeLeft;
        elapsedLine = lines.Elapsed;
    }
    void ShowRateLine(const QString& line) override { rateLine = line; }
    void ShowAnimation(TAnimationClip shown) override { clip = shown; }
    void ShowMarquee(bool shown) override { marquee = shown; }
    bool AskLogin(const QString& question, QString& user, QString& password) override
    {
        loginCaptions << question;
        return onLogin && onLogin(user, password);
    }
    void Attend() override
    {
        TTransferUi::Attend();
        if (onAttend)
            onAttend();
    }
    void ShowCompletion(bool cancelled) override { completions << cancelled; }
    void Close() override { ++closed; }

    // Answers the login questions with these user names and passwords, one pair a question,
    // in order, as a user typing them would; a question beyond them is refused.
    void answerLogins(QList<std::pair<QString, QString>> answers)
    {
        onLogin = [answers = std::move(answers), next = qsizetype(0)](QString& user, QString& password) mutable {
            if (next >= answers.size())
                return false;
            user = answers[next].first;
            password = answers[next].second;
            ++next;
            return true;
        };
    }

    int begun = 0;
    QString caption;
    QString fileLine;
    QStringList fileLines;
    QString sizeLine;
    int bar = 0;
    QString rateLine;
    QString timeLine;
    QString elapsedLine;
    TAnimationClip clip = acDownload;
    bool marquee = false;
    QStringList loginCaptions;
    std::function<bool(QString& user, QString& password)> onLogin;
    // Runs whenever the run lets its user act, as a click during a transfer would.
    std::function<void()> onAttend;
    QList<bool> completions;
    int closed = 0;
};

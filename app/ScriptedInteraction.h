// SPDX-License-Identifier: MIT
#pragma once
// A UserInteraction for tests: records every message, question and notice in
// the order they arrive, and answers questions from a queue of prepared answers
// (then from a default answer). Safe to call from a job's worker thread.

#include "app/UserInteraction.h"

#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace q57 {

class ScriptedInteraction : public UserInteraction {
public:
    enum class Kind { Message, OkCancel, YesNo, Status, Progress, JobEnd, Quit };

    // One call as it reached the interaction.
    struct Event {
        Kind kind;
        std::string title{}; // YesNo questions only
        std::string text{};  // messages and questions
        int first = 0;       // status index, progress bar, job-end success
        int second = 0;      // progress percentage
        bool answer = false; // the answer given to a question
    };

    explicit ScriptedInteraction(bool defaultAnswer = false) : defaultAnswer_(defaultAnswer) {}

    // Prepared answers, used in order by the next questions of either kind.
    void queueAnswers(std::initializer_list<bool> answers);
    // The answer once the queue is empty.
    void setDefaultAnswer(bool answer);
    // Called after each event is recorded, outside the lock; a test can react
    // to a notice here (for example request an abort when a job reports status).
    void setHook(std::function<void(const Event &)> hook);

    std::vector<Event> events() const;
    std::vector<std::string> messages() const;                // texts shown with showMessage
    std::vector<std::string> questions() const;               // texts of both kinds of question
    std::vector<int> statusNotices() const;                   // status indexes in order
    std::vector<std::pair<int, int>> progressNotices() const; // (bar, percent)
    std::vector<bool> jobEndNotices() const;
    int quitNotices() const;
    // Drops everything recorded so far; queued answers stay.
    void clearEvents();

    void showMessage(const std::string &text) override;
    bool askOkCancel(const std::string &text) override;
    bool askYesNo(const std::string &title, const std::string &text) override;
    void statusNotice(int index) override;
    void progressNotice(int bar, int percent) override;
    void jobEndNotice(bool success) override;
    void quitNotice() override;

private:
    bool nextAnswer();
    void record(Event event);
    std::vector<std::string> textsOf(std::initializer_list<Kind> kinds) const;

    mutable std::mutex mutex_;
    std::vector<Event> events_;
    std::deque<bool> answers_;
    bool defaultAnswer_;
    std::function<void(const Event &)> hook_;
};

} // namespace q57

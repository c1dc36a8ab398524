// SPDX-License-Identifier: MIT
#include "app/ScriptedInteraction.h"

#include <algorithm>

namespace q57 {

void ScriptedInteraction::queueAnswers(std::initializer_list<bool> answers)
{
    std::lock_guard lock(mutex_);
    answers_.insert(answers_.end(), answers);
}

void ScriptedInteraction::setDefaultAnswer(bool answer)
{
    std::lock_guard lock(mutex_);
    defaultAnswer_ = answer;
}

void ScriptedInteraction::setHook(std::function<void(const Event &)> hook)
{
    std::lock_guard lock(mutex_);
    hook_ = std::move(hook);
}

bool ScriptedInteraction::nextAnswer()
{
    std::lock_guard lock(mutex_);
    if (answers_.empty())
        return defaultAnswer_;
    const bool answer = answers_.front();
    answers_.pop_front();
    return answer;
}

void ScriptedInteraction::record(Event event)
{
    std::function<void(const Event &)> hook;
    {
        std::lock_guard lock(mutex_);
        events_.push_back(event);
        hook = hook_;
    }
    if (hook)
        hook(event);
}

void ScriptedInteraction::showMessage(const std::string &text)
{
    record({Kind::Message, {}, text});
}

bool ScriptedInteraction::askOkCancel(const std::string &text)
{
    const bool answer = nextAnswer();
    record({Kind::OkCancel, {}, text, 0, 0, answer});
    return answer;
}

bool ScriptedInteraction::askYesNo(const std::string &title, const std::string &text)
{
    const bool answer = nextAnswer();
    record({Kind::YesNo, title, text, 0, 0, answer});
    return answer;
}

void ScriptedInteraction::statusNotice(int index)
{
    record({Kind::Status, {}, {}, index});
}

void ScriptedInteraction::progressNotice(int bar, int percent)
{
    record({Kind::Progress, {}, {}, bar, percent});
}

void ScriptedInteraction::jobEndNotice(bool success)
{
    record({Kind::JobEnd, {}, {}, success ? 1 : 0});
}

void ScriptedInteraction::quitNotice()
{
    record({Kind::Quit});
}

std::vector<ScriptedInteraction::Event> ScriptedInteraction::events() const
{
    std::lock_guard lock(mutex_);
    return events_;
}

std::vector<std::string> ScriptedInteraction::textsOf(std::initializer_list<Kind> kinds) const
{
    std::vector<std::string> texts;
    for (const Event &event : events())
        if (std::find(kinds.begin(), kinds.end(), event.kind) != kinds.end())
            texts.push_back(event.text);
    return texts;
}

std::vector<std::string> ScriptedInteraction::messages() const
{
    return textsOf({Kind::Message});
}

std::vector<std::string> ScriptedInteraction::questions() const
{
    return textsOf({Kind::OkCancel, Kind::YesNo});
}

std::vector<int> ScriptedInteraction::statusNotices() const
{
    std::vector<int> indexes;
    for (const Event &event : events())
        if (event.kind == Kind::Status)
            indexes.push_back(event.first);
    return indexes;
}

std::vector<std::pair<int, int>> ScriptedInteraction::progressNotices() const
{
    std::vector<std::pair<int, int>> notices;
    for (const Event &event : events())
        if (event.kind == Kind::Progress)
            notices.emplace_back(event.first, event.second);
    return notices;
}

std::vector<bool> ScriptedInteraction::jobEndNotices() const
{
    std::vector<bool> notices;
    for (const Event &event : events())
        if (event.kind == Kind::JobEnd)
            notices.push_back(event.first != 0);
    return notices;
}

int ScriptedInteraction::quitNotices() const
{
    const auto all = events();
    return static_cast<int>(
        std::count_if(all.begin(), all.end(), [](const Event &event) { return event.kind == Kind::Quit; }));
}

void ScriptedInteraction::clearEvents()
{
    std::lock_guard lock(mutex_);
    events_.clear();
}

} // namespace q57

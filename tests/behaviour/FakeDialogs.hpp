#pragma once
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "core/FrontEnd.hpp"
#include "core/Window.hpp"

namespace pd::test {

// Dialogs answered by the test: queued answers (nullopt = the user cancelled), and a
// record of every dialog the windows asked for.
struct FakeDialogs final : Dialogs {
    struct Asked {
        std::string kind;  // "folder", "file", "message" or "question"
        std::string owner;
        std::string title;
        std::string start;  // start folder, or the message text
        std::string filter;
        std::string extension;
    };

    std::deque<std::optional<std::string>> folderAnswers;
    std::deque<std::optional<std::string>> fileAnswers;
    std::deque<bool> questionAnswers;  // none left: No
    std::vector<Asked> asked;
    std::vector<std::string> messages;

    std::optional<std::string> browseFolder(Window& owner, const std::string& title,
                                            const std::string& start) override {
        asked.push_back({"folder", owner.className(), title, start, "", ""});
        return next(folderAnswers);
    }
    std::optional<std::string> openFile(Window& owner, const std::string& title, const std::string& filter,
                                        const std::string& extension, const std::string& start) override {
        asked.push_back({"file", owner.className(), title, start, filter, extension});
        return next(fileAnswers);
    }
    void message(Window& owner, const std::string& title, const std::string& text) override {
        asked.push_back({"message", owner.className(), title, text, "", ""});
        messages.push_back(text);
    }

    bool ask(Window& owner, const std::string& title, const std::string& question) override {
        asked.push_back({"question", owner.className(), title, question, "", ""});
        if (questionAnswers.empty()) return false;
        const bool yes = questionAnswers.front();
        questionAnswers.pop_front();
        return yes;
    }

  private:
    static std::optional<std::string> next(std::deque<std::optional<std::string>>& answers) {
        if (answers.empty()) return std::nullopt;
        auto a = answers.front();
        answers.pop_front();
        return a;
    }
};

}  // namespace pd::test

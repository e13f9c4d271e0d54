// A scripted Dialogs for tests: answers come from a queue, every interaction is recorded.
#pragma once

#include "workbench/dialogs.h"

#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace brevok::testing {

/// Plays the user in front of the program's modal dialogs. A test queues one answer per
/// interaction it expects, in order; the fake checks the kind of each interaction against the
/// queue and fails the test with a clear message when the program shows something the test did
/// not expect (and answers it as the user cancelling would). Everything shown is recorded.
class FakeDialogs : public Dialogs {
public:
    /// A message box as the program showed it.
    struct Box {
        BoxKind kind;
        std::string text;
        BoxButtons buttons;
    };
    /// The name prompt as the program showed it.
    struct Prompt {
        std::string caption;
        std::string prompt;
        int maxLength;
    };

    /// The next message box is answered with `answer`.
    void AnswerBox(BoxAnswer answer) { queue_.push_back(BoxReply{answer}); }
    /// The next file dialog accepts `path` (set as its file name), or is cancelled (nullopt).
    void AnswerFile(std::optional<std::string> path) { queue_.push_back(FileReply{std::move(path)}); }
    /// The next name prompt returns `text` (the empty text for Cancel).
    void AnswerInput(std::string text) { queue_.push_back(InputReply{std::move(text)}); }
    /// The next Resource Editor closes with Ok and `text`, or with Cancel (nullopt).
    void AnswerEdit(std::optional<std::string> text) { queue_.push_back(EditReply{std::move(text)}); }

    /// The texts of the message boxes shown, in order.
    std::vector<std::string> BoxTexts() const
    {
        std::vector<std::string> texts;
        for (const auto& box : boxes)
            texts.push_back(box.text);
        return texts;
    }

    /// True when every queued answer was used.
    bool Done() const { return queue_.empty(); }
    std::size_t Pending() const { return queue_.size(); }

    BoxAnswer MessageBox(BoxKind kind, const std::string& text, BoxButtons buttons) override
    {
        boxes.push_back({kind, text, buttons});
        transcript.push_back("box: " + text);
        if (auto reply = Next<BoxReply>("message box \"" + text + "\""))
            return reply->answer;
        return EscapeAnswer(buttons);
    }

    bool OpenFile(FileDialogState& state) override
    {
        fileDialogs.push_back(state);
        transcript.push_back("file: " + state.title);
        auto reply = Next<FileReply>("file dialog \"" + state.title + "\"");
        if (!reply || !reply->path)
            return false;
        state.fileName = *reply->path;
        return true;
    }

    std::string InputText(const std::string& caption, const std::string& prompt, int maxLength) override
    {
        prompts.push_back({caption, prompt, maxLength});
        transcript.push_back("input: " + caption);
        auto reply = Next<InputReply>("input box \"" + caption + "\"");
        return reply ? reply->text : std::string();
    }

    bool EditLine(std::string& text) override
    {
        edits.push_back(text);
        transcript.push_back("edit: " + text);
        auto reply = Next<EditReply>("Resource Editor over \"" + text + "\"");
        if (!reply || !reply->text)
            return false;
        text = *reply->text;
        return true;
    }

    std::vector<Box> boxes;
    /// Each file dialog's state as it was when shown (before the answer changed it).
    std::vector<FileDialogState> fileDialogs;
    std::vector<Prompt> prompts;
    /// The text each Resource Editor was opened with.
    std::vector<std::string> edits;
    /// Every interaction in order: "box: TEXT", "file: TITLE", "input: CAPTION", "edit: LINE".
    std::vector<std::string> transcript;

private:
    struct BoxReply {
        BoxAnswer answer;
    };
    struct FileReply {
        std::optional<std::string> path;
    };
    struct InputReply {
        std::string text;
    };
    struct EditReply {
        std::optional<std::string> text;
    };
    using Reply = std::variant<BoxReply, FileReply, InputReply, EditReply>;

    template <class T>
    std::optional<T> Next(const std::string& what)
    {
        if (queue_.empty()) {
            ADD_FAILURE() << "unexpected " << what << ": no answer was queued";
            return std::nullopt;
        }
        Reply reply = queue_.front();
        if (!std::holds_alternative<T>(reply)) {
            ADD_FAILURE() << "unexpected " << what << ": the next queued answer is for another kind of dialog";
            return std::nullopt;
        }
        queue_.pop_front();
        return std::get<T>(reply);
    }

    static BoxAnswer EscapeAnswer(BoxButtons buttons)
    {
        switch (buttons) {
        case BoxButtons::Ok:
            return BoxAnswer::Ok;
        case BoxButtons::YesNo:
            return BoxAnswer::No;
        case BoxButtons::OkCancel:
        case BoxButtons::YesNoCancel:
            return BoxAnswer::Cancel;
        }
        return BoxAnswer::Cancel;
    }

    std::deque<Reply> queue_;
};

}  // namespace brevok::testing

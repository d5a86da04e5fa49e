#pragma once

#include <QString>

class QWidget;

// The caption of every message box the program shows unless a message has a
// title of its own.
inline constexpr const char* kMessageCaption = "Quillmar Fantasy Football";

// How the windows tell the user something and ask a yes-or-no question. Every
// message box of the program goes through one, so runs that nobody watches
// (benchmarks, screenshots, tests) can answer without a person.
class Prompter {
  public:
    enum class Icon { None, Information, Warning, Error, Question };
    enum class Answer { Yes, No, Cancel };

    virtual ~Prompter() = default;
    void tell(QWidget* parent, Icon icon, const QString& text, const QString& detail = {}) {
        tellTitled(parent, kMessageCaption, icon, text, detail);
    }
    virtual void tellTitled(QWidget* parent, const QString& caption, Icon icon, const QString& text,
                            const QString& detail = {});
    // A Yes/No question with the question icon; true for Yes. Questions guard
    // deletions and overwrites, so Enter answers No.
    bool ask(QWidget* parent, const QString& text) {
        return askTitled(parent, kMessageCaption, text);
    }
    virtual bool askTitled(QWidget* parent, const QString& caption, const QString& text);
    // A Yes/No/Cancel question with the question icon, for a choice between
    // two ways on and stopping; Enter and Escape stop.
    Answer askYesNoCancel(QWidget* parent, const QString& text) {
        return askYesNoCancelTitled(parent, kMessageCaption, text);
    }
    virtual Answer askYesNoCancelTitled(QWidget* parent, const QString& caption,
                                        const QString& text);
    // Whether a person sees the windows, so dialogs nobody asked for may come up.
    virtual bool watched() const { return true; }
};

// Writes every message to the error stream and answers No, or Cancel when
// that is offered.
class BatchPrompter : public Prompter {
  public:
    void tellTitled(QWidget* parent, const QString& caption, Icon icon, const QString& text,
                    const QString& detail) override;
    bool askTitled(QWidget* parent, const QString& caption, const QString& text) override;
    Answer askYesNoCancelTitled(QWidget* parent, const QString& caption,
                                const QString& text) override;
    bool watched() const override { return false; }
};

// The prompter of widgets that Designer forms create before their window can
// hand them its own: message boxes for a person at the screen.
Prompter& screenPrompter();

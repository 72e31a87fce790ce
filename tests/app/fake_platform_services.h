// Platform services that tests answer: queued dialog answers, a settable
// tick, a recorded web request and recorded message boxes.
#pragma once

#include <deque>
#include <optional>
#include <vector>

#include "platform_services.h"

class FakePlatformServices final : public PlatformServices {
  public:
    struct Query {
        QString caption, prompt, initialText;
    };
    struct Message {
        QString caption, text;
    };

    // Answers of the text-input dialog in order; nullopt (or none left) cancels.
    std::deque<std::optional<QString>> answers;
    std::vector<Query> queries;

    std::optional<QColor> colourAnswer;  // nullopt cancels
    std::vector<QColor> colourPresets;

    quint32 tick = 0;
    bool openUrlSucceeds = true;
    std::vector<QUrl> openedUrls;
    std::vector<Message> errors;

    bool inputQuery(QWidget*, const QString& caption, const QString& prompt,
                    QString& text) override {
        queries.push_back({caption, prompt, text});
        if (answers.empty()) return false;
        const std::optional<QString> answer = answers.front();
        answers.pop_front();
        if (!answer) return false;
        text = *answer;
        return true;
    }
    bool chooseColour(QWidget*, QColor& colour) override {
        colourPresets.push_back(colour);
        if (!colourAnswer) return false;
        colour = *colourAnswer;
        return true;
    }
    quint32 tickCount() override { return tick; }
    bool openUrl(const QUrl& url) override {
        openedUrls.push_back(url);
        return openUrlSucceeds;
    }
    void showError(QWidget*, const QString& caption, const QString& text) override {
        errors.push_back({caption, text});
    }
};

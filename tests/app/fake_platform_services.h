// Platform services that tests answer: queued dialog answers, a settable
// tick, a recorded web request, recorded message boxes, and user settings in
// a file of the test's own (shared by every window built on these services).
#pragma once

#include <deque>
#include <optional>
#include <vector>

#include <QTemporaryDir>

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

    // Answers of the file dialog in order; none left cancels.
    std::deque<QStringList> fileAnswers;
    // Answers of the item choice (an index); nullopt (or none left) cancels.
    std::deque<std::optional<int>> itemAnswers;
    std::vector<QStringList> itemChoices;

    QTemporaryDir settingsDir;
    QString settingsFile() const { return settingsDir.filePath(QStringLiteral("user.ini")); }

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
    QStringList openFileNames(QWidget*, const QString&, const QString&) override {
        if (fileAnswers.empty()) return {};
        const QStringList answer = fileAnswers.front();
        fileAnswers.pop_front();
        return answer;
    }
    bool chooseItem(QWidget*, const QString&, const QString&, const QStringList& items,
                    int& index) override {
        itemChoices.push_back(items);
        if (itemAnswers.empty()) return false;
        const std::optional<int> answer = itemAnswers.front();
        itemAnswers.pop_front();
        if (!answer) return false;
        index = *answer;
        return true;
    }
    std::unique_ptr<QSettings> userSettings() override {
        return std::make_unique<QSettings>(settingsFile(), QSettings::IniFormat);
    }
};

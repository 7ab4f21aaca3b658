#include "frontend/qt/qt_dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace korvane::qtfront {

MessageBoxLook MapMessageBoxStyle(int style)
{
    MessageBoxLook look;
    switch (style & 0xF0) {
    case platform::kMbIconError: look.icon = MessageBoxLook::Icon::Error; break;
    case platform::kMbIconQuestion: look.icon = MessageBoxLook::Icon::Question; break;
    case 48: look.icon = MessageBoxLook::Icon::Warning; break;
    case platform::kMbIconInformation: look.icon = MessageBoxLook::Icon::Information; break;
    default: break;
    }
    switch (style & 0xF) {
    case 1: look.answers = {platform::kAnswerOk, 2}; break;
    case 3: look.answers = {platform::kAnswerYes, platform::kAnswerNo, 2}; break;
    case platform::kMbYesNo: look.answers = {platform::kAnswerYes, platform::kAnswerNo}; break;
    default: look.answers = {platform::kAnswerOk}; break;
    }
    const std::size_t defaultIndex = static_cast<std::size_t>((style & 0xF00) >> 8);
    look.defaultAnswer = look.answers[std::min(defaultIndex, look.answers.size() - 1)];
    look.foreground = (style & platform::kMbSetForeground) != 0;
    return look;
}

int QtDialogs::MessageBox(const std::string& text, int style, const std::string& title)
{
    const MessageBoxLook look = MapMessageBoxStyle(style);
    QMessageBox box;
    box.setWindowTitle(QString::fromStdString(title));
    box.setText(QString::fromStdString(text));
    switch (look.icon) {
    case MessageBoxLook::Icon::Error: box.setIcon(QMessageBox::Critical); break;
    case MessageBoxLook::Icon::Question: box.setIcon(QMessageBox::Question); break;
    case MessageBoxLook::Icon::Warning: box.setIcon(QMessageBox::Warning); break;
    case MessageBoxLook::Icon::Information: box.setIcon(QMessageBox::Information); break;
    case MessageBoxLook::Icon::None: break;
    }
    std::map<QAbstractButton*, int> answers;
    for (const int answer : look.answers) {
        QPushButton* button = nullptr;
        switch (answer) {
        case platform::kAnswerYes: button = box.addButton(QMessageBox::Yes); break;
        case platform::kAnswerNo: button = box.addButton(QMessageBox::No); break;
        case 2: button = box.addButton(QMessageBox::Cancel); break;
        default: button = box.addButton(QMessageBox::Ok); break;
        }
        answers[button] = answer;
        if (answer == look.defaultAnswer)
            box.setDefaultButton(button);
    }
    if (look.foreground)
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.exec();
    const auto it = answers.find(box.clickedButton());
    // Closing the box counts as its last button (No, Cancel or OK).
    return it != answers.end() ? it->second : look.answers.back();
}

QStringList ParseDialogFilter(const std::string& filter)
{
    std::vector<std::string> parts;
    std::string current;
    for (char c : filter) {
        if (c == '\0') {
            parts.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    QStringList filters;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].empty())
            break;
        QString patterns = QString::fromStdString(parts[i + 1]);
        patterns.replace(';', ' ');
        filters << QString::fromStdString(parts[i]) + " (" + patterns + ")";
    }
    return filters;
}

std::optional<std::vector<std::string>> QtFileDialogs::GetOpenFileNames(const std::string& title,
                                                                        const std::string& filter,
                                                                        bool allowMultiSelect)
{
    const QString caption = QString::fromStdString(title);
    const QString filters = ParseDialogFilter(filter).join(";;");
    QStringList chosen;
    if (allowMultiSelect) {
        chosen = QFileDialog::getOpenFileNames(nullptr, caption, QString(), filters);
    } else {
        const QString one = QFileDialog::getOpenFileName(nullptr, caption, QString(), filters);
        if (!one.isEmpty())
            chosen << one;
    }
    if (chosen.isEmpty())
        return std::nullopt;
    std::vector<std::string> paths;
    for (const QString& path : chosen)
        paths.push_back(path.toStdString());
    return paths;
}

} // namespace korvane::qtfront

// Every message box of the program goes through ShowMessage. Tests install a handler that
// records the request and answers it, so no test ever waits on a modal box.
#pragma once

#include <QMessageBox>
#include <QString>
#include <functional>

class QWidget;

// The application title, the caption of every standard box.
inline const char* const kAppTitle = "Korvane Programming Software";

struct MessageRequest {
    MessageRequest() = default;
    MessageRequest(QString text_, QString caption_ = kAppTitle,
                   QMessageBox::StandardButtons buttons_ = QMessageBox::Ok,
                   QMessageBox::Icon icon_ = QMessageBox::Warning, QString detail_ = QString())
        : text(std::move(text_)),
          caption(std::move(caption_)),
          buttons(buttons_),
          icon(icon_),
          detail(std::move(detail_)) {}

    QString text;
    QString caption = kAppTitle;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    QMessageBox::Icon icon = QMessageBox::Warning;  // the exclamation icon
    QString detail;  // shown behind the box's "Show Details..." button when not empty
    // The button Enter presses; NoButton leaves the choice to the box.
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    // When not empty, one more button with this text; pressing it returns QMessageBox::Help.
    QString helpButton;
};

// Shows the box modally over parent (or the active window) and returns the button pressed.
QMessageBox::StandardButton ShowMessage(QWidget* parent, const MessageRequest& request);

// The standard box: the title as caption, OK, the exclamation icon.
inline void ShowMessage(QWidget* parent, const QString& text) {
    ShowMessage(parent, MessageRequest{text});
}

using MessageHandler = std::function<QMessageBox::StandardButton(const MessageRequest&)>;

// Replaces the boxes with handler (an empty handler restores them); returns the old one.
MessageHandler SetMessageHandler(MessageHandler handler);
